#include "fra/realtime.h"
#include "sweep_harness.h"
#include "tests/base/packed_encoder.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

std::string packed_line(const std::vector<double>& values)
{
    std::string s;
    for (double v : values) {
        const auto b = encode_packed(v);
        s.append(reinterpret_cast<const char*>(b.data()), b.size());
        s += ',';
    }
    s.back() = '\r';
    return s + "\n";
}

} // namespace

TEST_F(sweep_fixture, DownloadsEveryPointAndReports)
{
    run();
    ASSERT_TRUE(completed());
    EXPECT_EQ(ctx.sweep.count, 5);
    EXPECT_EQ(ctx.received, 5);
    EXPECT_DOUBLE_EQ(ctx.sweep.points[4].frequency(), 500.5);
    EXPECT_DOUBLE_EQ(ctx.sweep.points[4].gain(), 3.4);
    EXPECT_EQ(ctx.sweep.points[4].v[6], 0);
    EXPECT_EQ(peer->commands(),
              (std::vector<std::string>{"out,on", "config,18?", "config,6?", "config,58?",
                                        "config,1?", "start", "DAV?", "gainph,sweep?"}));
    EXPECT_EQ(dialog.ids.front(), CMD_PROGRESS_STARTED);
    EXPECT_EQ(dialog.ids.back(), CMD_PROGRESS_FINISHED);
    EXPECT_EQ(dialog.count(CMD_PROGRESS_STEP), 5);
    EXPECT_EQ(dialog.range, 5);
    EXPECT_EQ(dialog.texts,
              (std::vector<std::string>{"Waiting for sweep data...", "Downloading sweep data"}));
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(sweep_fixture, PollsUntilTheDataReadyBit)
{
    fra.dav = {"0", "1", "2", "3", "8", "12"};
    run();
    EXPECT_TRUE(completed());
    EXPECT_EQ(peer->count("DAV?"), 6);
}

TEST_F(sweep_fixture, StepLimits)
{
    for (int steps : {2, 3000}) {
        fra.params[18] = steps;
        fra.sweep_lines = point_lines(steps);
        window.ids.clear();
        run();
        EXPECT_TRUE(completed()) << steps;
        EXPECT_EQ(ctx.received, steps);
    }
    EXPECT_DOUBLE_EQ(ctx.sweep.points[2999].frequency(), 300000.5);
    for (int steps : {1, 3001}) {
        fra.params[18] = steps;
        window.ids.clear();
        dialog.texts.clear();
        const int starts = peer->count("start");
        run();
        EXPECT_FALSE(completed()) << steps;
        EXPECT_EQ(peer->count("start"), starts) << steps;
        EXPECT_EQ(dialog.texts, std::vector<std::string>{"Waiting for sweep data..."});
    }
}

TEST_F(sweep_fixture, ThreeChannelModelWantsTenValues)
{
    set_model(9);
    fra.params[84] = 1;
    fra.sweep_lines = point_lines(5, 10);
    fra.sweep_lines.push_back({point_line(5, 6)});
    // Ten-value lines are taken; the first six-value line ends the download.
    fra.params[18] = 6;
    run();
    EXPECT_FALSE(completed());
    EXPECT_EQ(ctx.received, 5);
    EXPECT_EQ(ctx.incomplete, 1);
    EXPECT_DOUBLE_EQ(ctx.sweep.points[0].v[9], 9.0);
    EXPECT_EQ(peer->count("config,84?"), 1);

    fra.params[84] = 0;
    fra.params[18] = 5;
    fra.sweep_lines = point_lines(5, 10); // more values than needed: the rest ignored
    run();
    EXPECT_TRUE(completed());
    EXPECT_EQ(ctx.sweep.points[0].v[6], 0);
}

TEST_F(sweep_fixture, PackedReplies)
{
    fra.sweep_lines.clear();
    for (int i = 0; i < 5; ++i)
        fra.sweep_lines.push_back({packed_line({1000.0 * (i + 1), 0.5, 0.25, -3.0, -45.0, 1e-6})});
    run();
    ASSERT_TRUE(completed());
    EXPECT_DOUBLE_EQ(ctx.sweep.points[3].frequency(), 4000);
    EXPECT_DOUBLE_EQ(ctx.sweep.points[3].gain(), -3);
    EXPECT_DOUBLE_EQ(ctx.sweep.points[3].phase(), -45);
    EXPECT_NEAR(ctx.sweep.points[3].v[5], 1e-6, 1e-11);
}

TEST_F(sweep_fixture, DatalogQuestion)
{
    fra.params[58] = 1;
    ui.push_answer(IDNO);
    run();
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].caption, "Error: Datalog");
    EXPECT_EQ(ui.shown()[0].style, static_cast<unsigned>(MB_YESNO));
    EXPECT_FALSE(completed());
    EXPECT_EQ(peer->count("start"), 0);
    EXPECT_EQ(fra.params[58], 1);
    EXPECT_EQ(dialog.ids.back(), CMD_PROGRESS_FINISHED);

    ui.push_answer(IDYES);
    run();
    EXPECT_TRUE(completed());
    EXPECT_EQ(peer->count("config,58,0"), 1);
    EXPECT_EQ(fra.params[58], 0);
}

TEST_F(sweep_fixture, SwitchesToFrequencyResponseModeAndWaits)
{
    fra.params[1] = 3;
    const auto t0 = std::chrono::steady_clock::now();
    run();
    const auto waited = std::chrono::steady_clock::now() - t0;
    EXPECT_TRUE(completed());
    EXPECT_EQ(fra.params[1], 1);
    EXPECT_GE(waited, std::chrono::milliseconds(SWEEP_MODE_SWITCH_WAIT_MS));
    const auto c = peer->commands();
    const auto set = std::find(c.begin(), c.end(), "config,1,1");
    ASSERT_NE(set, c.end());
    EXPECT_LT(set - c.begin(), std::find(c.begin(), c.end(), "start") - c.begin());
}

TEST_F(sweep_fixture, CancelWhilePolling)
{
    fra.dav = {"0"};
    std::thread canceller([this] {
        while (peer->count("DAV?") < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        fra_sweep_cancel(ctx);
    });
    fra_sweep_worker(ctx);
    canceller.join();
    dispatcher.run_pending();
    EXPECT_FALSE(completed());
    EXPECT_EQ(peer->count("gainph,sweep?"), 0);
    EXPECT_EQ(dialog.texts.back(), "Cancelling sweep");
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_FALSE(link.is_open);
}

TEST_F(sweep_fixture, CancelAnsweredByDataReadyAsksForNoData)
{
    // Cancel is pressed while the instrument answers the poll with "ready".
    peer.reset();
    peer = std::make_unique<sweep_peer>([this](const std::string& c) {
        if (c == "DAV?")
            fra_sweep_cancel(ctx);
        return fra.answer(c);
    });
    link_set_tcp_port(peer->port());
    fra_sweep_worker(ctx);
    dispatcher.run_pending();
    EXPECT_FALSE(completed());
    EXPECT_EQ(peer->count("gainph,sweep?"), 0);
    EXPECT_EQ(dialog.count(CMD_PROGRESS_RANGE), 0);
    EXPECT_FALSE(link.is_open);
}

TEST_F(sweep_fixture, CancelBeforeTheFirstPointStopsReading)
{
    fra.sweep_lines.clear(); // the instrument stays silent
    link_set_timeout(link, 300);
    std::thread canceller([this] {
        while (peer->count("gainph,sweep?") < 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        fra_sweep_cancel(ctx);
    });
    fra_sweep_worker(ctx);
    canceller.join();
    link_set_timeout(link, LINK_DEFAULT_TIMEOUT_MS);
    dispatcher.run_pending();
    EXPECT_FALSE(completed());
    EXPECT_EQ(ctx.received, 0);
    EXPECT_EQ(ctx.incomplete, 0);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_EQ(dialog.ids.back(), CMD_PROGRESS_FINISHED);
}

TEST_F(sweep_fixture, CancelDuringTheDownloadKeepsNothing)
{
    fra.sweep_lines = point_lines(2);
    fra.params[18] = 5;
    link_set_timeout(link, 300);
    std::thread canceller([this] {
        while (ctx.received < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        fra_sweep_cancel(ctx);
    });
    fra_sweep_worker(ctx);
    canceller.join();
    link_set_timeout(link, LINK_DEFAULT_TIMEOUT_MS);
    dispatcher.run_pending();
    EXPECT_FALSE(completed());
    EXPECT_EQ(ctx.incomplete, 1);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(sweep_fixture, StrayLineBeforeTheDataIsSkipped)
{
    fra.sweep_lines = [&] {
        auto v = point_lines(5);
        v.insert(v.begin(), {peer_reply{"\r\n"}, peer_reply{"1,2\r\n"}});
        return v;
    }();
    run();
    EXPECT_TRUE(completed());
    EXPECT_DOUBLE_EQ(ctx.sweep.points[0].frequency(), 100.5);
}

TEST_F(sweep_fixture, ShortLineAfterTheFirstPointIsIncomplete)
{
    fra.sweep_lines = point_lines(2);
    fra.sweep_lines.push_back({"300,1,2\r\n"});
    fra.sweep_lines.push_back({point_line(3)});
    run();
    EXPECT_FALSE(completed());
    EXPECT_EQ(ctx.incomplete, 1);
    EXPECT_EQ(ctx.received, 2);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, sweep_incomplete_text(2, 5));
}

TEST_F(sweep_fixture, DroppedConnectionIsReported)
{
    fra.sweep_lines = point_lines(2);
    fra.sweep_lines.back().hang_up = true;
    run();
    EXPECT_FALSE(completed());
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, SWEEP_TEXT_CONNECTION_LOST);
    EXPECT_EQ(ui.shown()[0].caption, "No Connection");
    EXPECT_EQ(dialog.ids.back(), CMD_PROGRESS_FINISHED);
}

// An instrument that falls silent ends the sweep within a few read
// time-outs with the lost-connection message; an empty reply is not
// silence and the poll goes on.
TEST_F(sweep_fixture, SilentInstrumentEndsTheSweep)
{
    link_set_timeout(link, 150);
    const struct {
        const char* name;
        std::string silent_on;
        std::vector<std::string> dav;
        int lines, received, davs;
        bool complete;
    } cases[] = {
        {"polling", "DAV?", {"4"}, 5, 0, SWEEP_POLL_SILENT_LIMIT, false},
        {"empty poll replies", "", {"", "", "", "4"}, 5, 5, 4, true},
        {"before the first point", "", {"4"}, 0, 0, 1, false},
        {"during the download", "", {"4"}, 3, 3, 1, false},
    };
    for (const auto& c : cases) {
        peer.reset();
        fra = scripted_fra{};
        fra.silent_on = c.silent_on;
        fra.dav = c.dav;
        fra.sweep_lines = point_lines(c.lines);
        peer = std::make_unique<sweep_peer>(
            [this](const std::string& cmd) { return fra.answer(cmd); });
        link_set_tcp_port(peer->port());
        ui.clear();
        window.ids.clear();
        run();
        EXPECT_EQ(completed(), c.complete) << c.name;
        EXPECT_EQ(ctx.received, c.received) << c.name;
        EXPECT_EQ(ctx.incomplete, c.received > 0 && !c.complete) << c.name;
        EXPECT_EQ(peer->count("DAV?"), c.davs) << c.name;
        ASSERT_EQ(ui.shown().size(), c.complete ? 0u : 1u) << c.name;
        if (!c.complete) {
            // Silence after some points from an instrument that still
            // answers cuts the sweep short; it has not gone.
            EXPECT_EQ(ui.shown()[0].text, c.received > 0 ? sweep_incomplete_text(c.received, 5)
                                                         : SWEEP_TEXT_CONNECTION_LOST)
                << c.name;
        }
        EXPECT_FALSE(link.is_open) << c.name;
    }
}

TEST_F(sweep_fixture, NoInstrumentToConnectTo)
{
    peer.reset();
    run();
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, SWEEP_TEXT_NO_CONNECTION);
    EXPECT_EQ(ui.shown()[0].caption, "No Connection");
    EXPECT_EQ(dialog.ids, (std::vector<int>{CMD_PROGRESS_STARTED, CMD_PROGRESS_FINISHED}));
}

TEST_F(sweep_fixture, RealtimeRetriesAfterABadReading)
{
    peer.reset();
    int asked = 0;
    peer = std::make_unique<sweep_peer>([&asked](const std::string& c) -> peer_reply {
        if (c != "*wai;fra?")
            return {};
        return {++asked == 1 ? "1000,1\r\n" : "1000,0.5,0.25,-6.02,-45.5,1e-4\r\n"};
    });
    link_set_tcp_port(peer->port());
    ctx.request = 1;
    std::atomic<int> running{1};
    std::thread reader([&] { fra_realtime_thread(ctx, running); });
    while (dispatcher.pending() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    running = 0;
    reader.join();
    dispatcher.run_pending();
    EXPECT_EQ(window.count(CMD_FRA_REALTIME_READY), 1);
    EXPECT_EQ(peer->count("*wai;fra?"), 2);
    EXPECT_EQ(peer->commands().front(), "out,on");
    EXPECT_DOUBLE_EQ(ctx.realtime.gain(), -6.02);
    EXPECT_FALSE(link.is_open);
}

// Only bad readings in a row end the thread by itself; a good one starts
// the count again.
TEST_F(sweep_fixture, RealtimeGivesUpAfterARunOfBadReadings)
{
    const std::string good = "1000,0.5,0.25,-6.02,-45.5,1e-4\r\n";
    const std::string bad = "1000,1\r\n";
    const struct {
        int good_at; // the request answered with a good reading, 0 none
        int requests, ready;
    } cases[] = {{0, REALTIME_BAD_LIMIT, 0}, {REALTIME_BAD_LIMIT, 2 * REALTIME_BAD_LIMIT, 1}};
    for (const auto& c : cases) {
        peer.reset();
        int asked = 0;
        peer = std::make_unique<sweep_peer>([&](const std::string& cmd) -> peer_reply {
            if (cmd != "*wai;fra?")
                return {};
            return {++asked == c.good_at ? good : bad};
        });
        link_set_tcp_port(peer->port());
        realtime_to_its_end([this](auto& running) { fra_realtime_thread(ctx, running); },
                            ctx.request, CMD_FRA_REALTIME_READY);
        EXPECT_EQ(peer->count("*wai;fra?"), c.requests) << c.good_at;
        EXPECT_EQ(window.count(CMD_FRA_REALTIME_READY), c.ready) << c.good_at;
        EXPECT_EQ(window.ids.back(), CMD_FRA_REALTIME_FAILED) << c.good_at;
        EXPECT_FALSE(link.is_open);
    }
}

TEST_F(sweep_fixture, RealtimeWithoutAConnectionEndsAtOnce)
{
    link.identified = false;
    std::atomic<int> running{1};
    fra_realtime_thread(ctx, running); // returns without a loop to stop
    EXPECT_TRUE(peer->commands().empty());
}
