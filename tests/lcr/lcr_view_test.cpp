// The LCR results view's and the piezo graph's axis, label, trace and
// cursor rules.

#include "lcr/lcr_view.h"
#include "lcr/piezo_view.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<LcrResults> points(int layout, const std::vector<std::vector<double>>& rows)
{
    auto r = std::make_unique<LcrResults>();
    r->layout = layout;
    for (const auto& row : rows) {
        LcrPoint& p = r->points[static_cast<size_t>(r->count++)];
        std::copy(row.begin(), row.end(), p.v);
    }
    return r;
}

} // namespace

TEST(LcrView, ValueAxesUseTheTrueExtremesAndMargins)
{
    // frequency, Q, tan d, |Z|, phase, L, C, R (layout 2)
    const auto r = points(2, {{100, 1, 0, 2e6, -80, -1e-3, 2e-9, 5e6},
                              {1000, 1, 0, 3e6, -60, -2e-3, 1e-9, 7e6},
                              {10000, 1, 0, 4e6, -40, -3e-3, 3e-9, 6e6}});
    const s_freq_range f = lcr_freq_range(*r, {});
    EXPECT_EQ(f.fmin, 100);
    EXPECT_EQ(f.fmax, 10000);
    struct row {
        int position;
        double min, max;
    };
    // The true extremes, the margins, then out to eight round divisions.
    const row rows[] = {
        {3, 1e6, 5e6}, // 1.9 .. 4.2 M: megohms in steps of 500 k
        {4, -80, -40}, // a phase spans its values (no margins), in 5 degree steps
        {5, -4e-3, 0}, // all negative: the axis stays at or below 0
        {1, -20, 20},  // a flat quantity widens by 10, then the margins
        {7, 4e6, 8e6},
    };
    for (const row& x : rows) {
        const s_value_range v = lcr_value_range(*r, x.position, f, {});
        EXPECT_NEAR(v.min, x.min, 1e-12 * (std::fabs(x.max) + std::fabs(x.min))) << x.position;
        EXPECT_NEAR(v.max, x.max, 1e-12 * (std::fabs(x.max) + std::fabs(x.min))) << x.position;
        EXPECT_LT(v.min, v.max);
    }
    // Without points (a box changed before the first sweep) the axes stay.
    const auto none = points(2, {});
    const s_value_range kept = lcr_value_range(*none, 3, f, {-7, 9});
    EXPECT_EQ(kept.min, -7);
    EXPECT_EQ(kept.max, 9);
    EXPECT_EQ(lcr_freq_range(*none, {3, 30}).fmin, 3);
    // A negative or zero frequency never reaches a log axis.
    const auto bad = points(2, {{-5, 0, 0, 1}, {1000, 0, 0, 2}});
    EXPECT_EQ(lcr_freq_range(*bad, {}).fmin, 1);
    EXPECT_TRUE(lcr_is_phase(5, 9));
    EXPECT_FALSE(lcr_is_phase(5, 8));
}

TEST(LcrView, LabelsPlotAreaTracesAndCursors)
{
    // Each label with the decimals or the SI prefix its division needs.
    EXPECT_EQ(lcr_value_labels({0, 80})[1], "10");
    EXPECT_EQ(lcr_value_labels({0, 2})[3], "0.75");
    EXPECT_EQ(lcr_value_labels({0, 8e-9})[8], "8 n");
    EXPECT_EQ(lcr_value_labels({0, 8e-9}).size(), 9u);
    const auto mega = lcr_value_labels({0, 4e6});
    EXPECT_EQ(mega[0], "0");
    EXPECT_EQ(mega[1], "500 k");
    EXPECT_EQ(mega[7], "3.5 M");
    EXPECT_EQ(lcr_value_labels({-2000, 0})[0], "-2000");

    const s_plot_rect p = lcr_plot_area(1024, 625, 40, false);
    EXPECT_EQ(p.left, 80);
    EXPECT_EQ(p.right, 944);
    EXPECT_EQ(p.top, 10);
    EXPECT_EQ(p.bottom, 625 - 40 - 90);
    EXPECT_EQ(lcr_plot_area(1024, 625, 40, true).bottom, 625 - 40 - 150);

    const auto r = points(6, {{10, 0, 0, 1}, {100, 0, 0, 2}, {1000, 0, 0, 3}});
    const auto pieces = lcr_trace(*r, 3, {10, 1000}, {1, 3}, {0, 0, 200, 100}, true);
    ASSERT_EQ(pieces.size(), 1u);
    const auto& trace = pieces[0];
    ASSERT_EQ(trace.size(), 3u);
    EXPECT_EQ(trace[0], (s_pixel{0, 100}));
    EXPECT_EQ(trace[1], (s_pixel{100, 50}));
    EXPECT_EQ(trace[2], (s_pixel{200, 0}));

    struct cursor {
        int index, count, clamped;
    };
    for (const cursor c : {cursor{5, 3, 2}, cursor{-1, 3, 0}, cursor{0, 0, -1}, cursor{99, 0, -1}})
        EXPECT_EQ(lcr_cursor_index(c.index, c.count), c.clamped) << c.index << "/" << c.count;
    EXPECT_EQ(lcr_cursor_readout(*r, 7, 3, 4),
              (std::vector<std::string>{"Frequency: 1.0000 kHz", "Z Magnitude: 3.0000 Ohms",
                                        "Z Phase: 0.0000 \xB0"}));
    EXPECT_TRUE(lcr_cursor_readout(*points(2, {}), 0, 3, 4).empty());
    EXPECT_EQ(lcr_cursor_readout(*points(2, {{1, 0, 0, 5}}), 0, 3, 2)[1], "Imped: 5.0000 Ohms");
}

// Magnitudes start on a logarithmic axis over their positive values (none:
// linear); a value not above 0 breaks the trace and sits at the bottom. The
// choice holds over the sweeps until the box changes.
TEST(LcrView, MagnitudesOnLogarithmicAxes)
{
    // frequency, Q, tan d, |Z|, phase, L, C, R (layout 2)
    const auto r = points(2, {{100, 1, 0, 20, -80, -1e-3, 2e-9, 5},
                              {1000, 1, 0, 2000, -60, -2e-3, -1e-9, 7},
                              {10000, 1, 0, 200, -40, -3e-3, 3e-9, 6}});
    const s_freq_range f = lcr_freq_range(*r, {});
    const struct {
        int position;
        bool by_default, log;
        double min, max;
    } axes[] = {{3, true, true, 20, 2000},
                {6, true, true, 2e-9, 3e-9},
                {5, true, false, -4e-3, 0},
                {4, false, false, -80, -40}};
    for (const auto& a : axes) {
        EXPECT_EQ(lcr_log_by_default(2, a.position), a.by_default) << a.position;
        const s_value_range v = lcr_value_range(*r, a.position, f, {}, true);
        EXPECT_EQ(v.log, a.log) << a.position;
        EXPECT_DOUBLE_EQ(v.min, a.min) << a.position;
        EXPECT_DOUBLE_EQ(v.max, a.max) << a.position;
    }
    for (const auto& [v, height] : {std::pair{100.0, 100}, {1e4, 200}, {-5.0, 0}, {NAN, 0}})
        EXPECT_EQ(lcr_value_height(v, {10, 1000, true}, 200), height) << v;
    EXPECT_EQ(lcr_trace(*r, 6, f, {1e-9, 1e-8, true}, {0, 0, 200, 100}, true).size(), 2u);

    s_lcr_view_state v;
    lcr_view_reset_quantities(v, 2);
    lcr_view_set_quantity(v, *r, 0, 2); // Q to |Z|
    v.log[0] = false;                   // the user's choice
    lcr_view_new_sweep(v, *r);
    EXPECT_FALSE(v.left.log);
    lcr_view_set_quantity(v, *r, 0, 6); // R takes its own default
    EXPECT_TRUE(v.log[0] && v.left.log);
}

TEST(LcrView, LogFrequencyTicksMarkEveryDecade)
{
    const auto ticks = bode_freq_ticks({10, 1e6}, 500, true, bode_style_lcr_view());
    std::vector<double> labelled;
    for (const s_freq_tick& t : ticks)
        if (t.labelled) {
            EXPECT_EQ(t.pen, grid_pen::major) << t.value;
            labelled.push_back(t.value);
        }
    ASSERT_EQ(labelled.size(), 6u);
    for (size_t i = 0; i < labelled.size(); ++i)
        EXPECT_NEAR(labelled[i], std::pow(10.0, i + 1), 1e-6 * labelled[i]);
    EXPECT_TRUE(bode_freq_ticks({-5, 1e6}, 500, true, bode_style_lcr_view()).empty());
}

TEST(PiezoView, AxesAndClamping)
{
    const auto r = points(6, {{1000, 0, 0, 10, -90}, {1500, 0, 0, -3, 0}, {2000, 0, 0, 1e5, 90}});
    const s_value_range z = piezo_impedance_range(*r, {1, 100});
    EXPECT_DOUBLE_EQ(z.min, 8);
    EXPECT_DOUBLE_EQ(z.max, 1.2e5);
    EXPECT_EQ(piezo_impedance_range(*points(6, {}), {1, 100}).max, 100);

    struct row {
        double z;
        bool log;
        int y;
    };
    const s_value_range axis{10, 1e5};
    for (const row x : {row{10, true, 0}, row{1e5, true, 400}, row{1000, true, 200},
                        row{-3, true, 0}, row{0, true, 0}, row{1e9, true, 400}, row{10, false, 0},
                        row{1e5, false, 400}, row{-50, false, 0}})
        EXPECT_EQ(piezo_impedance_y(x.z, axis, 400, x.log), x.y) << x.z << " " << x.log;
    EXPECT_EQ(piezo_impedance_y(50, {-4, 100}, 400, true), 0); // a broken range bottom

    EXPECT_EQ(piezo_phase_y(-180, 0, 360), 0);
    EXPECT_EQ(piezo_phase_y(0, 0, 360), 180);
    EXPECT_EQ(piezo_phase_y(-360, 1, 360), 0);
    EXPECT_EQ(piezo_phase_y(90, 2, 360), 90);
    EXPECT_EQ(piezo_phase_y(500, 2, 360), 360);

    EXPECT_EQ(piezo_tick_length(0, 400), -5);
    EXPECT_EQ(piezo_tick_length(1, 400), 40);
    EXPECT_EQ(piezo_tick_length(2, 400), 400);
}

// A new sweep sets both axes from the chosen quantities and the cursors on
// the first and last points; a box change redoes its own axis only; the
// cursors stay on points that exist.
TEST(LcrView, StateFollowsSweepsBoxesAndCursors)
{
    const auto r = points(5, {{10, 1, 0, 100, -30, 0, 0, 0, 0, 20},
                              {20, 2, 0, 200, -10, 0, 0, 0, 0, 40},
                              {40, 3, 0, 300, 10, 0, 0, 0, 0, 60}});
    s_lcr_view_state v;
    v.item[0] = 2; // Z magnitude
    v.item[1] = 3; // Z phase: no margins
    lcr_view_new_sweep(v, *r);
    EXPECT_DOUBLE_EQ(v.left.min, 0); // 95 .. 315 on round divisions of 50
    EXPECT_DOUBLE_EQ(v.left.max, 400);
    EXPECT_DOUBLE_EQ(v.right.min, -30);
    EXPECT_DOUBLE_EQ(v.right.max, 10);
    EXPECT_EQ(v.cursor[0], 0);
    EXPECT_EQ(v.cursor[1], 2);
    lcr_view_set_quantity(v, *r, 1, 8); // Y phase, a phase too
    EXPECT_DOUBLE_EQ(v.right.min, 20);
    EXPECT_DOUBLE_EQ(v.right.max, 60);
    EXPECT_DOUBLE_EQ(v.left.min, 0);

    const struct {
        int which, index, count;
        bool moved;
        int at;
    } moves[] = {{0, 1, 3, true, 1},  {0, 1, 3, false, 1}, {1, 99, 3, false, 2},
                 {1, -5, 3, true, 0}, {0, 2, 0, false, 1}, {2, 1, 3, false, 0}};
    for (const auto& m : moves) {
        EXPECT_EQ(lcr_view_move_cursor(v, m.which, m.index, m.count), m.moved) << m.index;
        EXPECT_EQ(v.cursor[std::min(m.which, 1)], m.at) << m.index;
    }
    // No points: the axes stay, cursors start at 0.
    const s_lcr_view_state before = v;
    lcr_view_new_sweep(v, *points(5, {}));
    EXPECT_EQ(v.left.max, before.left.max);
    EXPECT_EQ(v.freq.fmax, before.freq.fmax);
    EXPECT_EQ(v.cursor[1], 0);
}
