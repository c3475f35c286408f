// The sweep and realtime commands against a simulator with a fault: each
// run that brings no result says why on stderr as "[caption] text" and
// exits 1.

#include "sweep/realtime_limits.h"
#include "sweep/sweep_core.h"
#include "tests/support/cli_sim_fixture.h"

namespace {

class CliOutcome : public cli_sim_fixture {
protected:
    // A new instrument with the faults, in place of the fixture's.
    void restart(const std::vector<std::string>& faults)
    {
        server->stop();
        sim::sim_options options;
        options.tcp_host = "127.0.0.1";
        options.tcp_port = 0;
        options.instrument.time_scale = 0;
        std::string error;
        for (const std::string& f : faults)
            ASSERT_TRUE(sim::add_fault(options.faults, f, error)) << error;
        server = std::make_unique<sim::sim_server>(options);
        server->start();
    }
};

std::string first_line(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

} // namespace

TEST_F(CliOutcome, EveryUnfinishedRunIsToldAndFails)
{
    const std::string refused = "[Tarvelo2] " + first_line(SWEEP_TEXT_REFUSED);
    const std::string lost = "[No Connection] " + first_line(SWEEP_TEXT_CONNECTION_LOST);
    const std::string unusable = "[Tarvelo2] " + first_line(SWEEP_TEXT_SETTINGS_UNREADABLE);
    const std::string cancelled = std::string("[Tarvelo2] ") + SWEEP_TEXT_CANCELLED;
    const std::string incomplete = "[Tarvelo2] " + first_line(sweep_incomplete_text(99, 100));
    const struct {
        const char* command;
        std::vector<std::string> faults;
        const char* before; // sent first: the instrument into the other mode
        std::string message;
    } cases[] = {
        {"fra-sweep", {"esr-stuck=1"}, "config,1,2", refused},
        {"lcr-sweep", {"esr-stuck=1"}, nullptr, refused},
        // Datalog on: switched off (--yes) on an instrument that refuses
        // it, or left on (No) and the sweep cancelled.
        {"fra-sweep --yes", {"esr-stuck=1"}, "config,58,1", unusable},
        {"fra-sweep", {"late-reply=0"}, "config,58,1", cancelled},
        {"fra-sweep", {"disconnect-on=config,1?"}, nullptr, lost},
        {"lcr-sweep", {"disconnect-on=config,1?"}, nullptr, lost},
        {"fra-sweep", {"short-line=1"}, nullptr, incomplete},
        {"lcr-sweep", {"short-line=1"}, nullptr, incomplete},
        {"lcr-realtime --count 2",
         {"disconnect-on=lcr?"},
         nullptr,
         std::string("[Tarvelo2] ") + TEXT_REALTIME_FAILED},
    };
    for (const auto& c : cases) {
        const std::string name = std::string(c.command) + " " + c.faults[0];
        restart(c.faults);
        if (c.before) {
            ASSERT_EQ(run_cli(std::string("send ") + c.before).status, 0) << name;
        }
        const cli_output r = run_cli(std::string(c.command) + " --data " + dir);
        EXPECT_EQ(r.status, 1) << name << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << name << "\n" << r.err;
    }
}

// What the status line says of a sweep that ran to its end: done or stored
// only when everything asked for was kept.
TEST(SweepStatus, TellsWhatOfACompletedSweepWasNotKept)
{
    const struct {
        bool file_written, store_asked, stored;
        const char* status;
    } cases[] = {
        {true, false, false, "Sweep done"},
        {true, true, true, "Sweep stored"},
        {true, true, false, "Sweep not stored in the database; its sweep file is kept"},
        {false, true, false, "Sweep not stored, and its sweep file could not be written"},
        {false, true, true, "Sweep stored, but its sweep file could not be written"},
        {false, false, false, "Sweep done, but its sweep file could not be written"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(sweep_kept_status(c.file_written, c.store_asked, c.stored), c.status)
            << c.file_written << c.store_asked << c.stored;
}
