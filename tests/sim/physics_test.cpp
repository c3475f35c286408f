#include "sim/fra_dut.h"
#include "sim/lcr_dut.h"
#include "sim/measure.h"
#include "sim/sweep_plan.h"

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

sim::fra_dut parse_fra(const char* description)
{
    std::string error;
    auto dut = sim::parse_fra_dut(description, error);
    EXPECT_TRUE(dut.has_value()) << error;
    return dut.value_or(sim::fra_dut{});
}

sim::lcr_dut parse_lcr(const char* description)
{
    std::string error;
    auto dut = sim::parse_lcr_dut(description, error);
    EXPECT_TRUE(dut.has_value()) << error;
    return dut.value_or(sim::lcr_dut{});
}

TEST(FraPhysics, SecondOrderLowPassMatchesItsClosedForm)
{
    // H(s) = w0^2 / (s^2 + 2 zeta w0 s + w0^2), w0 = 2 pi 1 kHz, zeta = 0.2,
    // with a 10 us delay and 2 V from the generator.
    const double w0 = 2 * pi * 1000;
    const double zeta = 0.2;
    char description[200];
    std::snprintf(description, sizeof description, "num=%.17g;den=1,%.17g,%.17g;delay=10u", w0 * w0,
                  2 * zeta * w0, w0 * w0);
    const auto dut = parse_fra(description);
    for (double hz : {50.0, 700.0, 1000.0, 1500.0, 20000.0}) {
        const double u = hz / 1000;
        const double magnitude = 1 / std::sqrt((1 - u * u) * (1 - u * u) + 4 * zeta * zeta * u * u);
        const double phase = -std::atan2(2 * zeta * u, 1 - u * u) - 2 * pi * hz * 10e-6;
        const double wrapped = std::remainder(phase * 180 / pi, 360.0);
        const auto p = sim::fra_point(dut, hz, {2.0, 0, 0, false});
        ASSERT_EQ(p.size(), 6u);
        EXPECT_DOUBLE_EQ(p[0], hz);
        EXPECT_NEAR(p[1], 2.0, 1e-12);
        EXPECT_NEAR(p[2], 2.0 * magnitude, 1e-9 * magnitude);
        EXPECT_NEAR(p[3], 20 * std::log10(magnitude), 1e-9) << hz;
        EXPECT_NEAR(p[4], wrapped, 1e-9) << hz;
        EXPECT_NEAR(p[5], -wrapped / (360 * hz), 1e-15) << hz;
    }
}

TEST(FraPhysics, PhaseConventionsFoldTheSameAngleThreeWays)
{
    EXPECT_DOUBLE_EQ(sim::fold_phase(-90, 0), -90);
    EXPECT_DOUBLE_EQ(sim::fold_phase(-90, 1), -90);
    EXPECT_DOUBLE_EQ(sim::fold_phase(-90, 2), 270);
    EXPECT_DOUBLE_EQ(sim::fold_phase(90, 1), -270);
    EXPECT_DOUBLE_EQ(sim::fold_phase(90, 2), 90);
    EXPECT_DOUBLE_EQ(sim::fold_phase(450, 0), 90);
    EXPECT_DOUBLE_EQ(sim::fold_phase(0, 1), 0);
}

TEST(FraPhysics, RatioChoiceAndThirdChannelFollowTheChannelSignals)
{
    const auto dut = parse_fra("num=3;den=1");
    const auto forward = sim::fra_point(dut, 100, {1, 0, 0, true});
    const auto inverse = sim::fra_point(dut, 100, {1, 0, 1, true});
    ASSERT_EQ(forward.size(), 10u);
    EXPECT_NEAR(forward[3], 20 * std::log10(3.0), 1e-12);
    EXPECT_NEAR(inverse[3], -20 * std::log10(3.0), 1e-12);
    EXPECT_NEAR(forward[6], 0.75, 1e-12); // closed loop 3 / (1 + 3)
    EXPECT_NEAR(forward[7], 20 * std::log10(0.75), 1e-12);
}

TEST(FraPhysics, DefaultLoopCrossesZeroDecibelsAndZeroDegreesInsideTheFactorySweep)
{
    const auto dut = sim::default_fra_dut();
    const auto f = sim::sweep_frequencies(10, 1e5, 100, false);
    int gain_crossings = 0;
    int phase_crossings = 0;
    for (std::size_t i = 0; i + 1 < f.size(); ++i) {
        const auto a = sim::fra_point(dut, f[i], {});
        const auto b = sim::fra_point(dut, f[i + 1], {});
        gain_crossings += (a[3] >= 0) != (b[3] >= 0);
        phase_crossings += (a[4] >= 0) != (b[4] >= 0);
    }
    EXPECT_EQ(gain_crossings, 1);
    EXPECT_EQ(phase_crossings, 1);
    EXPECT_NEAR(std::arg(dut.response(std::sqrt(1e3 * 1e4))), 0, 1e-9);
}

TEST(FraPhysics, PoleOnTheMeasuredFrequencyStaysFinite)
{
    const double w = 2 * pi * 1000;
    char description[100];
    std::snprintf(description, sizeof description, "num=1;den=1,0,%.17g", w * w);
    const auto dut = parse_fra(description);
    EXPECT_GT(std::abs(dut.response(1000)), 1e100);
    const auto p = sim::fra_point(dut, 1000, {});
    for (double v : p) {
        EXPECT_TRUE(std::isfinite(v));
    }
}

// One section of a winding, worked out by hand: the series branch R + jwL
// plus the core (Lm || Cm || Rc) with Cs across, Cg/2 at each node, Ce across
// the ends; the source's 100 ohm sets what channel 1 sees.
TEST(FraPhysics, OneSectionLadderMatchesItsClosedForm)
{
    using complex = std::complex<double>;
    const double hz = 30e3;
    const complex s(0, 2 * pi * hz);
    const complex core = 1.0 / (1.0 / (s * 0.2) + s * 1e-9 + 1.0 / 5e3);
    const complex branch = 1.0 / (1.0 / (12.0 + s * 1e-3 + core) + s * 50e-12);
    const auto parallel = [](complex a, complex b) { return a * b / (a + b); };
    const complex half_cg = 1.0 / (s * 100e-12);
    const complex ce = 1.0 / (s * 20e-12);
    const complex series = parallel(branch, ce);
    const complex far_load = parallel(half_cg, 50.0);
    const complex load_input = parallel(half_cg, series + far_load);
    // Far end earthed: the other winding's terminal sees 0.1 times the
    // core's voltage behind its 2 ohm and 50 uH, loaded by 50 ohm.
    const complex current = 1.0 / (12.0 + s * 1e-3 + core);
    const complex lk = 2.0 + s * 50e-6;
    const complex earthed_input = parallel(parallel(half_cg, branch), ce);
    const struct {
        const char* description;
        complex transfer;
        complex input;
    } rows[] = {
        {"ladder=1;L=1m;R=12;Cs=50p;Cg=200p;Lm=0.2;Cm=1n;Rc=5k;Ce=20p;Rsrc=100",
         far_load / (series + far_load), load_input / (load_input + 100.0)},
        {"ladder=1;L=1m;R=12;Cs=50p;Cg=200p;Lm=0.2;Cm=1n;Rc=5k;Ce=20p;Rsrc=100;end=earth;"
         "ratio=0.1;Lk=50u;Rk=2",
         0.1 * core * current * 50.0 / (50.0 + lk), earthed_input / (earthed_input + 100.0)},
    };
    for (const auto& row : rows) {
        const auto got = parse_fra(row.description).respond(hz);
        EXPECT_NEAR(std::abs(got.transfer - row.transfer), 0, 1e-9 * std::abs(row.transfer))
            << row.description;
        EXPECT_NEAR(std::abs(got.input - row.input), 0, 1e-9) << row.description;
    }
}

TEST(LcrPhysics, ResonatorImpedanceIsLowestAtSeriesAndHighestAtParallelResonance)
{
    const auto dut = parse_lcr("bvd:R=10,L=0.1,C=2.5n,Cp=10n");
    const double fr = dut.series_resonance();
    const double fa = dut.parallel_resonance();
    EXPECT_NEAR(fr, 1 / (2 * pi * std::sqrt(0.1 * 2.5e-9)), 1e-6);
    const auto f = sim::sweep_frequencies(8000, 14000, 3001, true);
    double z_min = INFINITY;
    double z_max = 0;
    double f_min = 0;
    double f_max = 0;
    for (double hz : f) {
        const double z = sim::lcr_sweep_values(dut.impedance(hz), hz, 6, 0)[3];
        if (z < z_min) {
            z_min = z;
            f_min = hz;
        }
        if (z > z_max) {
            z_max = z;
            f_max = hz;
        }
    }
    EXPECT_NEAR(f_min, fr, fr * 1e-3);
    EXPECT_NEAR(f_max, fa, fa * 1e-3);
    EXPECT_NEAR(z_min, 10, 0.5);
}

TEST(LcrPhysics, SeriesCircuitGivesBackItsElements)
{
    const auto dut = parse_lcr("series:R=50,L=10m,C=1u");
    const double hz = 5000; // well above resonance: inductive
    const auto v = sim::lcr_sweep_values(dut.impedance(hz), hz, 5, 0);
    ASSERT_EQ(v.size(), 13u);
    const double w = 2 * pi * hz;
    const double x = w * 10e-3 - 1 / (w * 1e-6);
    EXPECT_NEAR(v[7], 50, 1e-9);                // series R
    EXPECT_NEAR(v[5], x / w, 1e-12);            // series L
    EXPECT_NEAR(v[1], x / 50, 1e-9);            // Q
    EXPECT_NEAR(v[2], 50 / x, 1e-12);           // tan delta
    EXPECT_NEAR(v[3], std::hypot(50, x), 1e-9); // |Z|
    EXPECT_NEAR(v[4], std::atan2(x, 50) * 180 / pi, 1e-9);
    EXPECT_NEAR(v[8] * v[3], 1, 1e-12); // |Y| |Z| = 1
    EXPECT_NEAR(v[9], -v[4], 1e-9);
}

TEST(LcrPhysics, ParallelCircuitGivesBackItsElementsInEveryLayout)
{
    const auto dut = parse_lcr("parallel:R=1k,C=100n");
    const double hz = 1000;
    const auto z = dut.impedance(hz);
    const auto layout2 = sim::lcr_sweep_values(z, hz, 2, 0);
    ASSERT_EQ(layout2.size(), 8u);
    EXPECT_NEAR(layout2[6], 100e-9, 1e-15); // parallel C
    EXPECT_NEAR(layout2[7], 1000, 1e-6);    // parallel R
    const auto admittance = sim::lcr_sweep_values(z, hz, 7, 0);
    ASSERT_EQ(admittance.size(), 5u);
    EXPECT_NEAR(admittance[1], 1e-3, 1e-12);                 // G
    EXPECT_NEAR(admittance[2], 2 * pi * hz * 100e-9, 1e-12); // B
    const auto impedance = sim::lcr_sweep_values(z, hz, 6, 2);
    EXPECT_GT(impedance[4], 180); // capacitive phase folded into 0..360
}

// The devices with parasitic elements against their closed forms at 1 kHz,
// and a run of parts: each element within the spread, parts differing, the
// same run every time, no spread giving the nominal device.
TEST(LcrPhysics, ParasiticsAndPartsSpread)
{
    using complex = std::complex<double>;
    const double w = 2 * pi * 1000;
    const complex j(0, 1);
    struct row {
        const char* description;
        complex z;
    };
    const row rows[] = {
        {"parallel:R=1k,L=10m", 1.0 / (1e-3 + 1.0 / (j * w * 10e-3))},
        {"parallel:R=1k,L=10m,C=1u,Rs=2,Ls=1u",
         1.0 / (1e-3 + 1.0 / (j * w * 10e-3) + j * w * 1e-6) + 2.0 + j * w * 1e-6},
        {"series:R=5,L=1m,Cp=10n", 1.0 / (1.0 / (5.0 + j * w * 1e-3) + j * w * 10e-9)},
    };
    for (const row& r : rows) {
        EXPECT_LT(std::abs(parse_lcr(r.description).impedance(1000) / r.z - 1.0), 1e-12)
            << r.description;
    }
    std::string error;
    EXPECT_FALSE(sim::parse_lcr_dut("parallel:R=1k,Cp=1n", error)); // no stray Cp there
    EXPECT_FALSE(sim::parse_lcr_dut("series:R=1k,Rs=1", error));

    const auto nominal = parse_lcr("series:R=100,L=1m,C=1u");
    EXPECT_EQ(sim::lcr_dut_part(nominal, 0, 3).r, 100);
    double lowest = 1e9, highest = 0;
    for (int part = 1; part <= 50; ++part) {
        const auto a = sim::lcr_dut_part(nominal, 0.05, part);
        EXPECT_EQ(a.c, sim::lcr_dut_part(nominal, 0.05, part).c);
        for (const double ratio : {a.r / 100, a.l / 1e-3, a.c / 1e-6}) {
            EXPECT_LE(std::fabs(ratio - 1), 0.05);
        }
        lowest = std::min(lowest, a.r);
        highest = std::max(highest, a.r);
    }
    EXPECT_LT(lowest, 98); // the run spreads over most of the band
    EXPECT_GT(highest, 102);
}

TEST(LcrPhysics, RealtimeReadingsCarryDriveAndCurrent)
{
    const auto dut = parse_lcr("series:R=100");
    const auto eleven = sim::lcr_reading(dut.impedance(1000), 1000, 2.0, false, 0);
    const auto fourteen = sim::lcr_reading(dut.impedance(1000), 1000, 2.0, true, 0);
    ASSERT_EQ(eleven.size(), 11u);
    ASSERT_EQ(fourteen.size(), 14u);
    EXPECT_NEAR(eleven[2], 0.02, 1e-12);
    EXPECT_NEAR(eleven[9], 0.01, 1e-12);      // conductance
    EXPECT_NEAR(fourteen[5], 100, 1e-9);      // series R
    EXPECT_NEAR(fourteen[8], 100, 1e-9);      // parallel R
    EXPECT_TRUE(std::isfinite(fourteen[12])); // Q of a pure resistance
}

TEST(LcrPhysics, ShortCircuitAtResonanceStaysFinite)
{
    const auto dut = parse_lcr("series:L=1m,C=1u");
    const double fr = 1 / (2 * pi * std::sqrt(1e-3 * 1e-6));
    for (double v : sim::lcr_sweep_values(dut.impedance(fr), fr, 5, 0)) {
        EXPECT_TRUE(std::isfinite(v));
    }
}

TEST(SweepPlan, FrequenciesAndDurationFollowTheSettings)
{
    const auto log = sim::sweep_frequencies(10, 1e5, 5, false);
    ASSERT_EQ(log.size(), 5u);
    EXPECT_DOUBLE_EQ(log.front(), 10);
    EXPECT_NEAR(log[1], 100, 1e-9);
    EXPECT_NEAR(log.back(), 1e5, 1e-6);
    const auto lin = sim::sweep_frequencies(100, 200, 3, true);
    EXPECT_EQ(lin, (std::vector<double>{100, 150, 200}));
    const auto slow = sim::sweep_duration({1.0}, 2, 1.0);
    EXPECT_NEAR(std::chrono::duration<double>(slow).count(), 2.005, 1e-6);
    EXPECT_EQ(sim::sweep_duration(log, 1, 0.0).count(), 0);
}

} // namespace
