// The comparisons of a two-winding unit's assessment: 15 measurements of
// about 1000 points each against the fingerprint, against a sister unit and
// phase against phase (45 winding comparisons with their band indicators),
// ordered worst first and the suspect phase found.

#include "review/assessment.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// One measurement's gain: resonances that move with the step and, on the
// displaced phase, a high one shifted; each unit on a grid of its own.
std::vector<s_measured> unit_tests(const std::vector<s_plan_step>& plan, double f0, char displaced)
{
    std::vector<s_measured> out;
    for (size_t s = 0; s < plan.size(); ++s) {
        s_measured m{plan[s].name, plan[s].winding, {}};
        const double fl = 8e3 * (1 + 0.1 * double(s)) * (plan[s].phase == 'B' ? 0.9 : 1.0);
        const double fh = plan[s].phase == displaced ? 330e3 : 300e3;
        for (int i = 0; i < 1000; ++i) {
            const double f = f0 * std::pow(2e6 / f0, i / 999.0);
            double g = 0;
            for (const double r : {fl, 3.1 * fl, fh}) {
                const double u = f / r;
                g -= 10 * std::log10((1 - u * u) * (1 - u * u) + u * u / 64);
            }
            m.curve.push_back({f, g});
        }
        out.push_back(std::move(m));
    }
    return out;
}

void BM_AssessmentCompare15x3(benchmark::State& state)
{
    std::string error;
    const std::vector<s_plan_step> plan = assessment_plan(*transformer_parse("Dyn11", error));
    const auto unit = unit_tests(plan, 20, 'C');
    const auto fingerprint = unit_tests(plan, 21, 0);
    const auto sister = unit_tests(plan, 19, 0);
    for (auto _ : state) {
        const s_assessment a = assessment_compare(plan, unit, fingerprint, "2019", sister, "T2");
        benchmark::DoNotOptimize(assessment_worst_first(a));
        benchmark::DoNotOptimize(assessment_suspect_phase(a, plan));
    }
}
BENCHMARK(BM_AssessmentCompare15x3)->Unit(benchmark::kMillisecond);

} // namespace
