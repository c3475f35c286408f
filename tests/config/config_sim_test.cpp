// The configuration transfers against the bundled simulator, with the exact
// traffic as the comms log records it.

#include "base/ui_seam.h"
#include "config/config_protocol.h"
#include "config/hxm_cfg_4100.h"
#include "config/hxm_cfg_6300.h"
#include "config/param_table.h"
#include "link/discovery.h"
#include "link/identify.h"
#include "tests/config/sim_peer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class ConfigSim : public ::testing::Test {
protected:
    void SetUp() override { ui_set_backend(&ui); }
    void TearDown() override
    {
        ui_set_backend(nullptr);
        link_set_timeout(link, LINK_DEFAULT_TIMEOUT_MS);
    }
    void start(sim::sim_options options, int type_code)
    {
        peer = std::make_unique<sim_peer>(std::move(options));
        link = peer->lan_link();
        link_set_type(link, type_code);
    }
    scripted_ui ui;
    std::unique_ptr<sim_peer> peer;
    s_link link;
    comms_capture log;
};

// The ids a whole-configuration read asks for, in order.
std::vector<int> expected_reads(int type_code, const instrument_config& cfg)
{
    const caps_param_names names = instrument_caps_of(type_code).param_names;
    std::vector<int> ids;
    for (int id = 255; id >= 1; --id)
        if (std::string(config_param_name(names, id)) != "Unused" && cfg.record(id)->cmd)
            ids.push_back(id);
    return ids;
}

std::vector<std::string> framed_reads(const std::vector<int>& ids)
{
    std::vector<std::string> out{"\\024", "\\024", "SUSPEN,ON"};
    for (int id : ids) {
        out.push_back("config," + std::to_string(id) + "?");
    }
    out.push_back("SUSPEN,OFF");
    return out;
}

} // namespace

TEST_F(ConfigSim, ReadAllOfBothModelsAsksEveryNamedIdDownwards)
{
    {
        start(sim_options_for(sim::sim_model::hxm4100), 7);
        peer->server->instrument().execute("config,130,7");
        peer->server->instrument().execute("config,19,2.5E2");
        hxm_cfg_4100 cfg;
        cfg.read_all(link, true);
        EXPECT_EQ(log.sent(), framed_reads(expected_reads(7, cfg)));
        EXPECT_EQ(expected_reads(7, cfg).size(), 96u);
        std::string text;
        cfg.get_display_text(130, text);
        EXPECT_EQ(text, "None");
        EXPECT_STREQ(cfg.record(19)->cell.text, "2.5E2");
        EXPECT_TRUE(ui.shown().empty());
        EXPECT_NE(log.text().find("Read::Source (130)\r\n"), std::string::npos);
    }
    comms_capture again;
    start(sim_options_for(sim::sim_model::hxm6300), 9);
    peer->server->instrument().execute("config,1,7");
    hxm_cfg_6300 cfg;
    cfg.read_all(link, true);
    EXPECT_EQ(again.sent(), framed_reads(expected_reads(9, cfg)));
    EXPECT_EQ(expected_reads(9, cfg).size(), 125u);
    EXPECT_EQ(cfg.record(1)->cell.val, 6);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(ConfigSim, WriteAllSendsChangedAndDifferingParametersOnly)
{
    start(sim_options_for(sim::sim_model::hxm4100), 7);
    hxm_cfg_4100 cfg;
    cfg.read_all(link, true);
    peer->server->instrument().execute("config,3,2"); // changed on the instrument's panel
    peer->server->instrument().execute("config,20,1.5e3");
    cfg.set_text(20, "1.5E3"); // the same number, other letter case
    cfg.record(20)->changed = false;
    cfg.set_int(130, 5);      // trim: the instrument's 7
    cfg.set_int(13, 0);       // changed to what it already is: still sent
    cfg.set_text(151, "500"); // refused by the range
    comms_capture write_log;
    cfg.write_all(link, true);
    const std::vector<std::string> sent = write_log.sent();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[1], "\\024");
    EXPECT_EQ(sent[2], "SUSPEN,ON");
    std::vector<std::string> set_lines;
    for (const std::string& c : sent)
        if (c.rfind("config,", 0) == 0 && c.back() != '?')
            set_lines.push_back(c);
    EXPECT_EQ(set_lines, (std::vector<std::string>{"config,130,7", "config,13,0", "config,3,0"}));
    EXPECT_EQ(sent.back(), "SUSPEN,OFF");
    EXPECT_EQ(peer->raw(130), "7");
    EXPECT_EQ(peer->raw(3), "0");
    EXPECT_FALSE(cfg.record(130)->changed);
    EXPECT_TRUE(cfg.record(151)->changed);
    EXPECT_NE(write_log.text().find("Min cycles (id:151 [500) can only be set between 1 and 1e+02"),
              std::string::npos);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(ConfigSim, EveryTranslationBothWays)
{
    struct s_case {
        int id;
        int32_t position;
        const char* raw;
    };
    const s_case m4100[] = {{51, 1, "2"},  {51, 0, "0"},  {122, 4, "6"}, {130, 4, "6"},
                            {130, 5, "7"}, {131, 4, "7"}, {133, 4, "7"}, {133, 3, "3"}};
    const s_case m6300[] = {{1, 4, "5"},   {1, 5, "6"},  {1, 6, "7"},  {1, 3, "3"},
                            {24, 0, "1"},  {25, 1, "2"}, {26, 2, "3"}, {122, 1, "4"},
                            {122, 0, "0"}, {92, 1, "1"}, {92, 0, "0"}};
    auto check = [&](instrument_config& cfg, std::span<const s_case> cases) {
        ASSERT_EQ(link_open(link), 0);
        for (const s_case& c : cases) {
            cfg.set_int(c.id, c.position);
            EXPECT_TRUE(cfg.write_param(c.id, link)) << c.id;
            EXPECT_EQ(peer->raw(c.id), c.raw) << c.id << " at " << c.position;
            cfg.set_int(c.id, -7);
            cfg.read_param(c.id, link, nullptr);
            EXPECT_EQ(cfg.record(c.id)->cell.val, c.position) << c.id;
        }
        link_close(link);
    };
    start(sim_options_for(sim::sim_model::hxm4100), 7);
    hxm_cfg_4100 a;
    check(a, m4100);
    start(sim_options_for(sim::sim_model::hxm6300), 9);
    hxm_cfg_6300 b;
    check(b, m6300);
}

TEST_F(ConfigSim, StuckEventStatus)
{
    sim::sim_options o = sim_options_for(sim::sim_model::hxm4100);
    o.faults.esr_stuck = 4;
    start(o, 7);
    ASSERT_EQ(link_open(link), 0);
    comms_capture set_log;
    config_error code = 0;
    try {
        set_param_text(49, "1.0", link);
    } catch (config_error c) {
        code = c;
    }
    link_close(link);
    EXPECT_EQ(config_error_id(code), 49);
    EXPECT_EQ(config_error_ret(code), 4);
    const std::vector<std::string> sent = set_log.sent();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "*esr?"), 11);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "\\024"), 10);
    EXPECT_EQ(sent.front(), "config,49,1.0");
}

TEST_F(ConfigSim, MinusSignIsNotADigit)
{
    start(sim_options_for(sim::sim_model::hxm4100), 7);
    peer->server->instrument().execute("config,50,-1");
    ASSERT_EQ(peer->raw(50), "-1");
    ASSERT_EQ(link_open(link), 0);
    config_error code = 0;
    try {
        query_int_param(50, 0, 10, link);
    } catch (config_error c) {
        code = c;
    }
    link_close(link);
    EXPECT_EQ(config_error_ret(code), 65534);
    EXPECT_EQ(config_error_id(code), 50);
}

TEST_F(ConfigSim, ReadAllStopsAtTheThirdError)
{
    sim::sim_options o = sim_options_for(sim::sim_model::hxm4100);
    o.faults.disconnect_on = {"config,194?"};
    start(o, 7);
    link_set_timeout(link, 300);
    hxm_cfg_4100 cfg;
    cfg.read_all(link, true);
    const std::vector<ui_shown_box> boxes = ui.shown();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "An error occurred reading the config from the instrument \n"
                             "(Id:194 [Upper limit] ret:0)");
    EXPECT_EQ(boxes[1].text, "An error occurred reading the config from the instrument \n"
                             "(Id:193 [Graph 1 scaling] ret:0)");
    EXPECT_EQ(boxes[2].text, "An error occurred reading the config from the instrument \n"
                             "(Id:192 [Step scale] ret:0)\n"
                             "Too many read errors, stopping instrument config read");
    const std::vector<std::string> sent = log.sent();
    EXPECT_EQ(sent.back(), "SUSPEN,OFF");
    EXPECT_EQ(sent[sent.size() - 2], "config,192?");
    EXPECT_FALSE(link.is_open);
}

TEST(IdentifySim, EveryRowOfTheModelTable)
{
    scripted_ui ui;
    ui_set_backend(&ui);
    const std::pair<const char*, int> rows[] = {
        {"WattRelay,QXD5200,52001,1.0", 13}, {"QUELLMARSH,HXM6300,630012,2.04", 9},
        {"QUELLMARSH,HXM5200,52002,1.1", 7}, {"QUELLMARSH,HXM4100,410057,3.11", 7},
        {"QUELLMARSH,KTVA6100,61,2.0", 10},  {"OMBRA-TK,KTVA6200,62,2.0", 11},
        {"WattRelay,WRX7310,7310,1.0", 5},   {"WattRelay,LVQ8000,80,1.0", 5},
        {"WattRelay,WRX6400,64,1.0", 4},     {"WattRelay,WRX3800,38,1.0", 2},
        {"WattRelay,WRX3900,39,1.0", 3},     {"WattRelay,KLS interface,1,1", 3},
        {"WattRelay,WRX2100,21,1.0", 1},     {"WattRelay,WRX7,7,1.0", 6},
        {"WattRelay,TBN10,10,1.0", 12},      {"WattRelay,GFU20,20,1.0", 12},
        {"QUELLMARSH,ZORVENT1,1,1.0", 0},    {"QUELLMARSH,QXD5200,1,1.0", 0},
    };
    for (const auto& [identity, code] : rows) {
        sim::sim_options o = sim_options_for(sim::sim_model::hxm4100);
        o.instrument.identity = identity;
        sim_peer peer(o);
        s_link link = peer.lan_link();
        comms_capture log;
        EXPECT_EQ(connect_and_identify(nullptr, link, false), code != 0) << identity;
        EXPECT_EQ(link.type_code, code) << identity;
        EXPECT_EQ(link.identity, code ? identity : "") << identity;
        const std::string milestone = code ? "***\tIDENTIFIED: " + std::string(identity) + " (" +
                                                 std::to_string(code) + ")\t***\r\n"
                                           : "***\tUNIDENTIFIED INSTRUMENT\t***\r\n";
        const std::string text = log.text();
        const size_t connected = text.find("] ***\tCONNECTED\t***\r\n");
        EXPECT_NE(connected, std::string::npos);
        EXPECT_LT(text.find("] ***\tCONNECTING\t***\r\n"), connected);
        EXPECT_EQ(text.find(milestone) == std::string::npos,
                  std::string(identity).rfind("QUELLMARSH,QXD", 0) == 0)
            << identity;
    }
    ui_set_backend(nullptr);
}

TEST(DiscoverySim, BothMethodsFindTheSimulatorOnce)
{
    const uint16_t base = static_cast<uint16_t>(24000 + (::getpid() % 4000) * 4);
    sim::sim_options o = sim_options_for(sim::sim_model::hxm6300);
    o.tcp_host = "127.0.0.7";
    o.discovery_address = "127.0.0.7";
    o.discovery_port_a = base + 1;
    o.discovery_port_b = base + 3;
    sim_peer peer(o);
    discovery_set_target("127.255.255.255");
    discovery_set_ports(DISCOVERY_A, {base, static_cast<uint16_t>(base + 1)});
    discovery_set_ports(DISCOVERY_B,
                        {static_cast<uint16_t>(base + 2), static_cast<uint16_t>(base + 3)});
    s_discovered list[DISCOVERY_CAPACITY];
    ASSERT_EQ(discover_lan_instruments(list, DISCOVERY_CAPACITY), 1);
    EXPECT_STREQ(list[0].address, "127.0.0.7");
    const std::vector<s_chooser_row> rows = discovery_probe(list, 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text, "127.0.0.7\tQUELLMARSH,HXM6300,630012,2.04");
}
