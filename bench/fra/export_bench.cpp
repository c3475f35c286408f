// Exports of full sweeps: text files, the block write through the
// automation layer to a written workbook, and the FRA workbooks.

#include "config/hxm_cfg_4100.h"
#include "db/sweep_file.h"
#include "fra/fra_export.h"
#include "fra/fra_export_workbook.h"
#include "link/link.h"
#include "office/excel_server.h"
#include "office/ole.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const std::string& folder()
{
    static const std::string dir = [] {
        char pattern[] = "/tmp/tarvelo-export-bench-XXXXXX";
        std::string made = ::mkdtemp(pattern);
        office_set_reports_folder(made + "/reports");
        office_set_opener([](const std::string& path) { std::filesystem::remove(path); });
        return made;
    }();
    return dir;
}

FraResults full_sweep()
{
    FraResults r;
    r.count = MAX_SWEEP_POINTS;
    for (int i = 0; i < r.count; ++i)
        for (int v = 0; v < FRA_VALUES_USUAL; ++v)
            r.points[i].v[v] = (i + 1) * 1.2345 + v * 0.001;
    return r;
}

void write_series(int sweeps)
{
    const FraResults r = full_sweep();
    for (int k = 1; k <= sweeps; ++k) {
        sweep_file_writer writer;
        writer.open(sweep_file_path(folder(), k), 0);
        for (int i = 0; i < r.count; ++i)
            writer.write_row(sweep_file_row(i + 1, std::span(r.points[i].v, FRA_VALUES_USUAL)));
        writer.close();
    }
}

void BM_TextExport3000(benchmark::State& state)
{
    static const FraResults r = full_sweep();
    hxm_cfg_4100 cfg;
    s_link link;
    const s_export_header header{&cfg, &link, {}};
    for (auto _ : state)
        fra_export_single_text(folder() + "/bench.txt", r, header, state.range(0) != 0);
}
BENCHMARK(BM_TextExport3000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BlockWrite3000x13(benchmark::State& state)
{
    std::string block;
    for (int r = 0; r < 3000; ++r)
        for (int c = 0; c < 13; ++c)
            block += std::to_string(r * 13 + c) + ".12345" + (c < 12 ? "\t" : "\n");
    for (auto _ : state) {
        ole_object *app = nullptr, *books = nullptr, *book = nullptr;
        excel_start(app, books, book);
        ole_object* sheet = sheet_active(app);
        range_set_text(sheet, 1, 1, 13, 3000, block);
        app_set_visible(app);
        for (ole_object* o : {sheet, book, books, app})
            ole_release(o);
    }
}
BENCHMARK(BM_BlockWrite3000x13)->Unit(benchmark::kMillisecond);

void BM_SingleSweepWorkbook(benchmark::State& state)
{
    static const FraResults r = full_sweep();
    for (auto _ : state)
        fra_single_workbook(r, false, false);
}
BENCHMARK(BM_SingleSweepWorkbook)->Unit(benchmark::kMillisecond);

// A repeating test's workbook: sweeps side by side, 3000 rows each. The
// process's peak resident memory so far is reported with it.
void repeating_workbook(benchmark::State& state, int sweeps)
{
    write_series(sweeps);
    for (auto _ : state)
        fra_series_workbook(folder(), sweeps, sweeps, state.range(0) != 0);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_RepeatingWorkbook10(benchmark::State& state)
{
    repeating_workbook(state, 10);
}
BENCHMARK(BM_RepeatingWorkbook10)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_RepeatingWorkbook99(benchmark::State& state)
{
    repeating_workbook(state, 99);
}
BENCHMARK(BM_RepeatingWorkbook99)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
