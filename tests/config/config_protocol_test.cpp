#include "base/ui_seam.h"
#include "config/config_protocol.h"
#include "config/hxm_cfg_4100.h"
#include "config/hxm_cfg_6300.h"
#include "link/comms_log.h"
#include "link/link.h"
#include "tests/config/fake_instrument.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

// An instrument that keeps parameter values as reply texts and reports the
// event status `status` after every set.
struct settings_instrument {
    std::mutex mutex;
    std::map<int, std::string> values;
    std::string status = "0";

    std::optional<std::string> answer(const std::string& command)
    {
        std::lock_guard lock(mutex);
        int id = 0;
        char rest[64] = {};
        if (command == "*esr?")
            return status;
        if (std::sscanf(command.c_str(), "config,%d?", &id) == 1 && command.back() == '?')
            return values.count(id) ? values[id] : "0";
        if (std::sscanf(command.c_str(), "config,%d,%63[^\n]", &id, rest) == 2)
            values[id] = rest;
        return std::nullopt;
    }
};

class ConfigProtocol : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui_set_backend(&ui);
        link_set_tcp_port(peer.port());
        link.interface = LINK_LAN;
        link.ip_address = "127.0.0.1";
        link_set_type(link, 7);
    }
    void TearDown() override
    {
        link_close(link);
        ui_set_backend(nullptr);
    }
    void open()
    {
        ASSERT_EQ(link_open(link), 0);
        peer.clear();
    }
    size_t count(const std::string& command) const
    {
        const std::vector<std::string> t = peer.traffic();
        return static_cast<size_t>(std::count(t.begin(), t.end(), command));
    }
    // The instrument starts with the values the model holds.
    void mirror(const instrument_config& cfg)
    {
        for (int id = 1; id <= 255; ++id)
            if (const s_config_param& rec = *cfg.record(id); rec.cmd != 0)
                instrument.values[id] =
                    rec.type == PARAM_TEXT ? rec.cell.text : std::to_string(rec.cell.val);
    }
    std::vector<std::string> sets() const
    {
        std::vector<std::string> out;
        for (const std::string& c : peer.commands())
            if (c.rfind("config,", 0) == 0 && c.back() != '?')
                out.push_back(c);
        return out;
    }

    settings_instrument instrument;
    fake_instrument peer{[this](const std::string& c) { return instrument.answer(c); }};
    scripted_ui ui;
    s_link link;
};

config_error thrown_by(const std::function<void()>& f)
{
    try {
        f();
    } catch (config_error code) {
        return code;
    }
    return 0;
}

} // namespace

TEST_F(ConfigProtocol, StuckEventStatusGivesUpAfterElevenQueries)
{
    instrument.status = "4";
    open();
    const config_error code = thrown_by([&] { set_param_text(49, "1.5", link); });
    EXPECT_EQ(config_error_id(code), 49);
    EXPECT_EQ(config_error_ret(code), 4);
    EXPECT_EQ(count("config,49,1.5"), 1u);
    EXPECT_EQ(count("*esr?"), 11u);
    EXPECT_EQ(count("\x14"), 10u);

    instrument.status = "128"; // only the low seven bits are the status
    peer.clear();
    EXPECT_EQ(set_param_int(18, 400, link), 0);
    EXPECT_EQ(peer.traffic(), (std::vector<std::string>{"config,18,400", "*esr?"}));
    instrument.status = "";
    EXPECT_EQ(thrown_by([&] { set_param_int(18, 400, link); }), 18);
}

TEST_F(ConfigProtocol, UnsendableTextsAndRefusingStatusesAreRefusals)
{
    struct s_case {
        const char* text;
        const char* status;
        std::vector<std::string> traffic;
    };
    const s_case cases[] = {
        {"10\nconfig,18,2", "0", {}},
        {"10;config,18,7", "0", {}},
        {"1\r", "0", {}},
        {"1\t2", "0", {}},
        {"1\x7f", "0", {}},
        {"-5", "16", {"config,19,-5", "*esr?"}},
        {"x", "32", {"config,19,x", "*esr?"}},
        {"-5", "52", {"config,19,-5", "*esr?"}},
    };
    open();
    hxm_cfg_4100 cfg;
    for (const s_case& c : cases) {
        instrument.status = c.status;
        peer.clear();
        EXPECT_EQ(set_param_text(19, c.text, link), CONFIG_SET_REFUSED) << c.text;
        cfg.set_text(19, c.text);
        EXPECT_FALSE(cfg.write_param(19, link)) << c.text;
        const std::vector<std::string> twice = [&] {
            std::vector<std::string> t = c.traffic;
            t.insert(t.end(), c.traffic.begin(), c.traffic.end());
            return t;
        }();
        EXPECT_EQ(peer.traffic(), twice) << c.text;
        EXPECT_TRUE(cfg.record(19)->changed);
    }
    EXPECT_TRUE(config_text_sendable("1.0E3 \xe9"));
}

TEST_F(ConfigProtocol, IntegerQueriesTryThreeTimes)
{
    open();
    instrument.values = {{3, "-1"}, {4, ""}, {5, "9"}, {6, "2junk"}, {7, "99999999999999"}};
    const config_error minus = thrown_by([&] { query_int_param(3, 0, 2, link); });
    EXPECT_EQ(config_error_ret(minus), 65534);
    EXPECT_EQ(config_error_id(minus), 3);
    EXPECT_EQ(count("config,3?"), 3u);
    EXPECT_EQ(config_error_ret(thrown_by([&] { query_int_param(4, 0, 2, link); })), 65535);
    EXPECT_EQ(config_error_ret(thrown_by([&] { query_int_param(5, 0, 2, link); })), 9);
    EXPECT_EQ(query_int_param(6, 0, 2, link), 2);
    EXPECT_EQ(config_error_id(thrown_by([&] { query_int_param(7, 0, 2, link); })), 7);
}

TEST_F(ConfigProtocol, TranslationsOfBothModelsBothWays)
{
    struct s_case {
        int id;
        int32_t position;
        const char* sent;
    };
    const s_case m4100[] = {{51, 1, "2"},  {122, 4, "6"}, {130, 4, "6"}, {130, 5, "7"},
                            {131, 4, "7"}, {133, 4, "7"}, {13, 4, "4"}};
    const s_case m6300[] = {{1, 4, "5"},  {1, 5, "6"},  {1, 6, "7"},   {1, 3, "3"},   {24, 0, "1"},
                            {25, 2, "3"}, {26, 1, "2"}, {122, 1, "4"}, {122, 0, "0"}, {92, 1, "1"}};
    open();
    hxm_cfg_4100 a;
    hxm_cfg_6300 b;
    auto check = [&](instrument_config& cfg, const s_case& c) {
        cfg.set_int(c.id, c.position);
        ASSERT_TRUE(cfg.write_param(c.id, link));
        EXPECT_EQ(instrument.values[c.id], c.sent) << c.id;
        EXPECT_FALSE(cfg.record(c.id)->changed);
        cfg.set_int(c.id, -5);
        cfg.read_param(c.id, link, nullptr);
        EXPECT_EQ(cfg.record(c.id)->cell.val, c.position) << c.id;
    };
    for (const s_case& c : m4100)
        check(a, c);
    for (const s_case& c : m6300)
        check(b, c);
    instrument.values[92] = "3";
    b.read_param(92, link, nullptr);
    EXPECT_EQ(b.record(92)->cell.val, 1);
    instrument.values[122] = "3";
    b.read_param(122, link, nullptr);
    EXPECT_EQ(b.record(122)->cell.val, 1);
}

TEST_F(ConfigProtocol, ReadingKeepsChangedAndFillsAGivenTarget)
{
    open();
    hxm_cfg_4100 cfg;
    cfg.set_text(19, "100");
    instrument.values[19] = "2.5E3";
    s_config_param scratch;
    param_copy(scratch, *cfg.record(19));
    cfg.read_param(19, link, &scratch);
    EXPECT_STREQ(scratch.cell.text, "2.5E3");
    EXPECT_STREQ(cfg.record(19)->cell.text, "100");
    cfg.read_param(19, link, nullptr);
    EXPECT_STREQ(cfg.record(19)->cell.text, "2.5E3");
    EXPECT_TRUE(cfg.record(19)->changed);

    // A reply longer than the value cell is refused and the value kept.
    instrument.values[19] = "12345678901234567890";
    EXPECT_EQ(thrown_by([&] { cfg.read_param(19, link, nullptr); }), 19);
    EXPECT_STREQ(cfg.record(19)->cell.text, "2.5E3");
    instrument.values[19] = "1234567890123456789";
    cfg.read_param(19, link, nullptr);
    EXPECT_STREQ(cfg.record(19)->cell.text, "1234567890123456789");

    peer.clear();
    cfg.read_param(600, link, nullptr);
    EXPECT_FALSE(cfg.write_param(600, link));
    cfg.read_param(10, link, nullptr); // no record in this model
    EXPECT_FALSE(cfg.write_param(10, link));
    EXPECT_TRUE(peer.traffic().empty());
}

TEST_F(ConfigProtocol, RangeChecksRefuseWithoutTraffic)
{
    open();
    hxm_cfg_4100 cfg;
    cfg.set_int(18, 3001);
    cfg.set_int(3, 3);
    cfg.set_text(151, "150");
    cfg.set_text(152, "-1");
    EXPECT_FALSE(cfg.write_param(18, link));
    EXPECT_FALSE(cfg.write_param(3, link));
    EXPECT_FALSE(cfg.write_param(151, link));
    EXPECT_FALSE(cfg.write_param(152, link));
    EXPECT_TRUE(cfg.record(18)->changed);
    EXPECT_TRUE(peer.traffic().empty());
    cfg.set_text(12, "-1e9"); // no limits
    EXPECT_TRUE(cfg.write_param(12, link));
    EXPECT_EQ(sets(), (std::vector<std::string>{"config,12,-1e9"}));
}

TEST_F(ConfigProtocol, ReadAllWalksDownSkippingUnusedIds)
{
    hxm_cfg_6300 cfg;
    link_set_type(link, 9);
    instrument.values = {{1, "7"}, {48, "2.0E3"}, {24, "2"}, {18, "100"}};
    EXPECT_TRUE(cfg.read_all(link, true));
    ASSERT_TRUE(peer.wait_for("SUSPEN,OFF"));
    const std::vector<std::string> t = peer.traffic();
    ASSERT_GE(t.size(), 4u);
    EXPECT_EQ(t[0], "\x14"); // opening
    EXPECT_EQ(t[1], "\x14");
    EXPECT_EQ(t[2], "SUSPEN,ON");
    EXPECT_EQ(t[3], "config,223?");
    EXPECT_EQ(t.back(), "SUSPEN,OFF");
    EXPECT_EQ(t[t.size() - 2], "config,1?");
    std::vector<int> ids;
    for (const std::string& c : t)
        if (int id = 0; std::sscanf(c.c_str(), "config,%d?", &id) == 1)
            ids.push_back(id);
    EXPECT_EQ(ids.size(), 131u - 6u);
    EXPECT_TRUE(std::is_sorted(ids.rbegin(), ids.rend()));
    for (int unused : {2, 16, 118, 153, 154, 198})
        EXPECT_EQ(std::count(ids.begin(), ids.end(), unused), 0);
    EXPECT_EQ(cfg.record(1)->cell.val, 6);
    EXPECT_STREQ(cfg.record(48)->cell.text, "2.0E3");
    EXPECT_EQ(cfg.record(24)->cell.val, 1);
    EXPECT_TRUE(ui.shown().empty());
    EXPECT_FALSE(link.is_open);
}

TEST_F(ConfigProtocol, ReadAllToleratesTwoErrorsAndStopsAtTheThird)
{
    hxm_cfg_4100 cfg;
    instrument.values = {{195, "1"}, {194, "2"}, {193, "9"}, {192, "9"}, {186, "-1"}};
    EXPECT_FALSE(cfg.read_all(link, true)); // errors: not read in full
    ASSERT_TRUE(peer.wait_for("SUSPEN,OFF"));
    const std::vector<ui_shown_box> boxes = ui.shown();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "An error occurred reading the config from the instrument \n"
                             "(Id:193 [Graph 1 scaling] ret:9)");
    EXPECT_EQ(boxes[0].caption, "Read Instrument Setup");
    EXPECT_EQ(boxes[0].style, unsigned(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(boxes[2].text, "An error occurred reading the config from the instrument \n"
                             "(Id:186 [AC Trim] ret:65534)\n"
                             "Too many read errors, stopping instrument config read");
    const std::vector<std::string> c = peer.commands();
    EXPECT_EQ(c.back(), "SUSPEN,OFF");
    EXPECT_EQ(c[c.size() - 2], "config,186?");
    EXPECT_STREQ(cfg.record(194)->cell.text, "2");
}

TEST_F(ConfigProtocol, ReadAllNeedsANamedInstrumentType)
{
    hxm_cfg_4100 cfg;
    link_set_type(link, 5);
    EXPECT_FALSE(cfg.read_all(link, true));
    EXPECT_FALSE(cfg.write_all(link, true));
    EXPECT_TRUE(peer.traffic().empty());
    EXPECT_EQ(ui.wait_cursor_depth(), 0);
}

TEST_F(ConfigProtocol, WriteAllSendsOnlyWhatDiffers)
{
    hxm_cfg_4100 cfg;
    mirror(cfg);
    instrument.values[18] = "2";
    instrument.values[151] = "1";
    cfg.set_text(19, "1.0E3");
    cfg.set_text(20, "1.0E5");
    instrument.values[19] = "1.0e3";
    instrument.values[20] = "1.0e5";
    instrument.values[3] = "2";       // differs from the model's 0
    instrument.values[50] = "1.0E-1"; // the model has it in lower case
    cfg.set_text(50, "1.0e-1");
    cfg.record(50)->changed = false;        // as after reading
    cfg.set_int(2, 1);                      // changed, though Unused
    cfg.set_int(16, 7);                     // changed but out of range
    EXPECT_TRUE(cfg.write_all(link, true)); // a range refusal is logged, not an error
    ASSERT_TRUE(peer.wait_for("SUSPEN,OFF"));
    EXPECT_EQ(sets(), (std::vector<std::string>{"config,20,1.0E5", "config,19,1.0E3", "config,3,0",
                                                "config,2,1"}));
    EXPECT_EQ(peer.commands().back(), "SUSPEN,OFF");
    EXPECT_EQ(count("config,2?"), 0u);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(ConfigProtocol, WriteAllStopsAtTheFirstErrorAndLogsRangeRefusals)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("tarvelo_cfg_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    comms_log_start(dir.string());
    hxm_cfg_4100 cfg;
    mirror(cfg);
    cfg.set_int(18, 3001);
    cfg.set_text(151, "200");
    instrument.values[150] = "5";
    EXPECT_FALSE(cfg.write_all(link, true));
    comms_log_toggle();
    ASSERT_TRUE(peer.wait_for("SUSPEN,OFF"));
    const std::vector<ui_shown_box> boxes = ui.shown();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "An error occurred writing the config to the instrument \n"
                             "(Id:150 [Ratio] ret:5)");
    EXPECT_EQ(peer.commands().back(), "SUSPEN,OFF");
    EXPECT_TRUE(sets().empty());

    std::ifstream in(dir / COMMS_LOG_FILE_NAME, std::ios::binary);
    std::stringstream log;
    log << in.rdbuf();
    EXPECT_NE(log.str().find("Write::Min cycles (151)\r\n"), std::string::npos);
    EXPECT_NE(log.str().find("] Min cycles (id:151 [200) can only be set between 1 and 1e+02\r\n"),
              std::string::npos);
    EXPECT_EQ(log.str().find("Write::Ratio"), std::string::npos);
    std::filesystem::remove_all(dir);
}
