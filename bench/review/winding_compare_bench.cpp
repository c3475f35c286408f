// The winding comparison of a 3000-point reference with eight tests of
// 3000 points on grids of their own (each test resampled onto the
// reference's frequencies, three band factors, the judgement, the whole-range
// correlation and the difference curve).

#include "review/winding_report.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

std::vector<s_gain_sample> winding(double f0, double f1, double fl, double offset)
{
    std::vector<s_gain_sample> out;
    for (int i = 0; i < 3000; ++i) {
        const double f = f0 * std::pow(f1 / f0, i / 2999.0);
        double g = offset;
        for (const double r : {fl, 3.1 * fl, 300e3}) {
            const double u = f / r;
            g -= 10 * std::log10((1 - u * u) * (1 - u * u) + u * u / 64);
        }
        out.push_back({f, g});
    }
    return out;
}

void BM_CompareTestOf3000WithEightOthers(benchmark::State& state)
{
    const auto reference = winding(20, 2e6, 20e3, 0);
    std::vector<std::vector<s_gain_sample>> tests;
    std::vector<std::string> names;
    for (int t = 0; t < 8; ++t) {
        tests.push_back(winding(10 + t, 1.5e6 + 1e5 * t, 20e3 * (1 + 0.02 * t), 0.1 * t));
        names.push_back("T" + std::to_string(t));
    }
    for (auto _ : state) {
        const auto rows = winding_compare_all(reference, names, tests);
        for (const s_winding_row& row : rows)
            benchmark::DoNotOptimize(winding_difference(row.result));
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_CompareTestOf3000WithEightOthers)->Unit(benchmark::kMillisecond);

} // namespace
