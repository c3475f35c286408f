#include "sim/fd_port.h"
#include "tests/sim/sim_fixture.h"
#include "tests/sim/test_stream.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

std::string link_path(const char* name)
{
    return (std::filesystem::temp_directory_path() /
            (std::string(name) + std::to_string(::getpid())))
        .string();
}

TEST(SerialLine, PseudoTerminalServesCommandsThroughItsLink)
{
    sim::sim_options options;
    options.pty_path = link_path("hxm_sim_pty_");
    auto sim = start_sim(options);
    ASSERT_TRUE(std::filesystem::is_symlink(options.pty_path));
    auto line = test_stream::serial(options.pty_path);
    line.command("*IDN?");
    EXPECT_TRUE(line.line().value_or("").starts_with("QUELLMARSH,HXM4100"));
    line.command("config,18,3;start");
    line.command("LCR,SWEEP?");
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(line.line()) << i;
    }
    sim.reset();
    EXPECT_FALSE(std::filesystem::exists(options.pty_path)); // the link goes with the simulator
}

TEST(SerialLine, BaudRatePacesRepliesLikeAnEightNOneLine)
{
    sim::sim_options options;
    options.pty_path = link_path("hxm_sim_paced_");
    options.baud = 1200; // 120 bytes a second
    auto sim = start_sim(options);
    auto line = test_stream::serial(options.pty_path);
    const std::string identity = sim->instrument().identity();
    const auto sent = std::chrono::steady_clock::now();
    line.command("*IDN?");
    const auto reply = line.line();
    const auto taken = std::chrono::steady_clock::now() - sent;
    ASSERT_EQ(reply, identity);
    const auto wire = std::chrono::duration<double>((identity.size() + 2) * 10.0 / 1200);
    EXPECT_GE(taken, wire * 0.95);
}

TEST(SerialLine, PacingCanFollowTheSpeedTheApplicationSets)
{
    sim::sim_options options;
    options.pty_path = link_path("hxm_sim_line_");
    options.baud = sim::k_baud_follow_line;
    auto sim = start_sim(options);
    auto line = test_stream::serial(options.pty_path, B1200);
    const auto sent = std::chrono::steady_clock::now();
    line.command("*IDN?");
    ASSERT_TRUE(line.line());
    const double wire = (sim->instrument().identity().size() + 2) * 10.0 / 1200;
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::duration<double>(wire * 0.95));
}

TEST(SerialLine, AnExistingFileIsNotReplacedByTheLink)
{
    sim::sim_options options;
    options.pty_path = link_path("hxm_sim_file_");
    std::FILE* f = std::fopen(options.pty_path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    options.tcp = false;
    EXPECT_THROW(sim::sim_server(options).start(), std::runtime_error);
    EXPECT_TRUE(std::filesystem::is_regular_file(options.pty_path));
    std::filesystem::remove(options.pty_path);
}

} // namespace
