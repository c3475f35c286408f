// A verdict: a 3000-point LCR sweep judged against quantities, both
// resonances and three bins, and a 3000-point FRA sweep against both margins
// and gain and phase masks. Fitted elements are left out: their time is the
// fit's, measured with the fit.

#include "fra/fra_limits.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_limits.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <memory>
#include <numbers>

namespace {

limit_set parsed(const char* json)
{
    limit_set set;
    std::string error;
    if (!limit_set_parse(json, set, error))
        std::abort();
    return set;
}

// A resonator (50 ohms, 0.1 H, 2.5 nF with 10 nF across) from 8 to 16 kHz.
std::unique_ptr<LcrResults> resonator()
{
    auto r = std::make_unique<LcrResults>();
    r->layout = LCR_LAYOUT_IMPEDANCE;
    r->count = MAX_SWEEP_POINTS;
    for (int i = 0; i < r->count; ++i) {
        const double hz = 8000 + 8000.0 * i / (r->count - 1), w = 2 * std::numbers::pi * hz;
        const std::complex<double> j(0, 1), motional = 50.0 + j * w * 0.1 + 1.0 / (j * w * 2.5e-9);
        const std::complex<double> z = 1.0 / (1.0 / motional + j * w * 10e-9);
        double* v = r->points[static_cast<size_t>(i)].v;
        v[0] = hz, v[1] = z.real(), v[2] = z.imag(), v[3] = std::abs(z);
        v[4] = std::arg(z) * 180 / std::numbers::pi;
    }
    return r;
}

// A loop from 10 Hz to 100 kHz through both crossings.
std::unique_ptr<FraResults> loop()
{
    auto r = std::make_unique<FraResults>();
    r->count = MAX_SWEEP_POINTS;
    for (int i = 0; i < r->count; ++i) {
        const double decades = 4.0 * i / (r->count - 1);
        double* v = r->points[static_cast<size_t>(i)].v;
        v[FRA_FREQUENCY] = 10 * std::pow(10.0, decades);
        v[FRA_GAIN] = 40 - 20 * decades;
        v[FRA_PHASE] = 180 - 60 * decades;
    }
    return r;
}

void BM_LcrVerdict3000(benchmark::State& state)
{
    const auto sweep = resonator();
    const limit_set set = parsed(R"j({"checks": [
        {"quantity": "Z Magnitude (Ohms)", "at_hz": 12000, "low": 1, "high": 1e6},
        {"quantity": "Z Phase", "at_hz": 9000, "low": -90, "high": 90},
        {"resonance": "fr", "low_hz": 9000, "high_hz": 11000},
        {"resonance": "fa", "low_hz": 11000, "high_hz": 12000}],
      "bins": [{"name": "A", "checks": [{"resonance": "fr", "low_hz": 10000, "high_hz": 10010}]},
               {"name": "B", "checks": [{"resonance": "fr", "low_hz": 10010, "high_hz": 10100}]},
               {"name": "C", "checks": []}]})j");
    for (auto _ : state) {
        const s_test_verdict verdict = lcr_judge(*sweep, set);
        if (!verdict.pass || verdict.bin != 2)
            std::abort();
        benchmark::DoNotOptimize(verdict);
    }
}
BENCHMARK(BM_LcrVerdict3000)->Unit(benchmark::kMillisecond);

void BM_FraVerdict3000(benchmark::State& state)
{
    const auto sweep = loop();
    const limit_set set = parsed(R"j({"checks": [
        {"margin": "phase", "at_least": 45}, {"margin": "gain", "at_least": 10},
        {"mask": "gain", "upper": [[10, 45], [1e3, 5], [1e5, -35]], "lower": [[10, 30], [1e5, -50]]},
        {"mask": "phase", "upper": [[10, 190], [1e5, -40]], "lower": [[10, 170], [1e5, -70]]}]})j");
    for (auto _ : state) {
        const s_test_verdict verdict = fra_judge(*sweep, set);
        if (!verdict.pass)
            std::abort();
        benchmark::DoNotOptimize(verdict);
    }
}
BENCHMARK(BM_FraVerdict3000)->Unit(benchmark::kMillisecond);

} // namespace
