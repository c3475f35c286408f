// The application's share of a 3000-point sweep: the reply lines read from
// the connection and parsed, the points tabled, the sweep file written and
// the test stored in the database. The reply is already waiting on the
// socket, so no wire time is counted.

#include "base/ui_seam.h"
#include "bench/support/bench_folder.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "fra/sweep_complete.h"
#include "link/link.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

std::string sweep_reply(int points)
{
    std::string reply;
    char line[200];
    for (int i = 0; i < points; ++i) {
        const double f = 10.0 * std::pow(10.0, 4.0 * i / (points - 1));
        std::snprintf(line, sizeof line, "%.5E,%.5E,%.5E,%.5E,%.5E,%.5E\r\n", f, 0.70711, 0.5,
                      -3.0103 - i * 0.01, -45.0 - i * 0.03, 1.25e-4);
        reply += line;
    }
    return reply;
}

void BM_SweepReplyToStore3000(benchmark::State& state)
{
    scripted_ui ui;
    ui_set_backend(&ui);
    bench_folder folder("tarvelo-fra-bench");
    bool is_new = false;
    db_open(folder.path + "/bench.db", DB_OPEN_OR_CREATE, &is_new);
    const std::string reply = sweep_reply(MAX_SWEEP_POINTS);
    FraSweepContext ctx;
    FraResults results;
    for (auto _ : state) {
        state.PauseTiming();
        int fds[2];
        ::socketpair(AF_UNIX, SOCK_STREAM, 0, fds);
        std::thread writer([&] {
            for (size_t at = 0; at < reply.size();) {
                const ssize_t n = ::write(fds[1], reply.data() + at, reply.size() - at);
                if (n <= 0)
                    break;
                at += static_cast<size_t>(n);
            }
        });
        s_link link;
        link.interface = LINK_LAN;
        link.socket = fds[0];
        link.is_open = true;
        s_test test;
        test.SessionNo = 1;
        test.Name = "bench";
        test.Winding = "W";
        state.ResumeTiming();

        ctx.sweep.count = MAX_SWEEP_POINTS;
        for (int i = 0; i < MAX_SWEEP_POINTS; ++i) {
            double v[FRA_VALUES_MAX] = {};
            if (link_read_values(link, v, FRA_VALUES_USUAL) != FRA_VALUES_USUAL)
                state.SkipWithError("short reply");
            std::copy(v, v + FRA_VALUES_MAX, ctx.sweep.points[static_cast<size_t>(i)].v);
        }
        const s_sweep_outcome out = fra_complete_sweep(ctx, results, {folder.path, 1, &test, 0});
        benchmark::DoNotOptimize(out.rows.data());
        if (!out.stored || !out.file_written)
            state.SkipWithError("not stored");

        state.PauseTiming();
        writer.join();
        ::close(fds[0]);
        ::close(fds[1]);
        state.ResumeTiming();
    }
    db_close();
    ui_set_backend(nullptr);
}
BENCHMARK(BM_SweepReplyToStore3000)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
