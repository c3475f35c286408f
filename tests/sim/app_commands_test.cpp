// The exchanges the application runs, with its exact command texts and LAN
// framing (each command followed by a NUL, the reset byte sent the same
// way), and the replies read the way the application reads them.

#include "tests/sim/sim_fixture.h"
#include "tests/sim/test_stream.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace {

using sim::sim_model;

std::unique_ptr<sim::sim_server> start_model(sim_model model)
{
    sim::sim_options options;
    options.instrument.model = model;
    return start_sim(options);
}

// Values on a decimal reply line: one more than its commas.
std::size_t value_count(const std::optional<std::string>& line)
{
    return line ? static_cast<std::size_t>(std::count(line->begin(), line->end(), ',')) + 1 : 0;
}

void reset(test_stream& link)
{
    link.raw(std::string("\x14\0", 2));
}

// Sends a command exactly as the application writes it (its own line feed
// included) and reads the one reply line.
std::optional<std::string> ask(test_stream& link, const std::string& text)
{
    link.raw(text + std::string(1, '\0'));
    return link.line();
}

void wait_for_data(test_stream& link)
{
    for (int poll = 0; poll < 1000; ++poll) {
        const auto status = ask(link, "DAV?\n");
        ASSERT_TRUE(status);
        if (std::stoi(*status) & 4) {
            return;
        }
    }
    FAIL() << "the sweep never became ready";
}

TEST(AppCommands, ModeSwitchLinesEndInTheChosenModeOnBothModels)
{
    for (auto model : {sim_model::hxm4100, sim_model::hxm6300}) {
        auto sim = start_model(model);
        auto link = test_stream::tcp(sim->tcp_port());
        reset(link);
        link.raw(std::string("config,1,2;LCR\n\0", 16));
        EXPECT_EQ(ask(link, "config,1?\n"), "3");
        link.raw(std::string("config,1,1;FRA\n\0", 16));
        EXPECT_EQ(ask(link, "config,1?\n"), "1");
        EXPECT_EQ(ask(link, "*esr?\n"), "0");
    }
}

TEST(AppCommands, FrequencyResponseSweepAndReadingAsTheApplicationRunsThem)
{
    for (auto [model, three, values] : {std::tuple{sim_model::hxm4100, false, 6u},
                                        {sim_model::hxm6300, false, 6u},
                                        {sim_model::hxm6300, true, 10u}}) {
        auto sim = start_model(model);
        auto link = test_stream::tcp(sim->tcp_port());
        if (three) {
            sim->instrument().execute("config,84,1");
        }
        sim->instrument().execute("config,1,0"); // the worker has to switch the mode
        reset(link);
        link.raw(std::string("out,on\n\0", 8));
        EXPECT_EQ(ask(link, "config,18?\n"), "100");
        EXPECT_EQ(ask(link, "config,6?\n"), "0");
        EXPECT_EQ(ask(link, "config,58?\n"), "0");
        EXPECT_EQ(ask(link, "config,1?\n"), "0");
        link.raw(std::string("config,1,1\n\0", 12));
        EXPECT_EQ(ask(link, "*esr?\n"), "0");
        link.raw(std::string("start\n\0", 7));
        wait_for_data(link);
        link.raw(std::string("gainph,sweep?\n\0", 15));
        for (int i = 0; i < 100; ++i) {
            ASSERT_EQ(value_count(link.line()), values) << i;
        }
        EXPECT_EQ(value_count(ask(link, "*wai;fra?\n")), values);
    }
}

TEST(AppCommands, LcrSweepAndReadingInEveryLayout)
{
    struct layout_case {
        sim_model model;
        const char* quantity; // parameter 137
        std::size_t sweep_values;
        std::size_t reading_values;
    };
    const layout_case cases[] = {{sim_model::hxm4100, "4", 8, 11},
                                 {sim_model::hxm6300, "0", 13, 14},
                                 {sim_model::hxm6300, "3", 5, 14},
                                 {sim_model::hxm6300, "4", 5, 14}};
    for (const auto& c : cases) {
        auto sim = start_model(c.model);
        auto link = test_stream::tcp(sim->tcp_port());
        reset(link);
        link.raw(std::string("out,on\n\0", 8));
        link.raw(std::string("config,137,") + c.quantity + std::string("\n\0", 2));
        link.raw(std::string("config,18,7\n\0config,1,3\n\0", 25));
        EXPECT_EQ(ask(link, "*esr?\n"), "0");
        for (int i = 0; i < 3; ++i) {
            link.raw(std::string("start\n\0", 7));
        }
        wait_for_data(link);
        link.raw(std::string("LCR,SWEEP?\n\0", 12));
        for (int i = 0; i < 7; ++i) {
            ASSERT_EQ(value_count(link.line()), c.sweep_values) << c.quantity << " line " << i;
        }
        EXPECT_EQ(value_count(ask(link, "lcr?\n")), c.reading_values) << c.quantity;
    }
}

TEST(AppCommands, ScreenCaptureBetweenItsOwnFraming)
{
    auto sim = start_model(sim_model::hxm6300);
    auto link = test_stream::tcp(sim->tcp_port());
    link.raw(std::string("\x14\0SUSPEND,ON\n\0SCREEN?\n\0", 23));
    for (int row = 0; row < 240; ++row) {
        const auto line = link.line();
        ASSERT_TRUE(line) << row;
        ASSERT_EQ(line->size(), 2u + 320 / 8 * 2) << row;
    }
    link.raw(std::string("SUSPEND,OFF\n\0", 13));
    EXPECT_EQ(ask(link, "*esr?\n"), "0");
}

} // namespace
