#include "tests/sim/sim_fixture.h"
#include "tests/sim/test_stream.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Asks for a sweep of `steps` points and collects every line that arrives
// until the stream goes quiet or closes.
std::vector<std::string> download(test_stream& link, int steps)
{
    link.command("config,18," + std::to_string(steps));
    link.command("gainph,sweep?");
    std::vector<std::string> lines;
    while (auto line = link.line(700ms)) {
        lines.push_back(*line);
    }
    return lines;
}

std::size_t commas(const std::string& line)
{
    return static_cast<std::size_t>(std::count(line.begin(), line.end(), ','));
}

TEST(Faults, DropAfterClosesTheLinkPartWayThroughTheSweep)
{
    auto sim = start_sim(with_fault("drop-after=3"));
    auto link = test_stream::tcp(sim->tcp_port());
    link.command("config,18,10");
    link.command("gainph,sweep?");
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(link.line()) << i;
    }
    EXPECT_TRUE(link.closed_within(5s));
    auto again = test_stream::tcp(sim->tcp_port()); // the instrument itself carries on
    again.command("*IDN?");
    EXPECT_TRUE(again.line());
}

TEST(Faults, StrayShortAndGarbageLinesLandWhereAsked)
{
    sim::sim_options options = with_fault("stray-line");
    std::string error;
    sim::add_fault(options.faults, "short-line=2", error);
    sim::add_fault(options.faults, "garbage=4", error);
    auto sim = start_sim(options);
    auto link = test_stream::tcp(sim->tcp_port());
    const auto lines = download(link, 5);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(commas(lines[0]), 0u); // the stray line is no data
    EXPECT_EQ(commas(lines[1]), 5u);
    EXPECT_EQ(commas(lines[2]), 4u); // one value short
    EXPECT_EQ(commas(lines[3]), 5u);
    for (unsigned char c : lines[4]) {
        EXPECT_GE(c, 0x80);
    }
    EXPECT_EQ(commas(lines[5]), 5u);
    link.command("*wai;fra?"); // readings are not sweep lines: untouched
    EXPECT_EQ(commas(link.line().value_or("")), 5u);
}

TEST(Faults, SilentInstrumentCarriesOutCommandsButNeverAnswers)
{
    auto sim = start_sim(with_fault("silent"));
    auto link = test_stream::tcp(sim->tcp_port());
    link.command("*IDN?");
    link.command("config,18,7");
    EXPECT_FALSE(link.line(500ms));
    EXPECT_EQ(sim->instrument().execute("config,18?").lines.front(), "7");
}

TEST(Faults, StuckEventStatusAnswersTheSameValueEveryTime)
{
    auto sim = start_sim(with_fault("esr-stuck=4"));
    auto link = test_stream::tcp(sim->tcp_port());
    for (int i = 0; i < 3; ++i) {
        link.command("*esr?");
        EXPECT_EQ(link.line(), "4");
    }
    link.command("*IDN?");
    EXPECT_TRUE(link.line().value_or("").starts_with("QUELLMARSH"));
}

TEST(Faults, LateReplyHoldsEachAnswerBack)
{
    auto sim = start_sim(with_fault("late-reply=300"));
    auto link = test_stream::tcp(sim->tcp_port());
    const auto sent = std::chrono::steady_clock::now();
    link.command("*IDN?;*esr?");
    ASSERT_TRUE(link.line());
    ASSERT_TRUE(link.line());
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 600ms);
}

TEST(Faults, DisconnectOnDropsTheLinkWhenThatCommandArrives)
{
    auto sim = start_sim(with_fault("disconnect-on=SCREEN?"));
    auto link = test_stream::tcp(sim->tcp_port());
    link.command("*IDN?");
    EXPECT_TRUE(link.line());
    link.command("SUSPEND,ON;screen?");
    EXPECT_TRUE(link.closed_within(5s));
}

} // namespace
