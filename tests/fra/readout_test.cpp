#include "config/config_current.h"
#include "fra/realtime.h"
#include "fra/view_state.h"

#include <gtest/gtest.h>

TEST(RealtimeReadout, TileGridAndLabels)
{
    EXPECT_EQ(fra_tile_grid(6, 800, 400).columns, 3);
    EXPECT_EQ(fra_tile_grid(6, 800, 400).rows, 2);
    EXPECT_EQ(fra_tile_grid(10, 800, 400).columns, 4);
    EXPECT_EQ(fra_tile_grid(10, 800, 400).rows, 4);
    EXPECT_EQ(fra_tile_grid(30, 400, 800).columns, 5);
    EXPECT_EQ(fra_tile_grid(30, 800, 400).columns, 6);
    EXPECT_EQ(fra_tile_count(instrument_caps_of(7)), 6);
    EXPECT_EQ(fra_tile_labels(instrument_caps_of(9))[3], "Gain 1");
    EXPECT_EQ(fra_tile_labels(instrument_caps_of(7))[3], "Gain");
}

TEST(RealtimeReadout, TenTilesOnlyWhileTheThirdInputIsMeasured)
{
    config_select(instrument_caps_of(9));
    config_current().set_int(FRA_PARAM_INPUT, 0);
    EXPECT_EQ(fra_tile_count(instrument_caps_of(9)), 6); // six values are all such a reading holds
    config_current().set_int(FRA_PARAM_INPUT, 1);
    EXPECT_EQ(fra_tile_count(instrument_caps_of(9)), 10);
    config_current().set_int(FRA_PARAM_INPUT, 0);
    config_select(instrument_caps_of(0));
}

TEST(RealtimeReadout, ValueTexts)
{
    EXPECT_EQ(fra_tile_value(FRA_GAIN, -123.456), "-123.46 dB");
    EXPECT_EQ(fra_tile_value(FRA_GAIN, 12.3456), "12.346 dB");
    EXPECT_EQ(fra_tile_value(FRA_PHASE, 0), "0.0000 \xB0");
    EXPECT_EQ(fra_tile_value(FRA_FREQUENCY, 1000), "1.0000 kHz");
    EXPECT_EQ(fra_tile_value(FRA_DELAY, -1.0914e-4), "-109.14 us");
    EXPECT_EQ(fra_tile_value(8, 45), "45.000 \xB0"); // second phase: engineering form
}

TEST(RealtimeReadout, EqualReadingCausesNoRedraw)
{
    FraSweepContext ctx;
    s_fra_result shown;
    ctx.realtime.v[0] = 1000;
    EXPECT_TRUE(fra_realtime_accept(ctx, shown));
    EXPECT_EQ(ctx.request, 1);
    ctx.request = 0;
    EXPECT_FALSE(fra_realtime_accept(ctx, shown));
    EXPECT_EQ(ctx.request, 1); // the next reading is asked for either way
}

TEST(FraViewState, NewSweepRangesAndCursors)
{
    FraResults r;
    r.count = 3;
    const double f[] = {0, 500, 1000};
    const double g[] = {3, 3, 3};
    for (int i = 0; i < 3; ++i) {
        r.points[static_cast<size_t>(i)].v[FRA_FREQUENCY] = f[i];
        r.points[static_cast<size_t>(i)].v[FRA_GAIN] = g[i];
    }
    s_fra_view_state v;
    fra_view_new_sweep(v, r);
    EXPECT_EQ(v.freq.fmin, 1); // a sweep from 0 Hz starts the axis at 1 Hz
    EXPECT_EQ(v.freq.fmax, 1000);
    EXPECT_EQ(v.gain.gmin, -20); // whole tens, then eight round divisions
    EXPECT_EQ(v.gain.gmax, 20);
    EXPECT_EQ(v.cursor[1], 2);
    v.centre_zero = true;
    fra_view_gain_range(v, r);
    EXPECT_EQ(v.gain.gmin, -20);

    EXPECT_TRUE(fra_view_move_cursor(v, 0, 99, 3));
    EXPECT_EQ(v.cursor[0], 2);
    EXPECT_FALSE(fra_view_move_cursor(v, 0, 5, 3));
    EXPECT_TRUE(fra_view_move_cursor(v, 0, -1, 3));
    EXPECT_EQ(v.cursor[0], 0);

    // A flat sweep has no crossover: the cursors stay.
    EXPECT_FALSE(fra_view_go_to_crossover(v, r, margin_kind::zero_db));
    EXPECT_EQ(v.cursor[0], 0);

    r.clear();
    fra_view_new_sweep(v, r);
    EXPECT_EQ(v.cursor[1], 0);
}

TEST(FraViewState, CursorsGoToTheCrossovers)
{
    FraResults r;
    r.count = 4;
    const double f[] = {10, 100, 1000, 10000}, g[] = {20, 10, -1, -20}, p[] = {60, 10, -30, -60};
    for (size_t i = 0; i < 4; ++i) {
        r.points[i].v[FRA_FREQUENCY] = f[i];
        r.points[i].v[FRA_GAIN] = g[i];
        r.points[i].v[FRA_PHASE] = p[i];
    }
    s_fra_view_state v;
    fra_view_new_sweep(v, r);
    ASSERT_TRUE(fra_view_go_to_crossover(v, r, margin_kind::zero_db));
    ASSERT_TRUE(fra_view_go_to_crossover(v, r, margin_kind::zero_phase));
    EXPECT_EQ(v.cursor[0], 2); // 0 dB just below 1 kHz
    EXPECT_EQ(v.cursor[1], 1); // 0 degrees nearer 100 Hz
}
