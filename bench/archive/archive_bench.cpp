// The lab archive against a private cluster this program starts: pushing
// 100 tests of 3000 points, searching among 100 000 archived tests, and
// pulling 9 tests into a test file.

#include "archive/archive_pull.h"
#include "archive/archive_push.h"
#include "archive/archive_search.h"
#include "db/db_connection.h"
#include "tests/support/archive_cluster.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <filesystem>

namespace {

constexpr int POINTS = 3000;

s_test sweep(const std::string& name, double seed)
{
    s_test t;
    t.Name = name;
    t.Winding = "H1-H2";
    for (int i = 0; i < POINTS; ++i) {
        const double f = 20.0 * std::pow(1.0025, i);
        const s_test_point p{f, -20.0 * std::log10(1 + f / (1000 * seed)), std::sin(f) / 3};
        test_add_point(t, &p);
    }
    return t;
}

std::vector<archive_local_session> bench_sessions(int tests)
{
    archive_local_session s;
    s.session.Name = "C-1";
    s.session.Unit = "T1";
    s.session.year = 2026, s.session.month = 12, s.session.day = 9;
    for (int i = 0; i < tests; ++i)
        s.tests.push_back(sweep("run " + std::to_string(i), 1 + i));
    return {s};
}

// A fresh archive database; "" (and the benchmark skipped) when none.
std::string fresh(benchmark::State& state)
{
    archive_cluster& cluster = archive_cluster::shared();
    const std::string url = cluster.running() ? cluster.fresh_database() : std::string();
    if (url.empty())
        state.SkipWithError(("no archive cluster: " + cluster.failure()).c_str());
    return url;
}

// Opens a fresh archive database for writing; false (and the benchmark
// skipped with why) when there is none or it cannot be opened.
bool open_fresh(benchmark::State& state, archive_connection& archive)
{
    const std::string url = fresh(state);
    if (url.empty())
        return false;
    const archive_outcome o = archive.open(url, "", archive_use::write);
    if (!o.ok())
        state.SkipWithError(o.message.c_str());
    return o.ok();
}

// A whole session of tests pushed into a fresh archive.
void push_session(benchmark::State& state, int tests)
{
    const std::vector<archive_local_session> sessions = bench_sessions(tests);
    for (auto _ : state) {
        state.PauseTiming();
        archive_connection archive;
        if (!open_fresh(state, archive))
            break;
        std::vector<archive_pushed> pushed;
        state.ResumeTiming();
        if (!archive_push(archive, sessions, pushed).ok())
            state.SkipWithError("push failed");
    }
}

void BM_ArchivePush100x3000(benchmark::State& state)
{
    push_session(state, 100);
}
BENCHMARK(BM_ArchivePush100x3000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ArchiveSearch100000Tests(benchmark::State& state)
{
    archive_connection archive;
    if (!open_fresh(state, archive))
        return;
    // 1000 sessions of 100 tests each, made in the server.
    archive_cluster& cluster = archive_cluster::shared();
    const std::string db = PQdb(archive.handle());
    const bool made =
        cluster.admin(
            "INSERT INTO archive_session (identity, contract, unit, session_date, location, "
            "performed_by, comments) SELECT sha256(int4send(i)), 'C-' || i, 'T' || (i % 50), "
            "date '2020-01-01' + i, 'Site ' || (i % 20), 'bench', '' "
            "FROM generate_series(1, 1000) i",
            db) &&
        cluster.admin(
            "INSERT INTO archive_test (identity, session_id, name, winding, description, "
            "test_date, point_count) SELECT sha256(int8send(i)), 1 + (i % 1000), "
            "'run ' || (i / 1000), 'H' || (i % 7), '', date '2020-01-01' + (i % 1000), 3000 "
            "FROM generate_series(1, 100000) i; ANALYZE",
            db);
    if (!made) {
        state.SkipWithError(cluster.last_error().c_str());
        return;
    }
    archive_filter filter;
    filter.contract = "C-500";
    filter.winding = "H3";
    for (auto _ : state) {
        std::vector<archive_found> found;
        if (!archive_search(archive, filter, found).ok() || found.empty())
            state.SkipWithError("search failed");
    }
}
BENCHMARK(BM_ArchiveSearch100000Tests)->Unit(benchmark::kMillisecond)->UseRealTime();

// Nine pushed tests and the archive connection they are pulled over.
struct pull_setup {
    archive_connection archive;
    std::vector<int64_t> ids;

    bool make(benchmark::State& state)
    {
        std::vector<archive_pushed> pushed;
        if (!open_fresh(state, archive))
            return false;
        if (!archive_push(archive, bench_sessions(9), pushed).ok()) {
            state.SkipWithError("push failed");
            return false;
        }
        for (const archive_pushed& p : pushed)
            ids.push_back(p.archive_id);
        return true;
    }
};

// The archive's side of a pull: 9 tests of 3000 points read into records.
void BM_ArchivePull9Tests(benchmark::State& state)
{
    pull_setup setup;
    if (!setup.make(state))
        return;
    for (auto _ : state) {
        std::vector<archive_fetched> fetched;
        if (!archive_fetch(setup.archive, setup.ids, fetched).ok())
            state.SkipWithError("fetch failed");
    }
}
BENCHMARK(BM_ArchivePull9Tests)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole pull: read from the archive and stored in a new test file.
void BM_ArchivePull9TestsIntoAFile(benchmark::State& state)
{
    pull_setup setup;
    if (!setup.make(state))
        return;
    char pattern[] = "/tmp/tarvelo-bench-XXXXXX";
    if (!::mkdtemp(pattern)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string dir = pattern;
    int round = 0;
    for (auto _ : state) {
        std::vector<archive_fetched> fetched;
        std::vector<archive_pulled> pulled;
        bool is_new = false;
        if (!archive_fetch(setup.archive, setup.ids, fetched).ok() ||
            !db_open(dir + "/pull" + std::to_string(++round) + ".db", DB_OPEN_OR_CREATE, &is_new) ||
            !archive_store_local(fetched, pulled).ok())
            state.SkipWithError("pull failed");
        db_close();
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ArchivePull9TestsIntoAFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ArchivePush1000x3000(benchmark::State& state)
{
    push_session(state, 1000);
}
BENCHMARK(BM_ArchivePush1000x3000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The same session pulled whole into a new test file: what one pulled
// test costs must not grow with the tests its session holds already.
void pull_session(benchmark::State& state, int tests)
{
    archive_connection archive;
    std::vector<archive_pushed> pushed;
    if (!open_fresh(state, archive))
        return;
    if (!archive_push(archive, bench_sessions(tests), pushed).ok()) {
        state.SkipWithError("push failed");
        return;
    }
    std::vector<int64_t> ids;
    for (const archive_pushed& p : pushed)
        ids.push_back(p.archive_id);
    char pattern[] = "/tmp/tarvelo-bench-XXXXXX";
    if (!::mkdtemp(pattern)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string dir = pattern;
    for (auto _ : state) {
        std::vector<archive_fetched> fetched;
        std::vector<archive_pulled> pulled;
        bool is_new = false;
        if (!archive_fetch(archive, ids, fetched).ok() ||
            !db_open(dir + "/pull.db", DB_OPEN_OR_CREATE, &is_new) ||
            !archive_store_local(fetched, pulled).ok())
            state.SkipWithError("pull failed");
        db_close();
    }
    std::filesystem::remove_all(dir);
}

void BM_ArchivePull1000x3000(benchmark::State& state)
{
    pull_session(state, 1000);
}
BENCHMARK(BM_ArchivePull1000x3000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace
