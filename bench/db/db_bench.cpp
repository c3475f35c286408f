// Storing and reading tests, listing sessions, and reading a sweep file for
// import, on a real database file in a temporary folder.

#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/sweep_file.h"
#include "db/sweep_import.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int SWEEP_POINTS = 3000;

class temp_database {
public:
    temp_database()
    {
        char pattern[] = "/tmp/tarvelo-bench-XXXXXX";
        dir_ = ::mkdtemp(pattern);
        bool is_new = false;
        db_open(dir_ + "/bench.db", DB_OPEN_OR_CREATE, &is_new);
        s_session session;
        session.Name = "bench";
        db_save_session(session, false);
    }
    ~temp_database()
    {
        db_close();
        std::filesystem::remove_all(dir_);
    }
    const std::string& dir() const { return dir_; }

private:
    std::string dir_;
};

s_test sweep_test()
{
    s_test test;
    test.SessionNo = 1;
    test.Name = "sweep";
    test.Winding = "HV";
    for (int i = 0; i < SWEEP_POINTS; ++i) {
        const s_test_point point{10.0 * (i + 1), -0.01 * i, -90.0 + 0.03 * i};
        test_add_point(test, &point);
    }
    return test;
}

void BM_StoreTest3000Points(benchmark::State& state)
{
    temp_database db;
    s_test test = sweep_test();
    for (auto _ : state)
        benchmark::DoNotOptimize(db_store_test(test));
}
BENCHMARK(BM_StoreTest3000Points)->Unit(benchmark::kMillisecond);

void BM_ReadTest3000Points(benchmark::State& state)
{
    temp_database db;
    s_test stored = sweep_test();
    db_store_test(stored);
    s_test back;
    for (auto _ : state) {
        db_get_test(back, stored.TestNo, true);
        benchmark::DoNotOptimize(back.points.count());
    }
}
BENCHMARK(BM_ReadTest3000Points)->Unit(benchmark::kMillisecond);

struct counting_sink : db_row_sink {
    size_t rows = 0;
    void add_row(const std::string& text, int64_t) override { rows += !text.empty(); }
};

void BM_List10000Sessions(benchmark::State& state)
{
    temp_database db;
    db_begin();
    for (int i = 0; i < 10000; ++i) {
        s_session session;
        session.Name = "Contract " + std::to_string(i * 7919 % 10000);
        session.Unit = "Unit";
        session.year = 2020 + i % 7;
        session.month = 1 + i % 12;
        session.day = 1 + i % 28;
        session.Location = "Substation";
        db_save_session(session, false);
    }
    db_commit();
    for (auto _ : state) {
        counting_sink sink;
        db_list_sessions(sink, 0, true);
        benchmark::DoNotOptimize(sink.rows);
    }
}
BENCHMARK(BM_List10000Sessions)->Unit(benchmark::kMillisecond);

void BM_ReadSweepFileForImport(benchmark::State& state)
{
    temp_database db;
    const std::string file = sweep_file_path(db.dir(), 1);
    sweep_file_writer writer;
    writer.open(file, 0);
    for (int i = 0; i < SWEEP_POINTS; ++i) {
        const double values[] = {10.0 * (i + 1), 1.0, 0.5, -6.0, -45.0, 1e-4};
        writer.write_row(sweep_file_row(i + 1, values));
    }
    writer.close();
    std::vector<s_test_point> points;
    for (auto _ : state) {
        sweep_import_read(file, points);
        benchmark::DoNotOptimize(points.size());
    }
}
BENCHMARK(BM_ReadSweepFileForImport)->Unit(benchmark::kMillisecond);

} // namespace
