#include "graph/bode_traces.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

const s_plot_rect plot{60, 10, 460, 210}; // 400 x 200
const s_freq_range lin{0, 400};

s_value_axis gain_axis()
{
    s_value_axis a;
    a.gain = {-10, 10};
    return a;
}

} // namespace

TEST(BodeTraces, ClampedTraceRunsAlongTheEdges)
{
    const std::vector<s_trace_sample> s{{-50, 0},   {0, 0},    {100, 50},
                                        {200, -50}, {400, 10}, {500, 0}};
    const auto px = bode_trace_clamped(s, lin, gain_axis(), plot, false);
    ASSERT_EQ(px.size(), 4u);
    EXPECT_EQ(px[0], (s_pixel{0, 100}));
    EXPECT_EQ(px[1], (s_pixel{100, 0}));   // above the top: on the top edge
    EXPECT_EQ(px[2], (s_pixel{200, 200})); // below the bottom: on the bottom edge
    EXPECT_EQ(px[3], (s_pixel{400, 0}));
}

TEST(BodeTraces, PhaseTraceUsesThePhaseBase)
{
    s_value_axis a;
    a.phase = true;
    a.phase_base = 0;
    const std::vector<s_trace_sample> s{{0, 0}, {400, 180}};
    const auto px = bode_trace_clamped(s, lin, a, plot, false);
    ASSERT_EQ(px.size(), 2u);
    EXPECT_EQ(px[0].y, 200);
    EXPECT_EQ(px[1].y, 100);
}

TEST(BodeTraces, ClippedTraceCutsAtTheEdges)
{
    const std::vector<s_trace_sample> s{{0, 0}, {100, 20}, {200, 0}, {300, 30}, {350, 40}};
    const auto seg = bode_trace_clipped(s, lin, gain_axis(), plot, false);
    // (0,0)->(100,20) leaves through the top half way; (100,20)->(200,0)
    // enters half way; (200,0)->(300,30) leaves at a third; the last lies outside.
    ASSERT_EQ(seg.size(), 3u);
    EXPECT_DOUBLE_EQ(seg[0].x1, 0);
    EXPECT_DOUBLE_EQ(seg[0].y1, 100);
    EXPECT_DOUBLE_EQ(seg[0].x2, 50);
    EXPECT_DOUBLE_EQ(seg[0].y2, 0);
    EXPECT_DOUBLE_EQ(seg[1].x1, 150);
    EXPECT_DOUBLE_EQ(seg[2].x2, 200 + 100.0 / 3);
    EXPECT_DOUBLE_EQ(seg[2].y2, 0);
}

TEST(BodeTraces, ClipSegmentAgainstEverySide)
{
    s_segment s{-10, 50, 410, 50};
    ASSERT_TRUE(bode_clip_segment(s, 400, 200));
    EXPECT_DOUBLE_EQ(s.x1, 0);
    EXPECT_DOUBLE_EQ(s.x2, 400);
    s = {-10, -10, -5, 300};
    EXPECT_FALSE(bode_clip_segment(s, 400, 200));
    s = {10, 10, 10, 10};
    EXPECT_TRUE(bode_clip_segment(s, 400, 200));
}

TEST(BodeTraces, CursorSlopeInDbPerDecade)
{
    const std::vector<s_slope_sample> p{{10, 0}, {100, -20}, {1000, -40}, {1000, -60}};
    EXPECT_EQ(bode_cursor_slope(p, 0), 0);
    EXPECT_DOUBLE_EQ(bode_cursor_slope(p, 1), -20); // (-40 - 0) / 2 decades
    // The last point uses its previous neighbour and itself.
    const std::vector<s_slope_sample> q{{10, 0}, {100, -20}, {1000, -40}};
    EXPECT_DOUBLE_EQ(bode_cursor_slope(q, 2), -20);
    // Equal neighbour frequencies give 0 rather than a division by zero.
    EXPECT_EQ(bode_cursor_slope(p, 3), 0);
    EXPECT_EQ(bode_cursor_slope(p, 4), 0);
}
