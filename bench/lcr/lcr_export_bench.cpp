// LCR exports of full sweeps: the layout-5 text file, the single-sweep and
// ten-sweep workbooks written through the automation layer, and the piezo
// report with both pictures painted by Qt (offscreen unless a platform is
// named).

#include "config/hxm_cfg_4100.h"
#include "db/sweep_file.h"
#include "lcr/lcr_export.h"
#include "lcr/lcr_layouts.h"
#include "lcr/ui/lcr_export_ui.h"
#include "lcr/ui/piezo_plot.h"
#include "link/link.h"
#include "office/excel_server.h"
#include "office/ole.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <memory>

namespace {

const std::string& folder()
{
    static const std::string dir = [] {
        char pattern[] = "/tmp/tarvelo-lcr-export-bench-XXXXXX";
        std::string made = ::mkdtemp(pattern);
        office_set_reports_folder(made + "/reports");
        office_set_opener([](const std::string& path) { std::filesystem::remove(path); });
        return made;
    }();
    return dir;
}

// A layout-5 sweep of 3000 points (a resonator's impedance at position 3).
const LcrResults& full_sweep()
{
    static const std::unique_ptr<LcrResults> r = [] {
        auto made = std::make_unique<LcrResults>();
        made->layout = LCR_LAYOUT_FULL;
        made->count = MAX_SWEEP_POINTS;
        for (int i = 0; i < made->count; ++i) {
            double* v = made->points[static_cast<size_t>(i)].v;
            for (int k = 0; k < LCR_VALUES_MAX; ++k)
                v[k] = (i + 1) * 1.2345e-3 * std::pow(10.0, k % 5 - 2);
            v[0] = 8000 + 3.0 * i;
            v[3] = 10 + 1e5 * std::exp(-std::pow((i - 2000) / 80.0, 2)) + (i < 1000 ? 50 : 0);
        }
        return made;
    }();
    return *r;
}

void write_series(int sweeps)
{
    const LcrResults& r = full_sweep();
    for (int k = 1; k <= sweeps; ++k) {
        sweep_file_writer writer;
        writer.open(sweep_file_path(folder(), k), 0);
        for (int i = 0; i < r.count; ++i)
            writer.write_row(sweep_file_row(i + 1, std::span(r.points[i].v, 13)));
        writer.close();
    }
    sweep_file_mark_mode(folder(), "LCR 5");
}

void BM_LcrTextExport3000Layout5(benchmark::State& state)
{
    hxm_cfg_4100 cfg;
    s_link link;
    const s_export_header header{&cfg, &link, {}};
    for (auto _ : state)
        lcr_export_single_text(folder() + "/bench.txt", full_sweep(), header, state.range(0) != 0);
}
BENCHMARK(BM_LcrTextExport3000Layout5)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LcrSweepWorkbook3000x14(benchmark::State& state)
{
    ole_register_defaults();
    for (auto _ : state)
        lcr_single_workbook(full_sweep(), state.range(0) != 0, false);
}
BENCHMARK(BM_LcrSweepWorkbook3000x14)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LcrSeriesWorkbook10x3000(benchmark::State& state)
{
    ole_register_defaults();
    write_series(10);
    for (auto _ : state)
        lcr_series_workbook(folder(), 10, 10, false);
}
BENCHMARK(BM_LcrSeriesWorkbook10x3000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PiezoReportWithPictures(benchmark::State& state)
{
    static int argc = 1;
    static char name[] = "lcr_export_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    ole_register_defaults();
    const LcrResults& r = full_sweep();
    const s_piezo_analysis a = piezo_analyse(r);
    s_piezo_plot_inputs plot;
    plot.results = &r;
    plot.freq = piezo_freq_range(r, plot.freq);
    plot.impedance = piezo_impedance_range(r, plot.impedance);
    s_piezo_report_input input{&r, a.values ? &*a.values : nullptr, piezo_stamp(0),
                               folder() + "/QXL/Tarvelo2"};
    qt_piezo_painter painter(plot);
    for (auto _ : state)
        piezo_report(nullptr, input, painter, false);
}
BENCHMARK(BM_PiezoReportWithPictures)->Unit(benchmark::kMillisecond);

} // namespace
