// The PDF reports, built and written whole (into memory, as the file's
// bytes): the FRA test report of a 3000-point sweep with its Nyquist and
// Nichols charts and every point listed, and the comparison report of nine
// tests of 3000 points.

#include "base/ui/interface_font.h"
#include "bench/support/bench_app.h"
#include "fra/ui/fra_report.h"
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

} // namespace
