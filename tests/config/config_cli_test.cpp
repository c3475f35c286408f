// tarvelo2-cli's identification and configuration commands against the
// simulator: what they print and their exit statuses.

#include "tests/config/sim_peer.h"
#include "tests/support/build_path.h"
#include "tests/support/cli_run.h"

#include <gtest/gtest.h>
#include <regex>

namespace {

struct s_run {
    int status;
    std::string out;
};

class ConfigCli : public ::testing::Test {
protected:
    void start(sim::sim_options o) { peer = std::make_unique<sim_peer>(std::move(o)); }
    s_run run(const std::string& command) const
    {
        const cli_output o =
            run_command_line(std::string(TARVELO2_CLI) + " --lan 127.0.0.1" + " --port " +
                                 std::to_string(peer->server->tcp_port()) + " " + command,
                             "/dev/null");
        return {o.status, o.out};
    }
    // In a locale, with what the program said.
    cli_output run_in(const std::string& locale, const std::string& command) const
    {
        return run_command_line("LC_ALL=" + locale + " " + std::string(TARVELO2_CLI) +
                                    " --lan 127.0.0.1 --port " +
                                    std::to_string(peer->server->tcp_port()) + " " + command,
                                "/tmp/config_cli_test_err.txt");
    }

    std::unique_ptr<sim_peer> peer;
};

} // namespace

TEST_F(ConfigCli, IdentifyPrintsIdentityAndTypeCode)
{
    start(sim_options_for(sim::sim_model::hxm6300));
    const s_run r = run("identify");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "QUELLMARSH,HXM6300,630012,2.04\ntype code: 9\n");

    sim::sim_options o = sim_options_for(sim::sim_model::hxm4100);
    o.instrument.identity = "QUELLMARSH,ZORVENT7,1,1";
    start(o);
    EXPECT_EQ(run("identify").status, 3);
    EXPECT_EQ(run("config-read").status, 3);
}

TEST_F(ConfigCli, ConfigReadPrintsTheExportBlock)
{
    start(sim_options_for(sim::sim_model::hxm4100));
    peer->server->instrument().execute("config,1,1");
    const s_run r = run("config-read");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("Instrument Configuration\r\n------------------------\r\n"
                          "File Format,QmrkV1\r\nInstrument,type,HXM4100\r\n"
                          ",serial number,410057\r\n,firmware version,3.11\r\n,calibration,\r\n"
                          "Acquisition,mode,",
                          0),
              0u);
    EXPECT_NE(r.out.find("\r\nMeasurement settings,operation mode,frequency response analyser\r\n"),
              std::string::npos);
}

TEST_F(ConfigCli, GetAndSetWithTheirExitStatuses)
{
    start(sim_options_for(sim::sim_model::hxm4100));
    EXPECT_EQ(run("config-set 13 2").status, 0);
    EXPECT_EQ(peer->raw(13), "2");
    EXPECT_EQ(run("config-get 13").out, "Medium\n");
    EXPECT_EQ(run("config-set 13 9").status, 4);
    EXPECT_EQ(run("config-set 18 1").status, 4);
    EXPECT_EQ(run("config-set 18 250").status, 0);
    EXPECT_EQ(run("config-get 18").out, "250\n");
    EXPECT_EQ(run("config-set 19 1.5E3").status, 0);
    EXPECT_EQ(run("config-get 19").out, "1.5E3\n");
    EXPECT_EQ(run("config-set 130 5").status, 0);
    EXPECT_EQ(peer->raw(130), "7");
    EXPECT_EQ(run("config-get 10").status, 2);
    EXPECT_EQ(run("config-get x").status, 2);
    EXPECT_EQ(run("config-set 13 two").status, 2);
    // Text that would carry a second command never leaves; a value the
    // instrument refuses is a refusal, and it keeps its own.
    const struct {
        const char* command;
        int status;
    } refused[] = {{"config-set 19 \"$(printf '10\\nconfig,18,2')\"", 2},
                   {"config-set 19 '10;config,18,7'", 2},
                   {"config-set 19 0", 4}};
    for (const auto& c : refused) {
        EXPECT_EQ(run(c.command).status, c.status) << c.command;
        EXPECT_EQ(peer->raw(18), "250") << c.command;
        EXPECT_EQ(peer->raw(19), "1.5E3") << c.command;
    }
}

// What a command said, without the comms log a debug build echoes to stderr
// ("[hh:mm:ss.mmm] ..." lines).
static std::string messages_of(const std::string& err)
{
    static const std::regex log_line(R"(\[\d\d:\d\d:\d\d\.\d{3}\] .*\n?)");
    return std::regex_replace(err, log_line, "");
}

// A text value reaches the instrument in Windows-1252 whatever the locale's
// encoding; a character Windows-1252 has no form for is refused before any
// write.
TEST_F(ConfigCli, TextValuesAreSentInWindows1252)
{
    start(sim_options_for(sim::sim_model::hxm4100));
    const struct {
        const char* locale;
        const char* value;
        int status;
        const char* held;
        const char* said;
    } cases[] = {
        {"C.UTF-8", "5\xC2\xB0", 0, "5\xB0", ""},
        {"C.UTF-8", "7\xCE\xA9", 2, "5\xB0",
         "[Tarvelo2] The value for parameter 65 holds a character that cannot be sent (only the "
         "characters of Windows-1252 can)\n"},
        {"C", "6\xB5", 0, "6\xB5", ""},
    };
    for (const auto& c : cases) {
        const cli_output r = run_in(c.locale, std::string("config-set 65 '") + c.value + "'");
        EXPECT_EQ(r.status, c.status) << c.value;
        EXPECT_EQ(messages_of(r.err), c.said) << c.value;
        EXPECT_EQ(peer->raw(65), c.held) << c.value;
    }
    EXPECT_EQ(run_in("C.UTF-8", "config-get 65").out, "6\xC2\xB5\n");
}

// A read that breaks off prints no configuration block and fails, whether
// the link drops at the first parameter read or at the last.
TEST_F(ConfigCli, ConfigReadThatBreaksOffPrintsNothingAndFails)
{
    for (const char* fault : {"disconnect-on=config,195?", "disconnect-on=config,1?"}) {
        sim::sim_options o = sim_options_for(sim::sim_model::hxm4100);
        std::string error;
        ASSERT_TRUE(sim::add_fault(o.faults, fault, error)) << error;
        start(std::move(o));
        const s_run r = run("config-read");
        EXPECT_EQ(r.status, 1) << fault;
        EXPECT_EQ(r.out, "") << fault;
    }
}
