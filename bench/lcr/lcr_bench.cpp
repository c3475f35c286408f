// The application's share of the LCR and piezo paths: a 3000-point
// layout-5 reply read from the connection, parsed, tabled and written as
// sweep1.dat; the resonator analysis of 3000 points; the four-element
// resonator fitted to 3000 points; reading a 3000-line sweep file for the
// piezo window.

#include "bench/support/bench_folder.h"
#include "lcr/circuit_models.h"
#include "lcr/equivalent_circuit.h"
#include "lcr/lcr_complete.h"
#include "lcr/piezo_analysis.h"
#include "lcr/piezo_import.h"
#include "link/link.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

std::string layout5_reply(int points)
{
    std::string reply;
    char line[400];
    for (int i = 0; i < points; ++i) {
        const double f = 10.0 * std::pow(10.0, 4.0 * i / (points - 1));
        std::snprintf(line, sizeof line,
                      "%.5E,%.5E,%.5E,%.5E,%.5E,%.5E,%.5E,%.5E,%.5E,%.5E,%.5E,%.5E,%.5E\r\n", f,
                      12.5, 0.08, 1000.0 + i, -45.0, 1e-3, 2e-9, 50.0, 1e-3, 45.0, 2e-3, 1e-9,
                      2000.0);
        reply += line;
    }
    return reply;
}

// A resonator's |Z| around its two resonances, 3000 points.
std::unique_ptr<LcrResults> resonator()
{
    auto r = std::make_unique<LcrResults>();
    r->layout = 6;
    r->count = MAX_SWEEP_POINTS;
    for (int i = 0; i < MAX_SWEEP_POINTS; ++i) {
        const double f = 8000 + 3.0 * i;
        LcrPoint& p = r->points[static_cast<size_t>(i)];
        p.v[0] = f;
        p.v[3] = 200 + 1e5 * std::exp(-std::pow((f - 14238.8) / 300, 2)) +
                 5e4 * (1 - std::exp(-std::pow((f - 10060.8) / 400, 2)));
    }
    return r;
}

void BM_LcrReplyToFile3000(benchmark::State& state)
{
    bench_folder folder("tarvelo-lcr-bench");
    const std::string reply = layout5_reply(MAX_SWEEP_POINTS);
    auto ctx = std::make_unique<LcrSweepContext>();
    auto results = std::make_unique<LcrResults>();
    ctx->sweep.layout = 5;
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
        state.ResumeTiming();

        ctx->sweep.count = MAX_SWEEP_POINTS;
        for (int i = 0; i < MAX_SWEEP_POINTS; ++i)
            if (link_read_values(link, ctx->sweep.points[static_cast<size_t>(i)].v, 13) != 13)
                state.SkipWithError("short reply");
        const s_lcr_outcome out = lcr_complete_sweep(*ctx, *results, folder.path, 1, 0);
        benchmark::DoNotOptimize(out.rows.data());
        if (!out.file_written)
            state.SkipWithError("not written");

        state.PauseTiming();
        writer.join();
        ::close(fds[0]);
        ::close(fds[1]);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LcrReplyToFile3000)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_PiezoAnalysis3000(benchmark::State& state)
{
    const auto r = resonator();
    for (auto _ : state) {
        const s_piezo_analysis a = piezo_analyse(*r);
        if (!a.values)
            state.SkipWithError(a.refusal.c_str());
        benchmark::DoNotOptimize(a.values);
    }
}
BENCHMARK(BM_PiezoAnalysis3000)->Unit(benchmark::kMicrosecond);

// The simulator's resonator swept from 8 to 17 kHz with 0.2 % noise, fitted
// from the four-point analysis onwards.
void BM_ResonatorFit3000(benchmark::State& state)
{
    const double elements[] = {200, 0.1, 2.5e-9, 2.5e-9};
    std::mt19937_64 generator(7);
    std::uniform_real_distribution<double> noise(-0.002, 0.002);
    std::vector<impedance_sample> samples;
    for (int i = 0; i < MAX_SWEEP_POINTS; ++i) {
        const double hz = 8000 + 3.0 * i;
        const auto z =
            model_impedance(circuit_shape_of(circuit_model::resonator), elements, 2 * M_PI * hz);
        samples.push_back({hz, z * (1 + noise(generator))});
    }
    for (auto _ : state) {
        const circuit_fit fit = fit_circuit(samples, circuit_model::resonator);
        if (!fit.refusal.empty())
            state.SkipWithError(fit.refusal.c_str());
        benchmark::DoNotOptimize(fit.elements.data());
    }
}
BENCHMARK(BM_ResonatorFit3000)->Unit(benchmark::kMillisecond);

void BM_PiezoImport3000(benchmark::State& state)
{
    bench_folder folder("tarvelo-lcr-bench");
    const std::string path = folder.path + "/sweep.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "Frequency,Q,D,Z,P,L,C,R\nunits\n";
        for (int i = 0; i < MAX_SWEEP_POINTS; ++i)
            out << 8000 + 3 * i << ",1.5E+001,6.7E-002," << 200 + i
                << ",-4.5E+001,1.0E-003,2.5E-009,2.0E+002\n";
    }
    auto results = std::make_unique<LcrResults>();
    for (auto _ : state) {
        std::string message;
        const s_piezo_import got = piezo_import_file(path, *results, message);
        if (got.points != MAX_SWEEP_POINTS)
            state.SkipWithError("short import");
    }
}
BENCHMARK(BM_PiezoImport3000)->Unit(benchmark::kMillisecond);

} // namespace
