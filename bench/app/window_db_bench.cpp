// How long the window stands still for the database form's work on a large
// file: the longest stretch away from the event loop (the benchmark's time)
// while a sweep is imported beside 5000 sessions, a file of 20 000 sessions
// is opened, a session is stored and nine tests of 3000 points are read for
// the graph; work_ms is the whole operation's wall time.

#include "base/app_settings.h"
#include "base/control_table.h"
#include "base/ui/control_windows.h"
#include "bench/support/bench_folder.h"
#include "bench/support/bench_sessions.h"
#include "bench/support/loop_gap.h"
#include "db/db_import.h"
#include "db/ui/db_form_windows.h"
#include "review/ui/graph_dialog.h"
#include "sweep/sweep_points.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

// The database view of a file in the folder, with sessions of other names
// keyed from 2 on, so the import's own session is new to the list.
struct bench_view {
    explicit bench_view(int sessions) : folder("tarvelo-window-db-bench")
    {
        ui.set_default_yes(true);
        ui_set_backend(&ui);
        // The view remembers the file it opened in the settings file.
        const s_app_paths paths = app_paths(folder.path + "/data");
        std::filesystem::create_directories(paths.data_folder);
        set_current_app_paths(paths);
        bool is_new = false;
        db_open(file(), DB_OPEN_OR_CREATE, &is_new);
        bench_add_sessions(sessions, 2);
        view = std::make_unique<db_view_window>(nullptr, 0);
        create_table(view->client(), TABLE_DB_LISTS);
        view->resize(1004, 489);
        view->form().refresh_sessions(false);
        view->sync();
    }
    ~bench_view()
    {
        forget_table_windows();
        view.reset();
        db_close();
        ui_set_backend(nullptr);
    }
    bench_view(const bench_view&) = delete;
    bench_view& operator=(const bench_view&) = delete;
    std::string file() const { return folder.path + "/bench.db"; }

    loop_gap gap;
    scripted_ui ui;
    bench_folder folder;
    std::unique_ptr<db_view_window> view;
};

void BM_WindowImportInto5000Sessions(benchmark::State& state)
{
    bench_view bench(5000);
    const std::string sweep = bench.folder.path + "/sweep.txt";
    {
        std::ofstream out(sweep);
        for (int i = 1; i <= MAX_SWEEP_POINTS; ++i)
            out << i << '\t' << i * 10 << '\t' << -0.001 * i << '\t' << 0.01 * i << '\n';
    }
    for (auto _ : state) {
        db_exec("DELETE FROM Data WHERE TestNo IN (SELECT TestNo FROM Test WHERE SessionNo = " +
                std::to_string(DB_IMPORT_SESSION) + ")");
        db_exec("DELETE FROM Test WHERE SessionNo = " + std::to_string(DB_IMPORT_SESSION));
        db_exec("DELETE FROM Session WHERE SessionNo = " + std::to_string(DB_IMPORT_SESSION));
        bench.view->form().refresh_sessions(false);
        bench.view->sync();
        bench.ui.push_file(sweep);
        bench.gap.measure(state, [&] { bench.view->on_command(DB_TOOL_IMPORT, 0); });
        if (bench.view->form().sessions.find(DB_IMPORT_SESSION) < 0)
            state.SkipWithError("the imported session is not listed");
    }
}
BENCHMARK(BM_WindowImportInto5000Sessions)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_WindowOpenDatabase20000Sessions(benchmark::State& state)
{
    bench_view bench(20000);
    for (auto _ : state) {
        bench.ui.push_file(bench.file());
        bench.gap.measure(state, [&] { bench.view->on_command(DB_TOOL_OPEN, 0); });
        if (bench.view->form().sessions.rows.size() != 20000)
            state.SkipWithError("the sessions are not listed");
    }
}
BENCHMARK(BM_WindowOpenDatabase20000Sessions)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_WindowStoreSessionBeside5000(benchmark::State& state)
{
    bench_view bench(5000);
    for (auto _ : state) {
        s_session session;
        session.Name = "Bench";
        session.year = 2024;
        session.month = session.day = 1;
        bench.gap.measure(state, [&] {
            bench.view->form().store_new_session(session);
            bench.view->sync();
        });
        if (bench.view->form().sessions.selected_key() != session.SessionNo)
            state.SkipWithError("the new session is not selected");
    }
}
BENCHMARK(BM_WindowStoreSessionBeside5000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

void BM_WindowGraphNineTests3000(benchmark::State& state)
{
    bench_view bench(0);
    bench_add_session(9, MAX_SWEEP_POINTS);
    const std::vector<int> keys = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (auto _ : state) {
        bench.gap.measure(state, [&] { graph_dialog_open(bench.view.get(), keys); });
        if (!graph_dialog::current())
            state.SkipWithError("no graph");
        delete graph_dialog::current();
    }
}
BENCHMARK(BM_WindowGraphNineTests3000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
