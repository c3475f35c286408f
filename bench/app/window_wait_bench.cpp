// How long the window stands still for work it hands to a worker: the
// longest stretch away from the event loop (the benchmark's time) while a
// session of 50 tests of 3000 points is deleted from the database view, a
// 3000-point sweep is completed and stored, and a 3000 x 14 workbook is
// built and written, and the desktop is asked for an application to open a
// report with; work_ms is the whole operation's wall time.

#include "base/control_table.h"
#include "base/off_window.h"
#include "base/ui/control_windows.h"
#include "bench/support/bench_folder.h"
#include "bench/support/bench_sessions.h"
#include "bench/support/loop_gap.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/ui/db_form_windows.h"
#include "fra/sweep_complete.h"
#include "lcr/lcr_export.h"
#include "office/excel_server.h"
#include "office/ole.h"
#include "office/ui/desktop_opener.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

void BM_WindowDeleteSession50x3000(benchmark::State& state)
{
    loop_gap gap;
    scripted_ui ui;
    ui.set_default_yes(true);
    ui_set_backend(&ui);
    bench_folder folder("tarvelo-window-bench");
    bool is_new = false;
    db_open(folder.path + "/bench.db", DB_OPEN_OR_CREATE, &is_new);
    bench_add_sessions(1000);
    auto* view = new db_view_window(nullptr, 0);
    create_table(view->client(), TABLE_DB_LISTS);
    view->resize(1004, 489);
    for (auto _ : state) {
        bench_add_session(50, MAX_SWEEP_POINTS);
        view->form().refresh_sessions(false);
        const int64_t newest = [&] {
            int64_t key = 0;
            for (const db_list_row& row : view->form().sessions.rows)
                key = std::max(key, row.key);
            return key;
        }();
        view->form().select_session_by_key(newest);
        view->sync();
        gap.measure(state, [&] { view->on_command(DB_CMD_DELETE_SESSION, 0); });
        if (view->form().sessions.find(newest) >= 0)
            state.SkipWithError("the session is still listed");
    }
    forget_table_windows();
    delete view;
    db_close();
    ui_set_backend(nullptr);
}
BENCHMARK(BM_WindowDeleteSession50x3000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_WindowSweepStore3000(benchmark::State& state)
{
    loop_gap gap;
    scripted_ui ui;
    ui_set_backend(&ui);
    bench_folder folder("tarvelo-window-bench");
    bool is_new = false;
    db_open(folder.path + "/bench.db", DB_OPEN_OR_CREATE, &is_new);
    auto ctx = std::make_unique<FraSweepContext>();
    auto results = std::make_unique<FraResults>();
    ctx->sweep.count = MAX_SWEEP_POINTS;
    for (int i = 0; i < MAX_SWEEP_POINTS; ++i) {
        double* v = ctx->sweep.points[static_cast<size_t>(i)].v;
        v[0] = 10.0 * std::pow(10.0, 4.0 * i / (MAX_SWEEP_POINTS - 1));
        v[1] = 0.70711;
        v[2] = 0.5;
        v[3] = -3.0103 - i * 0.01;
        v[4] = -45.0 - i * 0.03;
        v[5] = 1.25e-4;
    }
    for (auto _ : state) {
        s_test test;
        test.SessionNo = 1;
        test.Name = "bench";
        test.Winding = "W";
        const s_sweep_store store{folder.path, 1, &test, 0};
        s_sweep_outcome out;
        gap.measure(state, [&] {
            run_off_window("Storing the sweep\x85", [&](const std::atomic<bool>&) {
                out = fra_complete_sweep(*ctx, *results, store);
                return true;
            });
        });
        if (!out.stored || !out.file_written)
            state.SkipWithError("not stored");
    }
    db_close();
    ui_set_backend(nullptr);
}
BENCHMARK(BM_WindowSweepStore3000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_WindowLcrWorkbook3000x14(benchmark::State& state)
{
    loop_gap gap;
    scripted_ui ui;
    ui_set_backend(&ui);
    bench_folder folder("tarvelo-window-bench");
    office_set_reports_folder(folder.path);
    ole_register_defaults();
    auto r = std::make_unique<LcrResults>();
    r->layout = 5;
    r->count = MAX_SWEEP_POINTS;
    for (int i = 0; i < r->count; ++i)
        for (int k = 0; k < LCR_VALUES_MAX; ++k)
            r->points[static_cast<size_t>(i)].v[k] =
                (i + 1) * 1.2345e-3 * std::pow(10.0, k % 5 - 2);
    for (auto _ : state) {
        int rc = -1;
        gap.measure(state, [&] { rc = lcr_single_workbook(*r, false, false); });
        if (rc != 0)
            state.SkipWithError("no workbook");
    }
    office_set_reports_folder({});
    ui_set_backend(nullptr);
}
BENCHMARK(BM_WindowLcrWorkbook3000x14)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// A report of a type no application opens: the user answers Yes to open
// it, the desktop is asked for an application, and "No application could be
// started" is answered.
void BM_WindowReportOpenerLookUp(benchmark::State& state)
{
    loop_gap gap;
    scripted_ui ui;
    ui_set_backend(&ui);
    bench_folder folder("tarvelo-window-bench");
    office_use_desktop_opener();
    for (auto _ : state) {
        ui.clear();
        ui.set_default_yes(true);
        ui.push_file(folder.path + "/report.tarvelo-bench");
        gap.measure(state, [&] {
            office_write_report("report", "tarvelo-bench", [](const std::string& path) {
                return static_cast<bool>(std::ofstream(path, std::ios::binary) << '\0' << '\1');
            });
        });
        if (ui.shown().size() < 2)
            state.SkipWithError("the opener was not asked");
    }
    office_set_opener(nullptr);
    office_set_destination(nullptr);
    ui_set_backend(nullptr);
}
BENCHMARK(BM_WindowReportOpenerLookUp)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
