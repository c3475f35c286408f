#include "graph/round_scale.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(RoundScale, AutomaticRangesWidenToRoundDivisions)
{
    const struct {
        double lo, hi, ends;
        double min, max, step;
    } cases[] = {
        {-120, 40, 10, -120, 40, 20}, // the gain axis of a deep loop
        {-40, 40, 10, -40, 40, 10},
        {-10, 20, 10, -20, 20, 5}, // a flat 3 dB trace, tens first
        {-20, 20, 10, -20, 20, 5},
        {-30, 30, 10, -40, 40, 10}, // symmetric stays symmetric
        {-10, 10, 10, -10, 10, 2.5},
        {0, 66845, 0, 0, 80000, 10000},
        {1.9e6, 3.5e6, 0, 1.75e6, 3.75e6, 250000},
        {-1, 1, 0, -1, 1, 0.25},
        {5, 5, 0, 4.2, 5.8, 0.2}, // no width: grows about its value
        {3, 1, 0, 1, 3, 0.25},    // swapped
    };
    for (const auto& c : cases) {
        const s_round_scale r = round_scale(c.lo, c.hi, c.ends);
        EXPECT_NEAR(r.min, c.min, 1e-9 * std::fabs(c.max)) << c.lo << ".." << c.hi;
        EXPECT_NEAR(r.max, c.max, 1e-9 * std::fabs(c.max)) << c.lo << ".." << c.hi;
        EXPECT_NEAR(r.step, c.step, 1e-12 * c.step) << c.lo << ".." << c.hi;
        EXPECT_TRUE(round_division(r.step));
    }
    const s_round_scale bad = round_scale(NAN, 1);
    EXPECT_EQ(bad.values().size(), 9u);
    // Spans beyond the doubles are drawn as given, never looped on.
    EXPECT_EQ(round_scale(-1e308, 1e308).min, -1e308);
    EXPECT_FALSE(log_scale(1e-300, 1e308, 400, 12).ticks.empty());
}

TEST(RoundScale, LabelsReadRound)
{
    const struct {
        double v, step;
        const char* text;
    } cases[] = {{0.75, 0.25, "0.75"},   {0.5, 0.25, "0.50"},     {40, 20, "40"},
                 {-7.5, 2.5, "-7.5"},    {1e-17, 0.25, "0"},      {2.5e6, 250000, "2.50 M"},
                 {80000, 10000, "80 k"}, {2.5e-7, 5e-8, "250 n"}, {0.1 + 0.2, 0.1, "0.3"}};
    for (const auto& c : cases)
        EXPECT_EQ(round_label(c.v, c.step), c.text) << c.v << " by " << c.step;
    for (double s : {1.0, 2e3, 2.5e-4, 5e7})
        EXPECT_TRUE(round_division(s)) << s;
    for (double s : {3.0, 45.0, 1.25, 0.0})
        EXPECT_FALSE(round_division(s)) << s;
}

TEST(RoundScale, LogarithmicAxesOnDecadesAndRoundMarks)
{
    // A resonator's impedance over four decades on a tall plot: every mark
    // (1, 2, 3, 5 here) labelled, ends on marks.
    const s_log_scale tall = log_scale(190, 3.3e6, 600, 12);
    EXPECT_DOUBLE_EQ(tall.min, 100);
    EXPECT_DOUBLE_EQ(tall.max, 5e6);
    int decades = 0;
    for (const s_log_tick& t : tall.ticks) {
        const double m = t.value / std::pow(10.0, std::floor(std::log10(t.value) + 1e-9));
        EXPECT_TRUE(std::fabs(m - std::round(m)) < 1e-9) << t.value;
        decades += t.decade;
        EXPECT_TRUE(t.labelled) << t.value;
    }
    EXPECT_EQ(decades, 5);
    // Squeezed: decades still labelled, the marks between them not.
    const s_log_scale short_axis = log_scale(1e-12, 1e-3, 100, 12);
    for (const s_log_tick& t : short_axis.ticks)
        EXPECT_TRUE(!t.labelled || t.decade) << t.value;
    EXPECT_DOUBLE_EQ(log_scale(-1, 5, 100, 12).min, 1);
}
