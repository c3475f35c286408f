#include "graph/bode_axes.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<double> labels(const std::vector<s_freq_tick>& ticks)
{
    std::vector<double> out;
    for (const s_freq_tick& t : ticks)
        if (t.labelled)
            out.push_back(t.value);
    return out;
}

std::vector<double> lines(const std::vector<s_freq_tick>& ticks, grid_pen pen)
{
    std::vector<double> out;
    for (const s_freq_tick& t : ticks)
        if (t.pen == pen)
            out.push_back(t.value);
    return out;
}

const s_bode_style fra = bode_style_fra_view();
const s_bode_style dialog = bode_style_graph_screen();

} // namespace

TEST(BodeGeometry, PlotAreaInsetsAndPixelMapping)
{
    const s_plot_rect fv = bode_plot_area(1024, 625, fra);
    EXPECT_EQ(fv.left, 60);
    EXPECT_EQ(fv.top, 10);
    EXPECT_EQ(fv.right, 964);
    EXPECT_EQ(fv.bottom, 545);
    EXPECT_EQ(bode_plot_area(1024, 625, dialog).bottom, 475);
    EXPECT_EQ(bode_plot_area(1024, 625, bode_style_graph_file()).bottom, 535);

    const s_freq_range r{10, 10000};
    EXPECT_EQ(bode_x_of(10, r, 900, true), 0);
    EXPECT_EQ(bode_x_of(100, r, 900, true), 300);
    EXPECT_EQ(bode_x_of(10000, r, 900, true), 900);
    // Halves round away from zero.
    EXPECT_EQ(bode_x_of(10.5, s_freq_range{10, 11}, 3, false), 2);
    EXPECT_EQ(bode_x_of(9.5, s_freq_range{10, 11}, 3, false), -2);
    // A 0 Hz point of a sweep from DC lies left of the plot, not on its edge.
    EXPECT_LT(bode_x_of(0, s_freq_range{1, 1000}, 900, true), 0);
    EXPECT_DOUBLE_EQ(bode_y_of_gain(0, {-20, 20}, 400), 200);
    EXPECT_DOUBLE_EQ(bode_y_of_phase(0, -180, 360), 180);
    EXPECT_EQ(bode_phase_base(0), -180);
    EXPECT_EQ(bode_phase_base(1), -360);
    EXPECT_EQ(bode_phase_base(2), 0);
}

TEST(BodeGeometry, LayoutMakesRoomForTheWidestLabelsAndTheOwnersControls)
{
    s_bode_style reserving = fra;
    reserving.reserved_bottom = 97;
    struct row {
        const char* name;
        s_bode_style style;
        s_bode_text_extents text;
        int left, right, bottom; // of the plot in a 984 x 276 client
    };
    const row rows[] = {
        {"narrow labels keep the 60-pixel sides", fra, {29, 25, 13, 14}, 60, 924, 196},
        {"a wide gain label pushes the plot right", fra, {40, 25, 13, 14}, 71, 924, 196},
        {"a wide phase label pushes it left", dialog, {24, 45, 13, 14}, 60, 903, 126},
        {"reserved band: title and labels stack above it",
         reserving,
         {29, 25, 13, 14},
         60,
         924,
         276 - 97 - 1 - 14 - 1 - 13 - 5},
        {"taller fonts lift the plot",
         reserving,
         {29, 25, 17, 19},
         60,
         924,
         276 - 97 - 1 - 19 - 1 - 17 - 5},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const s_bode_layout at = bode_layout(984, 276, r.style, r.text);
        EXPECT_EQ(at.plot.left, r.left);
        EXPECT_EQ(at.plot.right, r.right);
        EXPECT_EQ(at.plot.top, 10);
        EXPECT_EQ(at.plot.bottom, r.bottom);
        // Value labels sit between the rotated title and the plot, wide enough.
        EXPECT_EQ(at.gain_labels.left, r.style.axis_title_x + 1);
        EXPECT_EQ(at.gain_labels.right, at.plot.left - 10);
        EXPECT_GE(at.gain_labels.width(), r.text.gain_label_width);
        EXPECT_GE(at.phase_labels.width(), r.text.phase_label_width);
        EXPECT_EQ(at.phase_labels.right, 984 - r.style.axis_title_x - 1);
        EXPECT_EQ(at.freq_labels.top, at.plot.bottom + 5);
        EXPECT_EQ(at.freq_labels.height(), r.text.label_height);
        if (r.style.reserved_bottom > 0) {
            EXPECT_LT(at.freq_labels.bottom, at.freq_title.top);
            EXPECT_EQ(at.freq_title.height(), r.text.title_height);
            EXPECT_EQ(at.freq_title.bottom, 276 - r.style.reserved_bottom - 1);
        }
    }
    // The titles of the other styles keep their bands.
    EXPECT_EQ(bode_layout(984, 276, fra, {}).freq_title.top, 276 - 60);
    EXPECT_EQ(bode_layout(984, 276, dialog, {}).freq_title.top, 126 + 20);
}

TEST(BodeGeometry, FrequencyRangeFromData)
{
    const std::vector<double> sweep{100, 1000, 50, 7000};
    s_freq_range r = bode_freq_range(sweep);
    EXPECT_EQ(r.fmin, 50);
    EXPECT_EQ(r.fmax, 7000);

    const std::vector<double> same{2500, 2500};
    r = bode_freq_range(same);
    EXPECT_EQ(r.fmin, 2500);
    EXPECT_EQ(r.fmax, 2510);

    const std::vector<double> from_dc{0, 10, 20};
    r = bode_freq_range(from_dc);
    EXPECT_EQ(r.fmin, 1);
    EXPECT_EQ(r.fmax, 20);
}

TEST(BodeGeometry, GainRangeRoundsOutToTensAndCentres)
{
    const std::vector<s_gain_sample> flat{{10, 3}, {20, 3}, {30, 3}};
    const s_freq_range r{10, 30};
    // Whole tens, then out to eight round divisions (5 dB) about the data.
    s_gain_range g = bode_gain_range(flat, r, false);
    EXPECT_EQ(g.gmin, -20);
    EXPECT_EQ(g.gmax, 20);
    g = bode_gain_range(flat, r, true);
    EXPECT_EQ(g.gmin, -20);
    EXPECT_EQ(g.gmax, 20);

    // Only points inside the frequency range count.
    const std::vector<s_gain_sample> wide{{5, 90}, {10, -12}, {30, 4}, {40, -80}};
    g = bode_gain_range(wide, r, false);
    EXPECT_EQ(g.gmin, -30);
    EXPECT_EQ(g.gmax, 10);
    g = bode_gain_range(wide, r, true);
    EXPECT_EQ(g.gmin, -20);
    EXPECT_EQ(g.gmax, 20);
}

TEST(BodeAxes, LogAxisOverWholeDecades)
{
    const auto t = bode_freq_ticks({100, 100000}, 900, true, fra);
    EXPECT_EQ(labels(t), (std::vector<double>{100, 1000, 10000, 100000}));
    EXPECT_EQ(lines(t, grid_pen::major), (std::vector<double>{1000, 10000, 100000}));
    const auto minor = lines(t, grid_pen::minor);
    ASSERT_EQ(minor.size(), 24u);
    EXPECT_EQ(minor[0], 200);
    EXPECT_EQ(minor[7], 900);
    EXPECT_EQ(minor[8], 2000);
    EXPECT_EQ(t.front().pen, grid_pen::none); // the left edge gets a label only
}

TEST(BodeAxes, LogAxisStartingInsideADecade)
{
    const auto t = bode_freq_ticks({150, 20000}, 900, true, fra);
    const auto l = labels(t);
    ASSERT_GE(l.size(), 2u);
    EXPECT_EQ(l[0], 1050); // first step entering a new decade
    EXPECT_EQ(t[0].value, 150);
    EXPECT_EQ(t[1].value, 250);
    EXPECT_EQ(t[9].value, 1050);
    EXPECT_EQ(t[9].pen, grid_pen::major);
    EXPECT_EQ(t[10].value, 2050);
}

TEST(BodeAxes, LogAxisShorterThanADecade)
{
    auto t = bode_freq_ticks({1000, 5000}, 900, true, dialog);
    EXPECT_EQ(labels(t), (std::vector<double>{2000, 3000, 4000}));
    EXPECT_EQ(lines(t, grid_pen::minor), (std::vector<double>{2000, 3000, 4000}));

    t = bode_freq_ticks({500, 800}, 900, true, fra);
    EXPECT_EQ(labels(t), (std::vector<double>{600, 700}));

    t = bode_freq_ticks({1000, 1500}, 900, true, fra);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].value, 1000);
    EXPECT_EQ(t[0].x, 0);
    EXPECT_EQ(t[1].value, 1500);
    EXPECT_EQ(t[1].x, 900);
    EXPECT_EQ(lines(t, grid_pen::minor).size() + lines(t, grid_pen::major).size(), 0u);

    // The FRA view draws the first and tenth multiple on the major pen.
    t = bode_freq_ticks({0.5, 2}, 900, true, fra);
    EXPECT_EQ(lines(t, grid_pen::major), (std::vector<double>{1}));
    t = bode_freq_ticks({0.5, 2}, 900, true, dialog);
    EXPECT_EQ(lines(t, grid_pen::minor), (std::vector<double>{1}));
}

TEST(BodeAxes, LinearStepDependsOnTheUser)
{
    const s_freq_range r{1, 5001};
    EXPECT_DOUBLE_EQ(bode_linear_step(r, dialog), 1000);
    EXPECT_DOUBLE_EQ(bode_linear_step(r, fra), 1000.0 / 6);
    const auto t = bode_freq_ticks(r, 900, false, dialog);
    // Labels fall on whole multiples of the step, not on the range's start.
    EXPECT_EQ(labels(t), (std::vector<double>{1000, 2000, 3000, 4000, 5000}));
    EXPECT_EQ(t.front().pen, grid_pen::minor);
    EXPECT_EQ(bode_freq_ticks({0, 5000}, 900, false, dialog).front().pen, grid_pen::none);
    EXPECT_EQ(labels(bode_freq_ticks({0, 5000}, 900, false, dialog)).back(), 5000);
    EXPECT_EQ(bode_freq_ticks(r, 900, false, fra).size(), 30u);
}

TEST(BodeAxes, DegenerateRangesDrawNothingAndEnd)
{
    EXPECT_TRUE(bode_freq_ticks({100, 100}, 900, false, fra).empty());
    EXPECT_TRUE(bode_freq_ticks({0, 100}, 900, true, fra).empty());
    EXPECT_TRUE(bode_freq_ticks({-5, 100}, 900, true, fra).empty());
    // An empty chart's range (nothing found) still ends.
    const std::vector<double> none;
    const s_freq_range empty = bode_freq_range(none);
    EXPECT_LE(bode_freq_ticks(empty, 900, true, fra).size(), 2u);
    EXPECT_TRUE(bode_freq_ticks(empty, 900, false, fra).empty());
}

TEST(BodeAxes, GainAndPhaseLabels)
{
    const auto g = bode_gain_ticks({-40, 40}, 400);
    ASSERT_EQ(g.size(), 9u);
    EXPECT_EQ(g[0].y, 0);
    EXPECT_EQ(g[0].value, -40);
    EXPECT_EQ(g[4].y, 200);
    EXPECT_EQ(g[4].value, 0);
    EXPECT_EQ(g[8].y, 400);
    EXPECT_EQ(g[8].value, 40);
    const auto p = bode_phase_ticks(-360, 403);
    EXPECT_EQ(p[0].value, -360);
    EXPECT_EQ(p[8].value, 0);
    EXPECT_EQ(p[3].y, 151); // 3 * 403 / 8, whole pixels
}
