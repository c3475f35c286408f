// The LAN search of the connection dialog finds the simulator's responders
// on the loopback network, the user picks the instrument, connects and
// reads its configuration.

#include "tests/journeys/journey.h"
#include "tests/support/loopback_listener.h"

#include <QtTest/QTest>
#include <algorithm>

namespace {

bool received(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

} // namespace

TEST_F(journey, LanSearchFindsTheInstrumentThatThenConnectsAndIsRead)
{
    const std::vector<int> ports = free_udp_ports(2);
    ASSERT_EQ(ports.size(), 2u);
    // The program's own ports are any free ones; the responders' are these.
    const s_app_paths paths = app_paths((dir() / "data").string());
    std::filesystem::create_directories(paths.data_folder);
    profile_write(paths.settings_file, "Connect", "DiscoveryPortsA",
                  "0," + std::to_string(ports[0]));
    profile_write(paths.settings_file, "Connect", "DiscoveryPortsB",
                  "0," + std::to_string(ports[1]));
    run("HXM6300",
        [&] {
            menu({"Configure", "Connection..."});
            await_dialog("Connect");
            click_field("IP Address");
            key(Qt::Key_A, Qt::ControlModifier);
            key(Qt::Key_Delete);
            watch_exchanges();
            click("Find instruments on this subnet");
            // The search's two seconds show in a progress dialog.
            await_dialog("Instrument");
            EXPECT_TRUE(wait_for(
                [&] { return text_of("10008") == "Searching the network for instruments\u2026"; }));
            screenshot("searching");
            watch_exchanges(false);
            await_dialog("Please Choose Instrument");
            EXPECT_TRUE(wait_for([&] { return !list_rows("1007").empty(); }));
            EXPECT_EQ(list_rows("1007"), std::vector<std::string>{"127.0.0.1"});
            screenshot("search_result");
            click_row("1007", "127.0.0.1");
            click("OK");
            await_dialog("Connect");
            EXPECT_EQ(field_text("IP Address"), "127.0.0.1");
            click("Connect");
            await_dialog("");
            ASSERT_FALSE(boxes().empty());
            EXPECT_EQ(
                boxes().back().text.rfind("The connection was successful\nQUELLMARSH,HXM63", 0), 0u)
                << boxes().back().text;

            const size_t shown_before = boxes().size();
            click("READ HXM");
            EXPECT_TRUE(wait_for([&] { return received(instrument_received(), "SUSPEN,OFF"); }))
                << "the configuration was not read to its end";
            EXPECT_TRUE(received(instrument_received(), "config,1?"));
            EXPECT_EQ(boxes().size(), shown_before) << boxes().back().text;
            screenshot("configuration_read");
        },
        {"--discovery", "127.0.0.1", "--discovery-port-a", std::to_string(ports[0]),
         "--discovery-port-b", std::to_string(ports[1])});
}
