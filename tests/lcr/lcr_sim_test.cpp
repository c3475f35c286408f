// LCR, realtime and piezo sweeps against the simulated instrument,
// in-process on a loopback port.

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/ui_seam.h"
#include "config/config_current.h"
#include "config/config_protocol.h"
#include "db/sweep_file.h"
#include "lcr/equivalent_circuit.h"
#include "lcr/lcr_complete.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_realtime.h"
#include "lcr/lcr_sweep.h"
#include "lcr/piezo_analysis.h"
#include "link/identify.h"
#include "link/link.h"
#include "sim/server.h"
#include "sweep/sweep_series.h"
#include "tests/support/sim_link_fixture.h"

#include <chrono>
#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <thread>

namespace {

class sweep_notice : public command_target {
public:
    void on_command(int id, intptr_t) override
    {
        completed += id == CMD_LCR_SWEEP_COMPLETE;
        readings += id == CMD_LCR_REALTIME_READY;
    }
    int completed = 0;
    int readings = 0;
};

class SimLcr : public sim_link_fixture {
protected:
    void start(sim::sim_model model, const std::vector<std::string>& options = {})
    {
        sim::sim_options o = loopback_options(model);
        std::string error;
        for (const std::string& f : options) {
            if (f.rfind("fault:", 0) == 0)
                ASSERT_TRUE(sim::add_fault(o.faults, f.substr(6), error)) << error;
            else if (f.rfind("noise:", 0) == 0)
                o.instrument.lcr_noise = std::stod(f.substr(6));
            else if (f.rfind("values:", 0) == 0)
                o.instrument.lcr_reading_values = std::stoi(f.substr(7));
            else {
                auto dut = sim::parse_lcr_dut(f, error);
                ASSERT_TRUE(dut) << error;
                o.instrument.lcr = *dut;
            }
        }
        start_sim(o);
        ctx.link = &link;
        ctx.config = &config_current();
        ctx.notify = &notice;
    }
    // Linear frequency plan of the instrument.
    void plan(double from, double to, int steps)
    {
        set_param(192, 1);
        set_param(18, steps);
        ASSERT_EQ(link_open(link), 0);
        set_param_text(19, std::to_string(from), link);
        set_param_text(20, std::to_string(to), link);
        link_close(link);
    }
    bool sweep(bool piezo = false)
    {
        const int before = notice.completed;
        lcr_context_arm_sweep(*ctx_block);
        piezo ? piezo_sweep_worker(ctx) : lcr_sweep_worker(ctx);
        dispatcher.run_pending();
        return notice.completed == before + 1;
    }
    int count_in_log(const std::string& text) const
    {
        const std::string log = read("log.txt");
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n;
    }

    sweep_notice notice;
    std::unique_ptr<LcrSweepContext> ctx_block = std::make_unique<LcrSweepContext>();
    LcrSweepContext& ctx = *ctx_block;
};

} // namespace

TEST_F(SimLcr, LayoutFollowsTheModelAndItsParameter)
{
    start(sim::sim_model::hxm4100);
    set_param(137, 4);
    ASSERT_TRUE(sweep());
    EXPECT_EQ(ctx.sweep.layout, 2);
    EXPECT_EQ(ctx.sweep.count, 100);
    EXPECT_EQ(get_param(1), 3); // switched to LCR meter mode
    server->stop();

    start(sim::sim_model::hxm6300);
    struct row {
        int param, layout;
    };
    for (const row r : {row{0, 5}, row{1, 5}, row{2, 5}, row{3, 6}, row{4, 7}}) {
        set_param(137, r.param);
        ASSERT_TRUE(sweep()) << r.param;
        EXPECT_EQ(ctx.sweep.layout, r.layout);
        const int n = lcr_layout(r.layout).values;
        EXPECT_GT(std::fabs(ctx.sweep.points[40].v[n - 1]), 0) << r.param;
        if (n < LCR_VALUES_MAX) {
            EXPECT_EQ(ctx.sweep.points[40].v[n], 0);
        }
        EXPECT_EQ(lcr_table_row(1, ctx.sweep.points[0], r.layout).substr(0, 9), "1\t10.0000");
    }
    // Packed replies give the same points.
    set_param(137, 0);
    ASSERT_TRUE(sweep());
    const LcrPoint text = ctx.sweep.points[57];
    set_param(198, 2);
    ASSERT_TRUE(sweep());
    for (int i = 0; i < 13; ++i)
        EXPECT_NEAR(ctx.sweep.points[57].v[i], text.v[i], 1e-4 * std::fabs(text.v[i]) + 1e-12) << i;
}

TEST_F(SimLcr, SeriesOfThreeWritesEachFileAndArmsTheTimerTwice)
{
    start(sim::sim_model::hxm4100);
    s_sweep_series series;
    series.repeating = true;
    series.sweeps_total = 3;
    series.interval_ms = 60000;
    static int armed = 0;
    armed = 0;
    const s_timer_hooks hooks{
        [](double, command_target*, int, command_target*, bool) { return ++armed; },
        [](int) { return true; }};
    auto results = std::make_unique<LcrResults>();
    const std::time_t when = 1733650200;
    for (int k = 1; k <= 3; ++k) {
        sweep_series_before_sweep(series, nullptr, CMD_START_SWEEP, nullptr, hooks);
        EXPECT_EQ(armed, std::min(k, 2));
        ASSERT_TRUE(sweep());
        const s_lcr_outcome out =
            lcr_complete_sweep(ctx, *results, dir, series.sweeps_done + 1, when);
        std::string expected = "08-12-2024 - 09:30";
        for (const std::string& row : out.rows)
            expected += "\r\n" + row;
        EXPECT_EQ(read("sweep" + std::to_string(k) + ".dat"), expected);
        EXPECT_EQ(sweep_series_after_sweep(series, hooks), k == 3);
    }
    EXPECT_EQ(sweep_file_read_mode(dir), "LCR 2");
    EXPECT_EQ(results->layout, 2);
}

TEST_F(SimLcr, RealtimeReadingsOnBothModels)
{
    struct row {
        sim::sim_model model;
        int values, type;
    };
    for (const row r : {row{sim::sim_model::hxm4100, 11, 0}, row{sim::sim_model::hxm4100, 14, 1},
                        row{sim::sim_model::hxm6300, 11, 3}, row{sim::sim_model::hxm6300, 14, 4}}) {
        start(r.model, {"values:" + std::to_string(r.values), "fault:bad-reading=1"});
        notice.readings = 0;
        ctx.request = 1;
        std::atomic<int> running{1};
        std::thread reader([&] { lcr_realtime_thread(ctx, running); });
        while (dispatcher.pending() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        running = 0;
        reader.join();
        dispatcher.run_pending();
        EXPECT_EQ(notice.readings, 1);
        EXPECT_EQ(ctx.reading_type, r.type);
        EXPECT_EQ(count_in_log("lcr?"), 2) << r.values; // the 12-value reply was asked again
        double shown[LCR_READING_VALUES_MAX] = {};
        EXPECT_TRUE(lcr_realtime_accept(ctx, shown));
        EXPECT_FALSE(lcr_realtime_accept(ctx, shown));
        EXPECT_EQ(ctx.request, 1);
        EXPECT_GT(shown[3], 0);
        link_close(link);
        server->stop();
    }
}

TEST_F(SimLcr, PiezoRestoresTheQuantityAndFindsTheDefaultResonator)
{
    start(sim::sim_model::hxm6300);
    set_param(137, 1);
    plan(8000, 17000, 3000);
    ASSERT_TRUE(sweep(true));
    EXPECT_EQ(get_param(137), 1);
    EXPECT_EQ(ctx.sweep.layout, 6);
    const s_piezo_analysis a = piezo_analyse(ctx.sweep);
    ASSERT_TRUE(a.values) << a.refusal;
    const double step = 9000.0 / 2999;
    EXPECT_NEAR(a.values->fr, 10060.8, step);
    EXPECT_NEAR(a.values->fa, 14238.8, step);
    EXPECT_NEAR(a.values->r, 200, 200 * 0.005);
    EXPECT_NEAR(a.values->cp, 2.5e-9, 2.5e-9 * 0.005);
    EXPECT_NEAR(a.values->c, 2.5e-9, 2.5e-9 * 0.01);
    EXPECT_NEAR(a.values->l, 0.1, 0.1 * 0.01);
}

TEST_F(SimLcr, PiezoOfAHighQResonator)
{
    start(sim::sim_model::hxm4100, {"bvd:R=10,L=0.1,C=2.5n,Cp=25n"});
    plan(9900, 10700, 3000);
    ASSERT_TRUE(sweep(true));
    const s_piezo_analysis a = piezo_analyse(ctx.sweep);
    ASSERT_TRUE(a.values) << a.refusal;
    EXPECT_NEAR(a.values->r, 10, 10 * 0.005);
    EXPECT_NEAR(a.values->cp, 25e-9, 25e-9 * 0.005);
    EXPECT_NEAR(a.values->c, 2.5e-9, 2.5e-9 * 0.005);
    EXPECT_NEAR(a.values->l, 0.1, 0.1 * 0.005);
}

TEST_F(SimLcr, PiezoRefusesCurvesWithoutBothResonances)
{
    struct row {
        std::vector<std::string> options;
        const char* reason_part;
    };
    const row rows[] = {
        {{"parallel:R=1k,C=100n"}, "lowest impedance lies at an end"},
        {{"series:R=10,L=1m,C=100n"}, "highest impedance after the resonance"},
        {{"bvd:R=10,L=0.1,C=2.5n,Cp=25n"}, "lowest impedance lies at an end"},
        {{"series:R=100"}, "lowest impedance"},
        {{"series:R=100", "noise:0.01"}, "too flat"},
    };
    for (const row& r : rows) {
        start(sim::sim_model::hxm4100, r.options);
        ASSERT_TRUE(sweep(true));
        const s_piezo_analysis a = piezo_analyse(ctx.sweep);
        EXPECT_FALSE(a.values) << r.options[0];
        EXPECT_NE(a.refusal.find(r.reason_part), std::string::npos)
            << r.options[0] << ": " << a.refusal;
        link_close(link);
        server->stop();
    }
}

// Each model's device swept with noise in one of the layouts and fitted
// back: every element within 0.5 % and within three standard uncertainties
// of its value, the best model the device's own; the resonator's fit over
// the whole sweep at least as close as the four-point analysis.
TEST_F(SimLcr, EachModelFitsItsDeviceBack)
{
    struct row {
        const char* device;
        circuit_model model;
        std::vector<double> values; // in the model's element order
        sim::sim_model instrument;
        int quantity; // parameter 137: the reply's layout on the 6300
    };
    const auto hxm6300 = sim::sim_model::hxm6300;
    const row rows[] = {
        {"series:R=47,L=10m", circuit_model::rl_series, {47, 10e-3}, sim::sim_model::hxm4100, 0},
        {"parallel:R=1k,L=10m", circuit_model::rl_parallel, {1e3, 10e-3}, hxm6300, 3},
        {"series:R=10,C=1u", circuit_model::rc_series, {10, 1e-6}, hxm6300, 4},
        {"parallel:R=100k,C=2.5n", circuit_model::rc_parallel, {1e5, 2.5e-9}, hxm6300, 0},
        {"series:R=10,L=10m,C=100n", circuit_model::rlc_series, {10, 10e-3, 100e-9}, hxm6300, 3},
        {"parallel:R=10k,L=10m,C=100n",
         circuit_model::rlc_parallel,
         {1e4, 10e-3, 100e-9},
         hxm6300,
         4},
        {"bvd:R=200,L=0.1,C=2.5n,Cp=2.5n",
         circuit_model::resonator,
         {200, 0.1, 2.5e-9, 2.5e-9},
         sim::sim_model::hxm4100,
         0},
    };
    for (const row& r : rows) {
        start(r.instrument, {r.device, "noise:0.002"});
        set_param(137, r.quantity);
        ASSERT_TRUE(sweep()) << r.device;
        const auto samples = lcr_impedance(ctx.sweep);
        const circuit_fit fit = fit_circuit(samples, r.model);
        ASSERT_EQ(fit.refusal, "") << r.device;
        ASSERT_EQ(fit.elements.size(), r.values.size());
        double worst = 0;
        for (size_t i = 0; i < r.values.size(); ++i) {
            const fitted_element& e = fit.elements[i];
            const double error = std::fabs(e.value - r.values[i]);
            EXPECT_LT(error, 0.005 * r.values[i]) << r.device << " " << e.name;
            EXPECT_LT(error, 3 * e.uncertainty) << r.device << " " << e.name;
            worst = std::max(worst, error / r.values[i]);
        }
        EXPECT_LT(fit.residual, 0.005) << r.device;
        EXPECT_EQ(fit_best_circuit(samples).model, r.model) << r.device;
        if (r.model == circuit_model::resonator) {
            const s_piezo_analysis four = piezo_analyse(ctx.sweep);
            ASSERT_TRUE(four.values) << four.refusal;
            const double quick[] = {four.values->r, four.values->l, four.values->c,
                                    four.values->cp};
            double quick_worst = 0;
            for (size_t i = 0; i < 4; ++i)
                quick_worst = std::max(quick_worst, std::fabs(quick[i] / r.values[i] - 1));
            EXPECT_LE(worst, quick_worst);
            EXPECT_NEAR(*fit.fr, 10065.9, 10);
        }
        link_close(link);
        server->stop();
    }
}
