// The PDF reports, built and written whole (into memory, as the file's
// bytes): the FRA test report of a 3000-point sweep with its Nyquist and
// Nichols charts and every point listed, the comparison report of nine
// tests of 3000 points, and a two-winding transformer's assessment (15
// measurements of 1000 points against a fingerprint and a sister unit).

#include "base/ui/interface_font.h"
#include "bench/support/bench_app.h"
#include "fra/ui/fra_report.h"
#include "review/ui/assessment_report.h"
#include "review/ui/compare_report.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

std::vector<s_margin_sample> loop(int points, double scale)
{
    std::vector<s_margin_sample> out;
    for (int i = 0; i < points; ++i) {
        const double f = 10 * std::pow(10.0, 4.0 * i / (points - 1));
        out.push_back({f, 20 * std::log10(300.0 * scale / f), 45 * std::log10(2000.0 * scale / f)});
    }
    return out;
}

void start_painting()
{
    bench_app();
    use_interface_font();
}

void BM_FraReportPdf3000(benchmark::State& state)
{
    start_painting();
    s_fra_report_input in;
    in.session.Name = "bench";
    in.test.Name = "loop";
    in.points = loop(3000, 1);
    in.nyquist = in.nichols = in.with_points = true;
    for (auto _ : state) {
        QByteArray pdf;
        std::string error;
        fra_report(in).pdf_bytes(report_paper::a4, pdf, error);
        benchmark::DoNotOptimize(pdf.size());
    }
}
BENCHMARK(BM_FraReportPdf3000)->Unit(benchmark::kMillisecond);

void BM_CompareReportPdfNineTests(benchmark::State& state)
{
    start_painting();
    graph_model model;
    for (int t = 0; t < 9; ++t)
        model.add("loop " + std::to_string(t + 1), loop(3000, t + 1));
    for (auto _ : state) {
        QByteArray pdf;
        std::string error;
        compare_report(model, {}).pdf_bytes(report_paper::a4, pdf, error);
        benchmark::DoNotOptimize(pdf.size());
    }
}
BENCHMARK(BM_CompareReportPdfNineTests)->Unit(benchmark::kMillisecond);

// A winding's gain from 1 kHz to 1 MHz: falling, with resonances whose
// frequencies move by `shift` (a share) and that differ per measurement.
std::vector<s_gain_sample> winding(int points, int measurement, double shift)
{
    std::vector<s_gain_sample> out;
    for (int i = 0; i < points; ++i) {
        const double f = 1e3 * std::pow(10.0, 3.0 * i / (points - 1));
        double g = -20 - 8 * std::log10(f / 1e3);
        for (int k = 0; k < 4; ++k) {
            const double centre =
                std::log10(4e3 * std::pow(5.5, k) * (1 + 0.03 * measurement) * (1 + shift));
            g += 12 * std::exp(-std::pow((std::log10(f) - centre) / 0.04, 2));
        }
        out.push_back({f, g});
    }
    return out;
}

s_assessment_unit bench_unit(const std::vector<s_plan_step>& plan, const char* name, double shift)
{
    s_assessment_unit unit;
    unit.session.SessionNo = 1;
    unit.session.Name = name;
    for (size_t m = 0; m < plan.size(); ++m)
        unit.tests.push_back({plan[m].name, plan[m].winding,
                              winding(1000, int(m), plan[m].phase == 'B' ? 0.02 + shift : shift)});
    return unit;
}

void BM_AssessmentReportPdf15(benchmark::State& state)
{
    start_painting();
    std::string error;
    s_assessment_inputs in;
    in.transformer = *transformer_parse("Dyn11", error);
    in.plan = assessment_plan(in.transformer);
    in.unit = bench_unit(in.plan, "Unit 2026", 0.004);
    in.fingerprint = bench_unit(in.plan, "Fingerprint 2019", 0);
    in.sister = bench_unit(in.plan, "Sister unit", 0.01);
    for (auto _ : state) {
        in.assessment = assessment_compare(in.plan, in.unit.tests, in.fingerprint.tests,
                                           in.fingerprint.session.Name, in.sister.tests,
                                           in.sister.session.Name);
        QByteArray pdf;
        assessment_report(in, {QStringLiteral("No deformation."), QStringLiteral("Bench")})
            .pdf_bytes(report_paper::a4, pdf, error);
        benchmark::DoNotOptimize(pdf.size());
    }
}
BENCHMARK(BM_AssessmentReportPdf15)->Unit(benchmark::kMillisecond);

} // namespace
