// Equivalent-circuit fits of sweeps built in memory: what a fit does with
// points it cannot use and with sweeps no model can be fitted to.

#include "lcr/equivalent_circuit.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <numbers>

namespace {

using complex = std::complex<double>;

// R = 47 Ohm, L = 10 mH in series from 10 Hz to 100 kHz, descending when asked.
std::vector<impedance_sample> coil(int points, bool descending = false)
{
    std::vector<impedance_sample> out;
    for (int i = 0; i < points; ++i) {
        const int k = descending ? points - 1 - i : i;
        const double hz = 10 * std::pow(1e4, k / (points - 1.0));
        out.push_back({hz, complex(47, 2 * std::numbers::pi * hz * 10e-3)});
    }
    return out;
}

} // namespace

TEST(CircuitFit, UnusablePointsAreSkippedAndHopelessSweepsRefused)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<impedance_sample> spoiled = coil(50, true);
    for (const impedance_sample bad :
         {impedance_sample{nan, 1}, impedance_sample{0, 1}, impedance_sample{-5, 1},
          impedance_sample{1e3, 0}, impedance_sample{2e3, complex(inf, 1)},
          impedance_sample{3e3, complex(1, nan)}})
        spoiled.insert(spoiled.begin() + 20, bad);
    for (const circuit_model model : {circuit_model::rl_series, circuit_model::rlc_series}) {
        const circuit_fit fit = fit_circuit(spoiled, model);
        ASSERT_EQ(fit.refusal, "") << circuit_model_name(model);
        EXPECT_NEAR(fitted(fit, "R")->value, 47, 1e-6);
        EXPECT_NEAR(fitted(fit, "L")->value, 10e-3, 1e-9);
        EXPECT_LT(
            std::abs(circuit_impedance(fit, 5e3) / complex(47, 2 * std::numbers::pi * 50) - 1.0),
            1e-9);
    }

    struct row {
        std::vector<impedance_sample> samples;
        circuit_model model;
        const char* reason_part;
    };
    const row rows[] = {
        {{}, circuit_model::rc_parallel, "too few usable points"},
        {coil(1), circuit_model::rlc_parallel, "too few usable points"},
        {{{nan, 1}, {0, 2}, {10, 0}}, circuit_model::rl_series, "too few usable points"},
        {coil(50), circuit_model::resonator, "No resonance found"},
    };
    for (const row& r : rows) {
        const circuit_fit fit = fit_circuit(r.samples, r.model);
        EXPECT_NE(fit.refusal.find(r.reason_part), std::string::npos) << fit.refusal;
        EXPECT_TRUE(fit.elements.empty());
        EXPECT_TRUE(std::isnan(circuit_impedance(fit, 1e3).real()));
    }
    const circuit_fit none = fit_best_circuit({});
    EXPECT_NE(none.refusal, "");
    EXPECT_TRUE(none.elements.empty());
    EXPECT_EQ(fit_best_circuit(coil(50)).model, circuit_model::rl_series);
}

// An inductor with its winding capacitance has no series resonance for the
// four-point analysis to start from; the resonator is fitted all the same
// (its C beyond any measurable value, with no bound on its uncertainty) and
// is the best model.
TEST(CircuitFit, SelfResonantInductorIsAResonatorWithoutSeriesCapacitor)
{
    std::vector<impedance_sample> samples;
    for (int i = 0; i < 100; ++i) {
        const double hz = 10 * std::pow(1e4, i / 99.0);
        const complex winding(5, 2 * std::numbers::pi * hz * 1e-3);
        samples.push_back(
            {hz, 1.0 / (1.0 / winding + complex(0, 2 * std::numbers::pi * hz * 10e-9))});
    }
    const circuit_fit fit = fit_best_circuit(samples);
    ASSERT_EQ(fit.model, circuit_model::resonator) << fit.refusal;
    EXPECT_NEAR(fitted(fit, "R")->value, 5, 5e-4);
    EXPECT_NEAR(fitted(fit, "L")->value, 1e-3, 1e-7);
    EXPECT_NEAR(fitted(fit, "Cp")->value, 10e-9, 1e-12);
    EXPECT_GT(fitted(fit, "C")->value, 1e3);
    EXPECT_TRUE(std::isinf(fitted(fit, "C")->uncertainty)); // the sweep cannot tell C
    EXPECT_LT(fitted(fit, "L")->uncertainty, 1e-9);         // the others it can
    EXPECT_NEAR(*fit.fa, 1 / (2 * std::numbers::pi * std::sqrt(1e-3 * 10e-9)), 1);
}
