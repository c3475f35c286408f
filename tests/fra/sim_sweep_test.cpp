// Sweeps against the simulated instrument, in-process on a loopback port.

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/ui_seam.h"
#include "config/config_current.h"
#include "config/config_protocol.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "fra/margins.h"
#include "fra/sweep_complete.h"
#include "fra/sweep_worker.h"
#include "link/identify.h"
#include "link/link.h"
#include "sim/server.h"
#include "sweep/sweep_core.h"
#include "tests/support/sim_link_fixture.h"

#include <cmath>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <numbers>
#include <thread>

namespace {

class sweep_notice : public command_target {
public:
    void on_command(int id, intptr_t) override { completed += id == CMD_FRA_SWEEP_COMPLETE; }
    int completed = 0;
};

class SimSweep : public sim_link_fixture {
protected:
    void start(sim::sim_model model, const std::vector<const char*>& faults = {},
               double time_scale = 0)
    {
        sim::sim_options options = loopback_options(model);
        options.log_path.clear();
        options.instrument.time_scale = time_scale;
        std::string error;
        for (const char* f : faults)
            ASSERT_TRUE(sim::add_fault(options.faults, f, error)) << error;
        start_sim(options);
        ctx.link = &link;
        ctx.config = &config_current();
        ctx.notify = &notice;
    }
    void TearDown() override
    {
        db_close();
        sim_link_fixture::TearDown();
    }
    // Runs a sweep and cancels it from another thread once the worker has
    // posted `posts` commands to its dialog (2: polling; 4: downloading).
    bool sweep_cancelled_after(size_t posts)
    {
        ctx.dialog = &dialog;
        std::thread canceller([this, posts] {
            while (dispatcher.pending() < posts)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            fra_sweep_cancel(ctx);
        });
        const bool completed = sweep();
        canceller.join();
        return completed;
    }
    bool sweep()
    {
        const int before = notice.completed;
        ctx.cancel = 0;
        ctx.incomplete = 0;
        fra_sweep_worker(ctx);
        dispatcher.run_pending();
        return notice.completed == before + 1;
    }
    sweep_notice notice;
    sweep_notice dialog;
    FraSweepContext ctx;
    FraResults results;
};

// Where the default loop's gain is 1 (or its phase 0), by bisection on a
// logarithmic frequency scale.
double solve(const sim::fra_dut& dut, double lo, double hi, bool phase)
{
    const auto q = [&](double f) {
        const std::complex<double> h = dut.response(f);
        return phase ? std::arg(h) : std::log(std::abs(h));
    };
    for (int i = 0; i < 200; ++i) {
        const double mid = std::sqrt(lo * hi);
        ((q(lo) > 0) == (q(mid) > 0) ? lo : hi) = mid;
    }
    return std::sqrt(lo * hi);
}

} // namespace

TEST_F(SimSweep, TwoChannelModelSweepFileAndTable)
{
    start(sim::sim_model::hxm4100);
    ASSERT_TRUE(sweep());
    ASSERT_EQ(ctx.sweep.count, 100);
    EXPECT_NEAR(ctx.sweep.points[0].frequency(), 10, 1e-6);
    EXPECT_NEAR(ctx.sweep.points[99].frequency(), 100000, 1e-3);
    const std::time_t when = 1733650200; // 08-12-2024 09:30 UTC
    const s_sweep_outcome out = fra_complete_sweep(ctx, results, {dir, 1, nullptr, when});
    ASSERT_EQ(out.rows.size(), 100u);
    std::string expected = "08-12-2024 - 09:30";
    for (const std::string& row : out.rows)
        expected += "\r\n" + row;
    EXPECT_EQ(read("sweep1.dat"), expected);
    EXPECT_EQ(out.rows[0].substr(0, 10), "1\t10.0000\t");
}

TEST_F(SimSweep, ThreeChannelModelWithItsThirdInput)
{
    start(sim::sim_model::hxm6300);
    set_param(84, 1);
    ASSERT_TRUE(sweep());
    EXPECT_NE(ctx.sweep.points[50].v[7], 0); // gain 2
    set_param(84, 0);
    ASSERT_TRUE(sweep());
    EXPECT_EQ(ctx.sweep.points[50].v[7], 0);
}

TEST_F(SimSweep, PackedRepliesGiveTheSamePoints)
{
    start(sim::sim_model::hxm4100);
    ASSERT_TRUE(sweep());
    const FraResults text = ctx.sweep;
    set_param(38, 2);
    ASSERT_TRUE(sweep());
    for (int i : {0, 37, 99}) {
        const auto& a = text.points[static_cast<size_t>(i)];
        const auto& b = ctx.sweep.points[static_cast<size_t>(i)];
        EXPECT_NEAR(b.frequency(), a.frequency(), a.frequency() * 1e-5);
        EXPECT_NEAR(b.gain(), a.gain(), 1e-3 + std::fabs(a.gain()) * 1e-5);
        EXPECT_NEAR(b.phase(), a.phase(), 1e-3 + std::fabs(a.phase()) * 1e-5);
    }
}

TEST_F(SimSweep, MarginsOfTheDefaultLoopMatchTheTransferFunction)
{
    start(sim::sim_model::hxm4100);
    set_param(18, 400);
    ASSERT_TRUE(sweep());
    const sim::fra_dut dut = sim::default_fra_dut();
    const auto& pts = ctx.sweep.points;

    LList<s_gain_phase_point> db = margin_search(pts.data(), ctx.sweep.count, margin_kind::zero_db);
    ASSERT_EQ(db.size(), 1);
    const s_gain_phase_point c = *db.next();
    const size_t j = static_cast<size_t>(c.index);
    const double f0 = solve(dut, 10, 100000, false);
    EXPECT_GE(f0, pts[j].frequency());
    EXPECT_LE(f0, pts[j + 1].frequency());
    EXPECT_NEAR(c.frequency, f0, pts[j + 1].frequency() - pts[j].frequency());
    const double phase_margin = std::arg(dut.response(f0)) * 180 / std::numbers::pi;
    EXPECT_NEAR(c.phase, phase_margin, std::fabs(pts[j + 1].phase() - pts[j].phase()));

    LList<s_gain_phase_point> ph =
        margin_search(pts.data(), ctx.sweep.count, margin_kind::zero_phase);
    ASSERT_EQ(ph.size(), 1);
    const s_gain_phase_point p = *ph.next();
    const size_t k = static_cast<size_t>(p.index);
    const double f180 = solve(dut, 10, 100000, true);
    EXPECT_NEAR(f180, 3162.3, 5);
    EXPECT_NEAR(p.frequency, f180, pts[k + 1].frequency() - pts[k].frequency());
    const double gain = 20 * std::log10(std::abs(dut.response(f180)));
    EXPECT_NEAR(p.gain, gain, std::fabs(pts[k + 1].gain() - pts[k].gain()));
}

TEST_F(SimSweep, StrayLineBeforeTheData)
{
    start(sim::sim_model::hxm4100, {"stray-line"});
    ASSERT_TRUE(sweep());
    EXPECT_NEAR(ctx.sweep.points[0].frequency(), 10, 1e-6);
}

TEST_F(SimSweep, ShortLineAndDroppedLinkKeepThePreviousResults)
{
    start(sim::sim_model::hxm4100, {"short-line=3"});
    EXPECT_FALSE(sweep());
    EXPECT_EQ(ctx.incomplete, 1);
    EXPECT_EQ(ctx.received, 2);
    EXPECT_EQ(results.count, 0); // nothing was handed to the window
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, sweep_incomplete_text(2, 100));

    server->stop();
    ui.clear();
    start(sim::sim_model::hxm4100, {"drop-after=5"});
    EXPECT_FALSE(sweep());
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, SWEEP_TEXT_CONNECTION_LOST);
}

TEST_F(SimSweep, StoresTheDatabaseTest)
{
    start(sim::sim_model::hxm4100);
    bool is_new = false;
    ASSERT_TRUE(db_open(dir + "/t.db", DB_OPEN_OR_CREATE, &is_new));
    s_session session;
    session.Name = "Loop";
    session.day = session.month = 1;
    session.year = 2025;
    ASSERT_EQ(db_save_session(session, false), 0);
    s_test test;
    test.SessionNo = session.SessionNo;
    test.Name = "Open loop";
    test.Winding = "W1";
    ASSERT_TRUE(sweep());
    const s_sweep_outcome out = fra_complete_sweep(ctx, results, {dir, 1, &test, 0});
    ASSERT_TRUE(out.stored);
    s_test back;
    ASSERT_EQ(db_get_test(back, test.TestNo, true), 0);
    ASSERT_EQ(back.points.count(), 100);
    EXPECT_DOUBLE_EQ(back.points[99].Frequency, results.points[99].frequency());
    EXPECT_DOUBLE_EQ(back.points[99].Amplitude, results.points[99].gain());
    EXPECT_DOUBLE_EQ(back.points[99].Phase, results.points[99].phase());
}

TEST_F(SimSweep, StepLimitsTwoAndThreeThousand)
{
    start(sim::sim_model::hxm4100);
    set_param(18, 2);
    ASSERT_TRUE(sweep());
    EXPECT_EQ(ctx.received, 2);
    set_param(18, 3000);
    ASSERT_TRUE(sweep());
    EXPECT_EQ(ctx.received, 3000);
    EXPECT_NEAR(ctx.sweep.points[2999].frequency(), 100000, 1e-3);
}

TEST_F(SimSweep, DatalogQuestionNoThenYes)
{
    start(sim::sim_model::hxm4100);
    set_param(58, 1);
    ui.push_answer(IDNO);
    EXPECT_FALSE(sweep());
    EXPECT_EQ(get_param(58), 1);
    ui.push_answer(IDYES);
    EXPECT_TRUE(sweep());
    EXPECT_EQ(get_param(58), 0);
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown()[1].caption, "Error: Datalog");
}

TEST_F(SimSweep, ModeSwitchBeforeTheSweep)
{
    start(sim::sim_model::hxm6300);
    set_param(1, 3);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_TRUE(sweep());
    EXPECT_GE(std::chrono::steady_clock::now() - t0,
              std::chrono::milliseconds(SWEEP_MODE_SWITCH_WAIT_MS));
    EXPECT_EQ(get_param(1), 1);
}

TEST_F(SimSweep, CancelWhileTheInstrumentSweeps)
{
    start(sim::sim_model::hxm4100, {}, 1); // a sweep takes its real time
    EXPECT_FALSE(sweep_cancelled_after(2));
    EXPECT_EQ(ctx.received, 0);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_FALSE(link.is_open);
}

TEST_F(SimSweep, CancelBeforeTheFirstPointArrives)
{
    start(sim::sim_model::hxm4100, {"late-reply=400"});
    EXPECT_FALSE(sweep_cancelled_after(4));
    EXPECT_EQ(ctx.received, 0);
    EXPECT_EQ(ctx.incomplete, 0);
    EXPECT_TRUE(ui.shown().empty());
}
