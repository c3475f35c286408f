#include "base/ui_seam.h"
#include "link/identify.h"
#include "link/link.h"
#include "tests/config/fake_instrument.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

class Identify : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui_set_backend(&ui);
        link_set_tcp_port(peer.port());
        link.interface = LINK_LAN;
        link.ip_address = "127.0.0.1";
    }
    void TearDown() override
    {
        ui_set_backend(nullptr);
        link_set_timeout(link, LINK_DEFAULT_TIMEOUT_MS);
    }
    size_t queries() const
    {
        const std::vector<std::string> c = peer.commands();
        return static_cast<size_t>(std::count(c.begin(), c.end(), "*IDN?"));
    }
    std::string last_box() const { return ui.shown().empty() ? "" : ui.shown().back().text; }

    std::string reply;
    fake_instrument peer{[this](const std::string& c) -> std::optional<std::string> {
        if (c == "*IDN?")
            return reply;
        return std::nullopt;
    }};
    scripted_ui ui;
    s_link link;
};

} // namespace

TEST(IdentifyTable, ModelPrefixesInTheirOrder)
{
    const std::pair<const char*, int> cases[] = {
        {"QUELLMARSH,HXM4100,1,2", 7},
        {"QUELLMARSH,HXM6300,1,2", 9},
        {"QUELLMARSH,HXM5200", 7},
        {"QUELLMARSH,QXD5200,1", 13},
        {"QUELLMARSH,KTVA6100,1", 10},
        {"OMBRA-TK,KTVA6200,9", 11},
        {"WattRelay,WRX7310,1,2", 5},
        {"WattRelay,WRX7", 6},
        {"WattRelay,WRX7X", 6},
        {"WattRelay,LVQ80", 5},
        {"WattRelay,WRX64", 4},
        {"WattRelay,WRX38", 2},
        {"WattRelay,WRX39", 3},
        {"WattRelay,KLS interface 2", 3},
        {"WattRelay,WRX21", 1},
        {"WattRelay,TBN", 12},
        {"WattRelay,GFU1", 12},
        {"QUELLMARSH,ZORVENT9,1", 0},
        {"QUELLMARSH,hxm4100", 0},
        {"QUELLMARSH", 0},
        {"QUELLMARSH,", 0},
    };
    for (const auto& [text, code] : cases)
        EXPECT_EQ(identify_type_code(text), code) << text;
    EXPECT_TRUE(identify_accepted("QUELLMARSH,HXM6300"));
    EXPECT_TRUE(identify_accepted("QUELLMARSH,ZORVENT"));
    EXPECT_TRUE(identify_accepted("OMBRA-TK,KTVA"));
    EXPECT_FALSE(identify_accepted("QUELLMARSH,XYZ"));
    EXPECT_FALSE(identify_accepted("WattRelay"));
    EXPECT_FALSE(identify_accepted(""));
}

TEST_F(Identify, IdentifiesAndKeepsTheReply)
{
    reply = "QUELLMARSH,HXM6300,SN0042,3.01";
    EXPECT_TRUE(connect_and_identify(nullptr, link, true));
    EXPECT_EQ(link.type_code, 9);
    EXPECT_EQ(link.caps.channels, INSTRUMENT_THREE_CHANNELS);
    EXPECT_EQ(link.identity, reply);
    EXPECT_FALSE(link.is_open);
    EXPECT_EQ(queries(), 1u);
    EXPECT_EQ(last_box(), "The connection was successful\nQUELLMARSH,HXM6300,SN0042,3.01");
    EXPECT_EQ(ui.shown().back().caption, "Test Connection");
    EXPECT_EQ(ui.shown().back().style, unsigned(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(link_lan_timeout(link), LINK_DEFAULT_TIMEOUT_MS);
    // A link's own wait for replies holds again once identification is over.
    link.timeout_ms = 1234;
    EXPECT_TRUE(connect_and_identify(nullptr, link, false));
    EXPECT_EQ(link_lan_timeout(link), 1234);
}

TEST_F(Identify, LongRepliesAreCutToTheIdentitySize)
{
    reply = "QUELLMARSH,HXM4100," + std::string(200, 'S');
    EXPECT_TRUE(connect_and_identify(nullptr, link, false));
    EXPECT_EQ(link.identity.size(), LINK_IDENTITY_MAX);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(Identify, UnknownProductsAreAskedFiveTimes)
{
    reply = "QUELLMARSH,XYZ100,1,1";
    link.identity = "earlier";
    EXPECT_FALSE(connect_and_identify(nullptr, link, true));
    EXPECT_EQ(queries(), 5u);
    EXPECT_EQ(last_box(), "The connection failed");
    EXPECT_EQ(link.identity, "earlier");
}

TEST_F(Identify, AcceptedMakerWithAnUnknownModelIsNotIdentified)
{
    reply = "QUELLMARSH,ZORVENT5,1,1";
    link_set_type(link, 7);
    EXPECT_FALSE(connect_and_identify(nullptr, link, true));
    EXPECT_EQ(link.type_code, 0);
    EXPECT_TRUE(link.caps.screen_capture); // the two-channel record is gone with its code
    EXPECT_EQ(queries(), 1u);
    EXPECT_EQ(last_box(), "The connection failed");
}

// Test does not reset the code first: an unsupported reply after an earlier
// identification is reported as incompatible and the code is kept.
TEST_F(Identify, UnsupportedReplyAfterAnEarlierIdentification)
{
    reply = "ACME,METER,1,1";
    link_set_type(link, 9);
    EXPECT_FALSE(connect_and_identify(nullptr, link, true));
    EXPECT_EQ(link.type_code, 9);
    EXPECT_EQ(link.caps.channels, INSTRUMENT_THREE_CHANNELS);
    EXPECT_EQ(queries(), 5u);
    EXPECT_EQ(last_box(), "Incompatable instrument");
}

TEST_F(Identify, OpenFailuresAndNoInterface)
{
    link.interface = LINK_NONE;
    EXPECT_FALSE(connect_and_identify(nullptr, link, true));
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_TRUE(peer.traffic().empty());

    link.interface = LINK_SERIAL;
    link.port_name = "/dev/null/none";
    EXPECT_FALSE(connect_and_identify(nullptr, link, true));
    EXPECT_EQ(last_box(), "Unable to open port /dev/null/none");

    link.interface = LINK_LAN;
    link.ip_address = "127.0.0.1";
    link_set_tcp_port(1); // nothing listens there
    EXPECT_FALSE(connect_and_identify(nullptr, link, true));
    EXPECT_EQ(last_box(), "Failed to connect to IP address 127.0.0.1");
}

// Identification shows the wait cursor while it waits for the instrument,
// and only then tells the result.
TEST_F(Identify, WaitCursorForTheWholeExchange)
{
    int depth_at_query = -1;
    fake_instrument watched{[&](const std::string& c) -> std::optional<std::string> {
        if (c == "*IDN?")
            depth_at_query = std::max(depth_at_query, ui.wait_cursor_depth());
        return std::nullopt; // a silent instrument
    }};
    link_set_tcp_port(watched.port());
    EXPECT_FALSE(connect_and_identify(nullptr, link, true));
    EXPECT_EQ(depth_at_query, 1);
    EXPECT_EQ(ui.wait_cursor_depth(), 0);
    EXPECT_EQ(last_box(), "The connection failed");
}
