// The graph dialog with nine stored tests of 3000 points: opening it (the
// tests read from the database), and one repaint at 1024 x 625 with the
// legend, margin markers and both cursors, and of its Nyquist and Nichols
// views. Peak memory is reported too.

#include "bench/support/bench_app.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "review/ui/graph_dialog.h"
#include "review/ui/graph_overlay.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Nine loops stored in a fresh database, one session; keys 1..9.
std::string nine_tests()
{
    const std::string file = "/tmp/tarvelo-graph-bench-" + std::to_string(::getpid()) + ".db";
    std::filesystem::remove(file);
    bool is_new = false;
    db_open(file, DB_OPEN_OR_CREATE, &is_new);
    s_session session;
    session.Name = "bench";
    db_save_session(session, false);
    for (int t = 0; t < 9; ++t) {
        s_test test;
        test.SessionNo = session.SessionNo;
        test.Name = "loop " + std::to_string(t + 1);
        for (int i = 0; i < 3000; ++i) {
            const double f = 10 * std::pow(10.0, 4.0 * i / 2999);
            const s_test_point p{f, 20 * std::log10(300.0 * (t + 1) / f),
                                 45 * std::log10(2000.0 * (t + 1) / f)};
            test_add_point(test, &p);
        }
        db_store_test(test);
    }
    return file;
}

double peak_mb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

const std::vector<int> KEYS{1, 2, 3, 4, 5, 6, 7, 8, 9};

void BM_OpenGraphDialogNineTests(benchmark::State& state)
{
    bench_app();
    const std::string file = nine_tests();
    for (auto _ : state) {
        graph_model model;
        model.load(KEYS);
        graph_dialog dialog(nullptr, std::move(model));
        benchmark::DoNotOptimize(dialog.model().count);
    }
    state.counters["peak_MB"] = peak_mb();
    db_close();
    std::filesystem::remove(file);
}
BENCHMARK(BM_OpenGraphDialogNineTests)->Unit(benchmark::kMillisecond);

void BM_RepaintWithLegendMarkersCursors(benchmark::State& state)
{
    bench_app();
    const std::string file = nine_tests();
    graph_model model;
    model.load(KEYS);
    db_close();
    model.find_margins();
    model.gain_cursor = 1500;
    model.phase_cursor = 1500;
    for (auto _ : state) {
        const QImage image = graph_render(model, QSize(1024, 625), false);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["peak_MB"] = peak_mb();
    std::filesystem::remove(file);
}
BENCHMARK(BM_RepaintWithLegendMarkersCursors)->Unit(benchmark::kMillisecond);

// The Nyquist plot or the Nichols chart of the same nine tests, with their
// margin markers and the legend.
void repaint_view(benchmark::State& state, graph_view view)
{
    bench_app();
    const std::string file = nine_tests();
    graph_model model;
    model.load(KEYS);
    db_close();
    model.find_margins();
    for (PlotStyle& s : model.styles)
        s.gain_markers = s.phase_markers = true;
    model.view = view;
    for (auto _ : state) {
        const QImage image = graph_render(model, QSize(1024, 625), false);
        benchmark::DoNotOptimize(image.constBits());
    }
    std::filesystem::remove(file);
}
void BM_RepaintNyquistView(benchmark::State& state)
{
    repaint_view(state, graph_view::nyquist);
}
BENCHMARK(BM_RepaintNyquistView)->Unit(benchmark::kMillisecond);

void BM_RepaintNicholsView(benchmark::State& state)
{
    repaint_view(state, graph_view::nichols);
}
BENCHMARK(BM_RepaintNicholsView)->Unit(benchmark::kMillisecond);

} // namespace
