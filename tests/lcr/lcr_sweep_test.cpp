// The LCR and piezo sweeps against a scripted instrument: what goes out,
// in which order, and what every way of ending a sweep leaves behind.

#include "../fra/sweep_harness.h"
#include "lcr/lcr_realtime.h"
#include "lcr/lcr_sweep.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

class lcr_sweep_fixture : public sweep_fixture {
protected:
    void SetUp() override
    {
        sweep_fixture::SetUp();
        fra.params[1] = 3;
        fra.params[137] = 0;
        fra.sweep_lines = point_lines(5, 8);
        serve([](const std::string&) {});
        lcr.link = &link;
        lcr.config = ctx.config;
        lcr.dialog = &dialog;
        lcr.notify = &window;
    }
    // The scripted instrument answers "LCR,SWEEP?" with its sweep lines;
    // hook sees every command first.
    void serve(std::function<void(const std::string&)> hook)
    {
        peer.reset();
        peer = std::make_unique<sweep_peer>([this, hook](const std::string& c) {
            hook(c);
            return fra.answer(c == "LCR,SWEEP?" ? "gainph,sweep?" : c);
        });
        link_set_tcp_port(peer->port());
    }
    void run_lcr(bool piezo = false)
    {
        lcr.config = ctx.config;
        lcr.cancel = 0;
        lcr.incomplete = 0;
        piezo ? piezo_sweep_worker(lcr) : lcr_sweep_worker(lcr);
        dispatcher.run_pending();
    }
    bool lcr_completed() const { return window.count(CMD_LCR_SWEEP_COMPLETE) == 1; }

    LcrSweepContext lcr;
};

} // namespace

TEST_F(lcr_sweep_fixture, SwitchesToLcrModeWaitsAndStartsThreeTimes)
{
    fra.params[1] = 1;
    const auto t0 = std::chrono::steady_clock::now();
    run_lcr();
    EXPECT_GE(std::chrono::steady_clock::now() - t0,
              std::chrono::milliseconds(SWEEP_MODE_SWITCH_WAIT_MS));
    ASSERT_TRUE(lcr_completed());
    EXPECT_EQ(fra.params[1], 3);
    EXPECT_EQ(lcr.sweep.layout, 2);
    EXPECT_DOUBLE_EQ(lcr.sweep.points[4].v[7], 7.4);
    EXPECT_EQ(lcr.sweep.points[4].v[8], 0);
    const auto c = peer->commands();
    const auto set = std::find(c.begin(), c.end(), "config,1,3");
    const auto first_start = std::find(c.begin(), c.end(), "start");
    ASSERT_NE(set, c.end());
    EXPECT_LT(set, first_start);
    EXPECT_EQ(std::vector<std::string>(first_start, c.end()),
              (std::vector<std::string>{"start", "start", "start", "DAV?", "LCR,SWEEP?"}));
}

TEST_F(lcr_sweep_fixture, StepLimitsDecideWhetherAnythingStarts)
{
    struct row {
        int steps;
        bool starts;
    };
    for (const row r : {row{1, false}, row{2, true}, row{3000, true}, row{3001, false}}) {
        window.ids.clear();
        fra.params[18] = r.steps;
        fra.sweep_lines = point_lines(r.starts ? r.steps : 0, 8);
        serve([](const std::string&) {});
        run_lcr();
        EXPECT_EQ(peer->count("start"), r.starts ? 3 : 0) << r.steps;
        EXPECT_EQ(lcr_completed(), r.starts) << r.steps;
    }
}

TEST_F(lcr_sweep_fixture, ThreeChannelModelLayoutsFromItsParameter)
{
    fra.params[137] = 4; // ignored by the two-channel model
    run_lcr();
    ASSERT_TRUE(lcr_completed());
    EXPECT_EQ(lcr.sweep.layout, 2);
    set_model(9);
    struct row {
        int param, layout, values;
    };
    for (const row r : {row{0, 5, 13}, row{2, 5, 13}, row{3, 6, 5}, row{4, 7, 5}}) {
        window.ids.clear();
        fra.params[137] = r.param;
        fra.sweep_lines = point_lines(5, r.values);
        run_lcr();
        ASSERT_TRUE(lcr_completed()) << r.param;
        EXPECT_EQ(lcr.sweep.layout, r.layout);
        EXPECT_NE(lcr.sweep.points[2].v[r.values - 1], 0);
    }
}

TEST_F(lcr_sweep_fixture, BadLinesAndCancels)
{
    fra.sweep_lines = point_lines(2, 8);
    fra.sweep_lines.push_back({"300,1,2\r\n"});
    run_lcr();
    EXPECT_FALSE(lcr_completed());
    EXPECT_EQ(lcr.incomplete, 1);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, sweep_incomplete_text(2, 5));

    fra.dav = {"0"};
    std::thread canceller([this] {
        while (peer->count("DAV?") < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        lcr_sweep_cancel(lcr);
    });
    run_lcr();
    canceller.join();
    EXPECT_FALSE(lcr_completed());
    EXPECT_EQ(peer->count("LCR,SWEEP?"), 1);
    EXPECT_EQ(dialog.texts.back(), "Cancelling sweep");
    EXPECT_FALSE(link.is_open);
}

TEST_F(lcr_sweep_fixture, PiezoForcesImpedanceAndRestoresOnEveryPath)
{
    set_model(9);
    fra.params[137] = 1;
    fra.sweep_lines = point_lines(5, 5);
    int during = -1;
    serve([&](const std::string& c) {
        if (c == "LCR,SWEEP?" || c == "DAV?")
            during = fra.params[137];
    });
    run_lcr(true);
    EXPECT_TRUE(lcr_completed());
    EXPECT_EQ(during, 3);
    EXPECT_EQ(lcr.sweep.layout, 6);
    EXPECT_EQ(fra.params[137], 1);

    fra.params[58] = 1; // Datalog: the user declines
    ui.push_answer(IDNO);
    run_lcr(true);
    EXPECT_EQ(peer->count("start"), 3);
    EXPECT_EQ(fra.params[137], 1);

    fra.params[58] = 0;
    fra.dav = {"0"};
    std::thread canceller([this] {
        while (peer->count("DAV?") < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        lcr_sweep_cancel(lcr);
    });
    run_lcr(true);
    canceller.join();
    EXPECT_EQ(during, 3);
    EXPECT_EQ(fra.params[137], 1);
    EXPECT_EQ(window.count(CMD_LCR_SWEEP_COMPLETE), 1);
}

// Only bad realtime readings in a row end the thread by itself (the window
// is told); a good one starts the count again.
TEST_F(lcr_sweep_fixture, RealtimeGivesUpAfterARunOfBadReadings)
{
    std::string good = "1000";
    for (int i = 1; i < 11; ++i)
        good += ",1.5";
    good += "\r\n";
    const std::string bad = "1000,1,2\r\n";
    const struct {
        int good_at; // the request answered with a good reading, 0 none
        int requests, ready;
    } cases[] = {{0, REALTIME_BAD_LIMIT, 0}, {REALTIME_BAD_LIMIT, 2 * REALTIME_BAD_LIMIT, 1}};
    link_set_type(link, 7);
    for (const auto& c : cases) {
        int asked = 0;
        peer.reset();
        peer = std::make_unique<sweep_peer>([&](const std::string& cmd) -> peer_reply {
            if (cmd != "lcr?")
                return {};
            return {++asked == c.good_at ? good : bad};
        });
        link_set_tcp_port(peer->port());
        realtime_to_its_end([this](auto& running) { lcr_realtime_thread(lcr, running); },
                            lcr.request, CMD_LCR_REALTIME_READY);
        EXPECT_EQ(peer->count("lcr?"), c.requests) << c.good_at;
        EXPECT_EQ(window.count(CMD_LCR_REALTIME_READY), c.ready) << c.good_at;
        EXPECT_EQ(window.ids.back(), CMD_LCR_REALTIME_FAILED) << c.good_at;
        EXPECT_FALSE(link.is_open);
    }
}
