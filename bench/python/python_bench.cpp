// The C++ side of handing results to Python: a 3000-point sweep's columns
// copied out of its points, and a 3000-point stored test read from the
// database into columns, as the module does before numpy wraps the blocks.

#include "db/db_access.h"
#include "db/db_connection.h"
#include "fra/fra_result.h"
#include "python/py_columns.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

constexpr int SWEEP_POINTS = 3000;

void BM_FraSweepColumnsForPython(benchmark::State& state)
{
    auto results = std::make_unique<FraResults>();
    results->count = SWEEP_POINTS;
    for (int i = 0; i < SWEEP_POINTS; ++i)
        for (int v = 0; v < FRA_VALUES_USUAL; ++v)
            results->points[static_cast<size_t>(i)].v[v] = i * 0.5 + v;
    for (auto _ : state) {
        std::vector<std::unique_ptr<double[]>> columns;
        for (int v = 0; v < FRA_VALUES_USUAL; ++v) {
            columns.emplace_back(new double[SWEEP_POINTS]);
            tarvelo_py::copy_column(results->points, SWEEP_POINTS, v, columns.back().get());
        }
        benchmark::DoNotOptimize(columns.data());
    }
}
BENCHMARK(BM_FraSweepColumnsForPython)->Unit(benchmark::kMillisecond);

void BM_StoredTestColumnsForPython(benchmark::State& state)
{
    char pattern[] = "/tmp/tarvelo-bench-XXXXXX";
    const std::string dir = ::mkdtemp(pattern);
    const std::string path = dir + "/bench.db";
    bool is_new = false;
    db_open(path, DB_OPEN_OR_CREATE, &is_new);
    s_session session;
    session.Name = "bench";
    db_save_session(session, false);
    s_test test;
    test.SessionNo = session.SessionNo;
    test.Name = "sweep";
    test.Winding = "HV";
    for (int i = 0; i < SWEEP_POINTS; ++i) {
        const s_test_point point{10.0 * (i + 1), -0.01 * i, -90.0 + 0.03 * i};
        test_add_point(test, &point);
    }
    if (!db_store_test(test))
        state.SkipWithError("the test could not be stored");
    db_close();
    // Each read opens the file and closes it again, as the module does.
    for (auto _ : state) {
        db_open(path, DB_OPEN_EXISTING);
        s_test read;
        db_load_test(read, test.TestNo);
        db_close();
        const int n = read.points.count();
        std::unique_ptr<double[]> f(new double[n]), a(new double[n]), p(new double[n]);
        tarvelo_py::copy_member(read.points, n, &s_test_point::Frequency, f.get());
        tarvelo_py::copy_member(read.points, n, &s_test_point::Amplitude, a.get());
        tarvelo_py::copy_member(read.points, n, &s_test_point::Phase, p.get());
        benchmark::DoNotOptimize(p.get());
        if (n != SWEEP_POINTS)
            state.SkipWithError("the stored test lost points");
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StoredTestColumnsForPython)->Unit(benchmark::kMillisecond);

} // namespace
