#include "fra/margins.h"
#include "graph/stability_geometry.h"
#include "sim/fra_dut.h"

#include <cmath>
#include <complex>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>

namespace {

using cplx = std::complex<double>;
constexpr double PI = std::numbers::pi;

// What the instrument measures of a loop L: the response -L, as gain in dB
// and phase in degrees (-180..180).
s_loop_point measured(double f, cplx loop)
{
    const cplx h = -loop;
    return {f, 20 * std::log10(std::abs(h)), std::arg(h) * 180 / PI};
}

std::vector<double> log_sweep(double from, double to, int n)
{
    std::vector<double> f;
    for (int i = 0; i < n; ++i)
        f.push_back(from * std::pow(to / from, double(i) / (n - 1)));
    return f;
}

} // namespace

TEST(StabilityGeometry, NyquistPointsOfFirstAndThirdOrderLoopsMatchClosedForm)
{
    // L = K / (1 + jx)^n with x = f / fp; closed forms of Re and Im.
    struct loop {
        int order;
        std::function<cplx(double x)> closed;
    };
    const double k = 4;
    const loop loops[] = {
        {1, [k](double x) { return cplx(k / (1 + x * x), -k * x / (1 + x * x)); }},
        {3,
         [k](double x) {
             const double d = std::pow(1 + x * x, 3);
             return cplx(k * (1 - 3 * x * x) / d, k * (x * x * x - 3 * x) / d);
         }},
    };
    for (const loop& l : loops) {
        std::vector<s_loop_point> points;
        for (double f : log_sweep(1, 1e5, 200))
            points.push_back(measured(f, k / std::pow(cplx(1, f / 100), l.order)));
        const s_xy_curve curve = stability_curve(points, stability_view::nyquist);
        ASSERT_EQ(curve.size(), 1u) << "the third-order phase wraps, yet -H stays continuous";
        ASSERT_EQ(curve[0].size(), points.size());
        for (size_t i = 0; i < points.size(); ++i) {
            const cplx want = l.closed(points[i].frequency / 100);
            EXPECT_NEAR(curve[0][i].x, want.real(), 1e-9) << l.order << " at " << i;
            EXPECT_NEAR(curve[0][i].y, want.imag(), 1e-9) << l.order << " at " << i;
        }
    }
}

TEST(StabilityGeometry, SimulatorLoopMarginsSitAtTheCriticalMarks)
{
    // The simulator's default device: -K / (s (1 + s/p1) (1 + s/p2)).
    const sim::fra_dut dut = sim::default_fra_dut();
    std::vector<s_margin_sample> samples;
    std::vector<s_loop_point> points;
    for (double f : log_sweep(10, 1e5, 400)) {
        const cplx h = dut.response(f);
        samples.push_back({f, 20 * std::log10(std::abs(h)), std::arg(h) * 180 / PI});
        points.push_back({f, samples.back().gain, samples.back().phase});
    }
    // Exact margins of the loop L = -H: |L| at the phase crossover
    // sqrt(p1 p2) = 3162 Hz, and 180 + arg L where |L| = 1 (bisection).
    const double f180 = std::sqrt(1e3 * 1e4);
    const double gain_margin = -20 * std::log10(std::abs(dut.response(f180)));
    double lo = 10, hi = 1e5;
    for (int i = 0; i < 100; ++i)
        (std::abs(dut.response(std::sqrt(lo * hi))) > 1 ? lo : hi) = std::sqrt(lo * hi);
    const double phase_margin = 180 + std::arg(-dut.response(lo)) * 180 / PI;
    LList<s_gain_phase_point> db = margin_search(samples, margin_kind::zero_db);
    LList<s_gain_phase_point> ph = margin_search(samples, margin_kind::zero_phase);
    const s_gain_phase_point* at_db = margin_main_crossing(db);
    const s_gain_phase_point* at_ph = margin_main_crossing(ph);
    ASSERT_TRUE(at_db && at_ph);
    // Within one sweep step: the largest change of phase (gain) between two
    // neighbouring points near the crossing.
    const auto step = [&](int i, bool gain) {
        const auto& a = samples[size_t(i)];
        const auto& b = samples[size_t(i) + 1];
        return std::abs(gain ? b.gain - a.gain : b.phase - a.phase);
    };
    EXPECT_NEAR(-at_ph->gain, gain_margin, step(at_ph->index, true));
    EXPECT_NEAR(at_db->phase, phase_margin, step(at_db->index, false));
    EXPECT_NEAR(gain_margin, 26, 1.5);

    struct mark {
        stability_view view;
        s_xy gm, pm; // where the two margins must be drawn
    };
    const double pm_rad = at_db->phase * PI / 180;
    const mark marks[] = {
        // Nyquist: the negative real axis at -1/|GM| and the unit circle at
        // the phase margin above -1 ... below, as -H turns clockwise.
        {stability_view::nyquist,
         {-std::pow(10, at_ph->gain / 20), 0},
         {-std::cos(pm_rad), -std::sin(pm_rad)}},
        // Nichols: (-180, -GM) and (PM - 180, 0 dB).
        {stability_view::nichols, {-180, at_ph->gain}, {at_db->phase - 180, 0}},
    };
    for (const mark& m : marks) {
        const s_xy gm = stability_zero_phase_mark(at_ph->gain, m.view);
        const s_xy pm = stability_zero_db_mark(at_db->phase, m.view);
        EXPECT_NEAR(gm.x, m.gm.x, 1e-12);
        EXPECT_NEAR(gm.y, m.gm.y, 1e-12);
        EXPECT_NEAR(pm.x, m.pm.x, 1e-12);
        EXPECT_NEAR(pm.y, m.pm.y, 1e-12);
        EXPECT_NEAR(std::hypot(pm.x - stability_critical_point(m.view).x, pm.y),
                    m.view == stability_view::nyquist
                        ? 2 * std::sin(std::abs(pm_rad) / 2) // chord of the unit circle
                        : std::abs(at_db->phase),
                    1e-9);
    }
}

TEST(StabilityGeometry, PhaseWrapSplitsTheNicholsCurveOnly)
{
    struct row {
        std::vector<s_loop_point> points;
        size_t nichols_pieces;
    };
    const row rows[] = {
        {{{1, 0, 170}, {2, -1, 179}, {3, -2, -179}, {4, -3, -170}}, 2},
        {{{1, 0, -10}, {2, -1, -30}, {3, -2, -50}, {4, -3, -70}}, 1},
        // a 0..360 convention folds into the same chart; NaN breaks the line
        {{{1, 0, 350}, {2, -1, 340}, {3, NAN, 330}, {4, -3, 320}}, 2},
    };
    for (const row& r : rows) {
        const s_xy_curve nichols = stability_curve(r.points, stability_view::nichols);
        ASSERT_EQ(nichols.size(), r.nichols_pieces);
        for (const auto& piece : nichols)
            for (size_t i = 1; i < piece.size(); ++i) {
                EXPECT_LE(std::abs(piece[i].x - piece[i - 1].x), 180);
                EXPECT_GE(piece[i].x, -360);
                EXPECT_LE(piece[i].x, 0);
            }
        // On the Nyquist plane neighbours stay close, wrap or not.
        for (const auto& piece : stability_curve(r.points, stability_view::nyquist))
            for (size_t i = 1; i < piece.size(); ++i)
                EXPECT_LT(std::hypot(piece[i].x - piece[i - 1].x, piece[i].y - piece[i - 1].y),
                          0.5);
    }
}

TEST(StabilityGeometry, TicksAndFramesHoldTheCurvesAndTheCriticalPoint)
{
    struct tick_row {
        double lo, hi;
        int count;
        s_axis_ticks want;
    };
    const tick_row ticks[] = {
        {0, 10, 5, {0, 10, 2}},     {-1.3, 2.7, 8, {-1.5, 3, 0.5}},
        {-47, 3, 8, {-50, 10, 10}}, {5, 5, 4, {0, 10, 5}},
        {3, -47, 8, {-50, 10, 10}}, {0.0012, 0.0093, 4, {0, 0.01, 0.0025}},
    };
    for (const tick_row& t : ticks) {
        const s_axis_ticks got = nice_ticks(t.lo, t.hi, t.count);
        EXPECT_NEAR(got.min, t.want.min, 1e-12) << t.lo << ".." << t.hi;
        EXPECT_NEAR(got.max, t.want.max, 1e-12) << t.lo << ".." << t.hi;
        EXPECT_NEAR(got.step, t.want.step, 1e-12) << t.lo << ".." << t.hi;
        EXPECT_NEAR(got.values().front(), got.min, 1e-12);
        EXPECT_NEAR(got.values().back(), got.max, 1e-12);
    }
    // A loop reaching 1000 far away on the left (an integrator's tail) and
    // passing near -1: the frame keeps the region around -1 readable.
    std::vector<s_xy_curve> curves = {{{{-1000, -5}, {-3, -2}, {-0.5, -0.2}, {0, 0}}}};
    for (double aspect : {1.0, 1.6, 0.5}) {
        const s_stability_frame f = stability_frame(curves, stability_view::nyquist, aspect);
        EXPECT_LE(f.x.min, -3);
        EXPECT_GE(f.x.min, -10);
        EXPECT_GE(f.x.max, 1);
        EXPECT_LE(f.y.min, -2);
        EXPECT_GE(f.y.max, 1);
        EXPECT_NEAR((f.x.max - f.x.min) / (f.y.max - f.y.min), aspect, 1e-9);
    }
    curves = {{{{-350, 12}, {-200, -3}}, {{-90, -230}}}};
    const s_stability_frame n = stability_frame(curves, stability_view::nichols, 1.6);
    EXPECT_EQ(n.x.min, -360);
    EXPECT_EQ(n.x.max, 0);
    // The gain axis as the Bode chart's: whole tens, eight round divisions.
    EXPECT_LE(n.y.min, -200);
    EXPECT_GE(n.y.min, -300);
    EXPECT_GE(n.y.max, 12);
    EXPECT_DOUBLE_EQ(n.y.max - n.y.min, 8 * n.y.step);
}
