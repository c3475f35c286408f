// The fitted model laid over a sweep: the quantities of every layout worked
// out from an impedance read back to the same impedance, the points a fit
// covers, and the panel's lines.

#include "lcr/circuit_curve.h"
#include "lcr/lcr_layouts.h"

#include <complex>
#include <gtest/gtest.h>
#include <memory>

TEST(CircuitCurve, EveryLayoutsQuantitiesReadBackToTheImpedance)
{
    struct row {
        int layout;
        int convention;
        std::complex<double> z;
    };
    const row rows[] = {
        {LCR_LAYOUT_STANDARD, 0, {100, 62.8}},  {LCR_LAYOUT_STANDARD, 1, {47, -3000}},
        {LCR_LAYOUT_FULL, 0, {0.5, 2e3}},       {LCR_LAYOUT_FULL, 2, {3.3e6, -1e5}},
        {LCR_LAYOUT_IMPEDANCE, 0, {10, -10}},   {LCR_LAYOUT_IMPEDANCE, 1, {1e-3, 5}},
        {LCR_LAYOUT_ADMITTANCE, 0, {200, 700}}, {LCR_LAYOUT_ADMITTANCE, 2, {1e4, -2e4}},
    };
    for (const row& r : rows) {
        auto sweep = std::make_unique<LcrResults>();
        sweep->layout = r.layout;
        sweep->phase_convention = r.convention;
        sweep->points[0] = lcr_point_of_impedance(r.z, 1234.5, r.layout, r.convention);
        sweep->count = 1;
        const auto back = lcr_impedance(*sweep);
        ASSERT_EQ(back.size(), 1u) << r.layout;
        EXPECT_DOUBLE_EQ(back[0].hz, 1234.5);
        EXPECT_NEAR(std::abs(back[0].z - r.z) / std::abs(r.z), 0, 1e-9)
            << "layout " << r.layout << " convention " << r.convention << ": " << back[0].z;
    }
}

TEST(CircuitCurve, AFitCoversTheSweepOrTheStretchBetweenTheCursors)
{
    struct row {
        int count;
        bool between;
        int a, b;
        int first, last;
    };
    const row rows[] = {
        {200, false, 40, 10, 0, 199}, // the cursors do not matter
        {200, true, 40, 10, 10, 40},  // whichever stands left
        {200, true, 150, 900, 150, 199}, {200, true, -5, 3, 0, 3},
        {1, true, 0, 0, 0, 0},           {0, false, 0, 0, 0, -1}, // no points, nothing to fit
    };
    for (const row& r : rows) {
        const s_point_span s = fit_span(r.count, r.between, r.a, r.b);
        EXPECT_EQ(s.first, r.first) << r.count << " " << r.a << " " << r.b;
        EXPECT_EQ(s.last, r.last) << r.count << " " << r.a << " " << r.b;
    }
}

// The curve of a fitted R-L series part follows the part's own quantities at
// the sweep's frequencies; a refused fit has no curve and says why.
TEST(CircuitCurve, TheModelsCurveAndLinesShowTheFit)
{
    auto sweep = std::make_unique<LcrResults>();
    sweep->layout = LCR_LAYOUT_STANDARD;
    for (const double hz : {100.0, 1e3, 1e4, 1e5}) {
        const std::complex<double> z(100, 2 * 3.141592653589793 * hz * 0.01);
        sweep->points[static_cast<size_t>(sweep->count++)] =
            lcr_point_of_impedance(z, hz, LCR_LAYOUT_STANDARD, 0);
    }
    circuit_fit fit = fit_circuit(lcr_impedance(*sweep), circuit_model::rl_series);
    ASSERT_TRUE(fit.refusal.empty()) << fit.refusal;
    auto curve = std::make_unique<LcrResults>();
    circuit_curve(*sweep, fit, {1, 2}, *curve);
    ASSERT_EQ(curve->count, 2);
    for (int q = 0; q < 8; ++q)
        EXPECT_NEAR(curve->points[1].v[q], sweep->points[2].v[q],
                    1e-3 * std::abs(sweep->points[2].v[q]) + 1e-9)
            << "quantity " << q;
    const auto lines = circuit_fit_lines(fit);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2].rfind("L  10.000 mH  \xB1 ", 0), 0u) << lines[2];

    circuit_fit refused;
    refused.refusal = "Too few points to fit";
    circuit_curve(*sweep, refused, {0, 3}, *curve);
    EXPECT_EQ(curve->count, 0);
    EXPECT_EQ(circuit_fit_lines(refused).back(), "Too few points to fit");
}
