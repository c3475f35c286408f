#include "base/ui_seam.h"
#include "review/graph_model.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// A loop whose gain falls through 0 dB at f_db and whose phase falls
// through 0 degrees at f_ph, log-spaced from 0.1 Hz to 100 kHz.
std::vector<s_margin_sample> loop(double f_db, double f_ph, double gain_offset = 0, int n = 121)
{
    std::vector<s_margin_sample> out;
    for (int i = 0; i < n; ++i) {
        const double f = 0.1 * std::pow(10.0, 6.0 * i / (n - 1));
        out.push_back({f, 20 * std::log10(f_db / f) + gain_offset, 45 * std::log10(f_ph / f)});
    }
    return out;
}

class GraphModel : public ::testing::Test {
protected:
    void SetUp() override { ui_set_backend(&ui); }
    void TearDown() override { ui_set_backend(nullptr); }
    scripted_ui ui;
    graph_model m;
};

TEST_F(GraphModel, SlotsTakeTheirColourPairsAndShortenedNames)
{
    for (int i = 0; i < 10; ++i)
        m.add("test " + std::to_string(i), loop(100, 1000));
    EXPECT_EQ(m.count, 9);
    const std::tuple<int, const char*, const char*> colours[] = {
        {0, "Crimson", "Hot Pink"}, {1, "Royal Blue", "Steel Blue"}, {8, "Turquoise", "Orchid"}};
    for (const auto& [slot, gain, phase] : colours) {
        EXPECT_STREQ(bode_color_table[m.styles[slot].gain_colour].name, gain);
        EXPECT_STREQ(bode_color_table[m.styles[slot].phase_colour].name, phase);
        EXPECT_EQ(m.gain_colour(slot), bode_color_table[2 * slot].rgb);
    }
    m.styles[2].gain_colour = BODE_COLOR_CUSTOM;
    m.styles[2].custom_gain = {1, 2, 3};
    EXPECT_EQ(m.gain_colour(2), (s_rgb{1, 2, 3}));

    const std::tuple<std::string, std::string> names[] = {
        {"abcdefghijklmnopqrstuvwxy", "a.ijklmnopqrstuvwxy"},
        {"nineteen-characters", "nineteen-characters"},
        {"five5", "five5"},
        {"", ""},
    };
    for (const auto& [name, menu] : names)
        EXPECT_EQ(graph_menu_caption(name), menu);
    const std::tuple<int, int, int> ids[] = {{32802, 32802, 0},
                                             {32872, 32802, 1},
                                             {32871 + 70 * 8, 32871, 8},
                                             {32829 + 70 * 3, 32829, 3}};
    for (const auto& [id, base, slot] : ids) {
        int b = 0, s = 0;
        ASSERT_TRUE(graph_menu_split(id, b, s)) << id;
        EXPECT_EQ(std::pair(b, s), std::pair(base, slot)) << id;
        EXPECT_EQ(graph_menu_id(base, slot), id);
    }
    int b = 0, s = 0;
    EXPECT_FALSE(graph_menu_split(32798, b, s));
    EXPECT_FALSE(graph_menu_split(32802 + 70 * 9, b, s));
}

TEST_F(GraphModel, RangeDialogAcceptsOnlyFiniteOrderedValuesAndAppliesNothingElse)
{
    const char* order = "The maximum frequency must be greater than the minimum frequency";
    struct check {
        bool frequency;
        const char *min, *max;
        const char* message; // null: accepted
        double applied_min, applied_max;
    };
    const check cases[] = {
        {true, "100", "100.0005", nullptr, 100, 100.001},
        {true, "10", "5e7", nullptr, 10, 4e7},
        {true, "0", "10", "Invalid frequency values", 0, 0},
        {true, "-5", "10", "Invalid frequency values", 0, 0},
        {true, "20", "10", order, 0, 0},
        {true, "abc", "10", "Please enter a number", 0, 0},
        {true, "nan", "10", "Please enter a number", 0, 0},
        {true, "1", "inf", "Please enter a number", 0, 0},
        {false, "-300", "300", nullptr, -200, 200},
        {false, "-10.7", "20.9", nullptr, -10, 20},
        {false, "0.2", "0.7", order, 0, 0},
        {false, "250", "300", order, 0, 0},
        {false, "5", "5", order, 0, 0},
        {false, "", "5", "Please enter a number", 0, 0},
    };
    for (const check& c : cases) {
        m.freq = {1, 10};
        m.gain = {-40, 40};
        s_range_check r;
        const bool ok = c.frequency ? m.apply_freq_range(c.min, c.max, &r)
                                    : m.apply_gain_range(c.min, c.max, &r);
        SCOPED_TRACE(std::string(c.min) + " .. " + c.max);
        EXPECT_EQ(ok, c.message == nullptr);
        if (c.message) {
            EXPECT_EQ(r.message, c.message);
            EXPECT_EQ(m.freq.fmin, 1);
            EXPECT_EQ(m.freq.fmax, 10);
            EXPECT_EQ(m.gain.gmin, -40);
            EXPECT_EQ(m.gain.gmax, 40);
        } else if (c.frequency) {
            EXPECT_DOUBLE_EQ(m.freq.fmin, c.applied_min);
            EXPECT_NEAR(m.freq.fmax, c.applied_max, 1e-9);
        } else {
            EXPECT_EQ(m.gain.gmin, c.applied_min);
            EXPECT_EQ(m.gain.gmax, c.applied_max);
        }
    }
}

TEST_F(GraphModel, AutomaticRangesCentreAndSurviveEmptyTestsAndEmptyManualRanges)
{
    m.add("gone", {});
    EXPECT_EQ(m.load({}), 1);
    EXPECT_EQ(m.freq.fmin, s_freq_range{}.fmin) << "no points: the default axis";
    EXPECT_LT(m.freq.fmin, m.freq.fmax);
    EXPECT_TRUE(m.gain_cursor_list().empty());

    m.add("loop", loop(100, 1000, 5));
    m.auto_freq_range();
    m.auto_gain_range();
    EXPECT_LT(m.freq.fmin, 1);
    EXPECT_GT(m.freq.fmax, 9e4);
    const s_gain_range automatic = m.gain;
    EXPECT_LT(automatic.gmin, automatic.gmax);

    // A manual frequency range that holds no point keeps every point in the gain axis.
    ASSERT_TRUE(m.apply_freq_range("1e6", "2e6"));
    m.auto_gain_range();
    EXPECT_EQ(m.gain.gmin, automatic.gmin);
    EXPECT_EQ(m.gain.gmax, automatic.gmax);

    const std::tuple<double, double, double, double> centres[] = {
        {-30, 10, -40, 40}, {-10, 40, -40, 40}, {-20, 20, -20, 20}, {5, 15, -20, 20}};
    for (const auto& [lo, hi, clo, chi] : centres) {
        m.gain = {lo, hi};
        m.centre_gain_range();
        EXPECT_EQ(m.gain.gmin, clo);
        EXPECT_EQ(m.gain.gmax, chi);
    }
    // A negative imported frequency leaves a usable logarithmic axis.
    graph_model neg;
    neg.add("neg", {{-5, 1, 1}, {100, 2, 2}});
    neg.auto_freq_range();
    EXPECT_EQ(neg.freq.fmin, 1);
}

TEST_F(GraphModel, BackgroundsSwitchVanishingMarkersAndKeepSixteenCustomColours)
{
    m.add("a", loop(100, 1000));
    m.add("b", loop(100, 1000));
    m.styles[1].phase_marker_colour = GRAPH_MARKER_CUSTOM;
    m.set_background(bode_background::white);
    EXPECT_EQ(m.styles[0].gain_marker_colour, GRAPH_MARKER_BLACK);
    EXPECT_EQ(m.styles[0].phase_marker_colour, GRAPH_MARKER_BLACK);
    EXPECT_EQ(m.styles[1].phase_marker_colour, GRAPH_MARKER_CUSTOM);
    m.styles[0].phase_marker_colour = GRAPH_MARKER_WHITE;
    m.set_background(bode_background::custom, {1, 1, 1});
    EXPECT_EQ(m.styles[0].phase_marker_colour, GRAPH_MARKER_WHITE) << "custom switches nothing";
    m.set_background(bode_background::black);
    EXPECT_EQ(m.styles[0].gain_marker_colour, GRAPH_MARKER_WHITE);
    EXPECT_EQ(m.gain_marker_colour(0), (s_rgb{255, 255, 255}));
    for (int i = 2; i <= 17; ++i)
        m.remember_custom({uint8_t(i), 0, 0});
    // The custom background took the first entry; the 17th colour overwrites it.
    EXPECT_EQ(m.custom_ring[0], (s_rgb{17, 0, 0}));
    EXPECT_EQ(m.custom_ring[1], (s_rgb{2, 0, 0}));
    EXPECT_EQ(m.custom_ring[15], (s_rgb{16, 0, 0}));
}

TEST_F(GraphModel, RepeatedMarginSearchChangesNothingAndFiltersKeepFractions)
{
    m.add("sub-hertz", loop(0.3, 0.5));
    m.add("two", loop(100, 1000));
    m.auto_freq_range();
    m.find_margins();
    ASSERT_EQ(m.plots[0].zero_db.size(), 1);
    const auto cursors = m.gain_cursor_list();
    const PlotStyle style = m.styles[0];
    EXPECT_NEAR(style.filter_start, 0.3, 0.01) << "below 1 Hz stays a fraction";
    EXPECT_NEAR(style.filter_end, 0.5, 0.01);
    EXPECT_TRUE(style.margins_available && style.gain_markers && style.phase_markers);

    m.styles[0].gain_markers = false; // the user's choice survives a repeat
    m.find_margins();
    EXPECT_EQ(m.plots[0].zero_db.size(), 1);
    EXPECT_EQ(m.plots[1].zero_phase.size(), 1);
    EXPECT_EQ(m.gain_cursor_list().size(), cursors.size());
    EXPECT_EQ(m.styles[0].filter_start, style.filter_start);
    EXPECT_FALSE(m.styles[0].gain_markers);

    // The crossing sits between its neighbours in the cursor list.
    int crossings = 0;
    for (size_t i = 1; i < cursors.size(); ++i) {
        EXPECT_LE(cursors[i - 1].frequency, cursors[i].frequency);
        crossings += cursors[i].crossing;
    }
    EXPECT_EQ(crossings, 1);
    EXPECT_EQ(cursors.size(), m.plots[0].points.size() + 1);

    m.filter_noise();
    EXPECT_FALSE(m.styles[0].whole_range);
    EXPECT_FALSE(m.styles[1].whole_range);
    m.filter_noise();
    EXPECT_TRUE(m.styles[0].whole_range);
}

TEST_F(GraphModel, FirstTestWithoutACrossingFiltersOverTheWholeAxis)
{
    m.add("flat", loop(100, 1000, 200)); // gain never reaches 0 dB
    m.add("two", loop(100, 1000));
    m.auto_freq_range();
    m.filter_noise();
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_EQ(ui.shown()[0].text.rfind("On flat: \n", 0), 0u);
    EXPECT_TRUE(m.plots[0].zero_db.empty());
    EXPECT_EQ(m.styles[0].filter_start, m.freq.fmin) << "no 0 dB crossing: the axis start";
    EXPECT_FALSE(m.styles[0].whole_range);
    const auto cursors = m.gain_cursor_list();
    EXPECT_EQ(cursors.size(), m.plots[0].points.size());
    m.select_plot(5);
    EXPECT_EQ(m.selected, 1);
}

TEST_F(GraphModel, HiddenKeepsOnlyTheMainCrossingAndReadoutsAreWorded)
{
    // Gain ripples through 0 dB three times; the widest span is the main one.
    std::vector<s_margin_sample> points;
    const double gains[] = {5, -1, 1, -1, -2, -3, -4, -5, -6, 3, -7};
    for (int i = 0; i < 11; ++i)
        points.push_back({double(10 * (i + 1)), gains[i], -10});
    m.add("ripple", points);
    m.find_margins();
    ASSERT_GE(m.plots[0].zero_db.size(), 3);
    const s_gain_phase_point* main = graph_main_crossing(m.plots[0].zero_db);
    ASSERT_TRUE(main);
    for (auto* n = m.plots[0].zero_db.head; n; n = n->next)
        EXPECT_LE(n->element->span, main->span);
    EXPECT_EQ(m.gain_cursor_list().size(), 11 + size_t(m.plots[0].zero_db.size()));
    m.styles[0].markers_hidden = true;
    const auto hidden = m.gain_cursor_list();
    ASSERT_EQ(hidden.size(), 12u);
    int at = 0;
    for (size_t i = 0; i < hidden.size(); ++i)
        if (hidden[i].crossing)
            at = int(i);
    EXPECT_EQ(hidden[at].frequency, main->frequency);
    // "Go to gain crossover" lands on it; without a 0-degree crossing the
    // phase cursor stays where it was.
    m.gain_cursor = m.phase_cursor = 0;
    EXPECT_TRUE(m.go_to_crossover(margin_kind::zero_db));
    EXPECT_EQ(m.gain_cursor, at);
    EXPECT_FALSE(m.go_to_crossover(margin_kind::zero_phase));
    EXPECT_EQ(m.phase_cursor, 0);

    const s_cursor_entry e{1234.5, -3.25, 45.125, true};
    EXPECT_EQ(graph_cursor_readout(e),
              "  Frequency: 1234.5000Hz \nGain: -3.2500dB \t Phase: 45.1250\xB0");
}

} // namespace

namespace {

TEST(GraphModelFilter, NoiseFilterCutsTracesAtTheIntervalByInterpolation)
{
    graph_model m;
    m.add("t", {{1, 0, 0}, {10, -20, -90}, {100, -40, -180}, {1000, -60, -270}});
    m.styles[0].filter_start = 0.5;
    m.styles[0].filter_end = 1000;
    EXPECT_EQ(m.drawn_points(0).size(), 4u) << "the whole range is drawn while the filter is off";
    const std::tuple<bool, double, double, std::vector<double>> cases[] = {
        {true, std::sqrt(10.0), 100, {std::sqrt(10.0), 10, 100}},
        {true, 20, 30, {20, 30}},
        {true, 0.2, 0.5, {}},
        {false, 5.5, 10, {5.5, 10}},
    };
    for (const auto& [log, start, end, frequencies] : cases) {
        m.log_scaling = log;
        m.styles[0].whole_range = false;
        m.styles[0].filter_start = start;
        m.styles[0].filter_end = end;
        const auto drawn = m.drawn_points(0);
        ASSERT_EQ(drawn.size(), frequencies.size()) << start;
        for (size_t i = 0; i < drawn.size(); ++i)
            EXPECT_DOUBLE_EQ(drawn[i].frequency, frequencies[i]);
    }
    // Half a decade on a log axis lies half way in gain; 5.5 Hz half way on a linear one.
    m.log_scaling = true;
    m.styles[0].filter_start = std::sqrt(10.0);
    m.styles[0].filter_end = 100;
    EXPECT_NEAR(m.drawn_points(0)[0].gain, -10, 1e-9);
    m.log_scaling = false;
    m.styles[0].filter_start = 5.5;
    EXPECT_NEAR(m.drawn_points(0)[0].gain, -10, 1e-9);
}

} // namespace
