// How fast the simulator produces a full 3000-point sweep download, so that
// it never stands in for the instrument's wire time in the application's
// own measurements.
#include "sim/instrument.h"
#include "sim/packed.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

void download(benchmark::State& state, sim::sim_model model, const char* format_command,
              const char* query, const char* fra_dut = nullptr)
{
    sim::instrument_setup setup;
    setup.model = model;
    std::string error;
    if (fra_dut) {
        setup.fra = *sim::parse_fra_dut(fra_dut, error);
    }
    sim::sim_instrument instrument(setup);
    instrument.execute("config,18,3000");
    instrument.execute(format_command);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const auto reply = instrument.execute(query);
        for (const auto& row : reply.rows) {
            const std::string line = sim::format_values(row, reply.packed);
            bytes += line.size() + 2;
            benchmark::DoNotOptimize(line.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}

void BM_FraSweepText(benchmark::State& state)
{
    download(state, sim::sim_model::hxm4100, "config,38,0", "gainph,sweep?");
}
void BM_FraSweepPacked(benchmark::State& state)
{
    download(state, sim::sim_model::hxm4100, "config,38,2", "gainph,sweep?");
}
// A transformer winding of 16 coupled sections, solved at every point.
void BM_FraSweepLadder(benchmark::State& state)
{
    download(state, sim::sim_model::hxm4100, "config,38,0", "gainph,sweep?",
             "ladder=16;L=0.4m;k=0.7;R=20;Cs=100p;Cg=200p;Lm=2;Cm=2.5n;Rc=40k;Ce=20p");
}
void BM_LcrSweepThirteenValues(benchmark::State& state)
{
    download(state, sim::sim_model::hxm6300, "config,198,0", "LCR,SWEEP?");
}

BENCHMARK(BM_FraSweepText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FraSweepPacked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FraSweepLadder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LcrSweepThirteenValues)->Unit(benchmark::kMillisecond);

} // namespace
