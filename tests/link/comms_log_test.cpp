#include "base/log_seam.h"
#include "base/ui_seam.h"
#include "link/comms_log.h"
#include "link/link.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

class CommsLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-log-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
        ui_set_backend(&ui);
    }
    void TearDown() override
    {
        ui_set_backend(nullptr);
        fs::remove_all(folder);
    }
    // The log's lines with their CR LF ends checked and the time prefix
    // checked and removed.
    std::vector<std::string> lines()
    {
        std::ifstream in(folder / COMMS_LOG_FILE_NAME, std::ios::binary);
        std::stringstream all;
        all << in.rdbuf();
        std::vector<std::string> out;
        const std::string text = all.str();
        const std::regex prefix(R"(^\[\d\d:\d\d:\d\d\.\d\d\d\] )");
        for (size_t at = 0; at < text.size();) {
            const size_t end = text.find("\r\n", at);
            EXPECT_NE(end, std::string::npos) << "line without CR LF";
            if (end == std::string::npos)
                break;
            const std::string line = text.substr(at, end - at);
            EXPECT_TRUE(std::regex_search(line, prefix)) << line;
            out.push_back(line.substr(15));
            at = end + 2;
        }
        return out;
    }

    fs::path folder;
    scripted_ui ui;
    s_link link; // no interface: nothing goes out, but every exchange is logged
};

// "(00042)": the exchange number as the log writes it.
std::string exchange_text(uint64_t number)
{
    char text[32];
    std::snprintf(text, sizeof text, "(%05llu)", static_cast<unsigned long long>(number));
    return text;
}

} // namespace

TEST_F(CommsLog, ExchangeLinesAndTheirNumbering)
{
    comms_log_start(folder.string());
    EXPECT_EQ(comms_log_path(), (folder / COMMS_LOG_FILE_NAME).string());
    link_send(link, "*IDN?\n");
    const char reset[] = {LINK_RESET_BYTE, '\0'};
    link_send(link, reset);
    char buf[16];
    link_read_line(link, buf, sizeof buf);
    double v[2];
    link_read_values(link, v, 2);
    link.identity = "Quellmarsh,HXM4100,SN0042,2.10";
    link_send(link, "DAV?\n");
    link_read_line(link, buf, sizeof buf);
    link_read_values(link, v, 2);
    comms_log_write("***\tCONNECTED\t***\n");
    const std::vector<std::string> expected = {
        " ***\tLOG FILE OPENED\t***",
        "(00001) [serial:unknown] >>\t*IDN?",
        "(00002) [serial:unknown] >>\t\\024",
        "(00003) [serial:unknown] <<\t",
        "(00004) [serial:unknown]<<\t",
        "(00005) [serial:SN0042]>>\tDAV?",
        "(00006) [serial:SN0042]<<\t",
        "(00007) [serial:SN0042]<<\t",
        "***\tCONNECTED\t***",
    };
    EXPECT_EQ(lines(), expected);
}

TEST_F(CommsLog, CountingGoesOnWhileLoggingIsOff)
{
    link.identity = "Maker,Model"; // two fields: no serial number
    const uint64_t before = comms_log_next_exchange();
    link_send(link, "a\n");
    comms_log_start(folder.string());
    link_send(link, "b\n");
    comms_log_toggle();
    EXPECT_FALSE(comms_log_enabled());
    link_send(link, "c\n");
    comms_log_toggle();
    link_send(link, "d\n");
    const std::vector<std::string> expected = {
        " ***\tLOG FILE OPENED\t***",
        exchange_text(before + 2) + " [serial:unknown] >>\tb",
        exchange_text(before + 4) + " [serial:unknown] >>\td",
    };
    EXPECT_EQ(lines(), expected);
}

TEST_F(CommsLog, NumbersBeyondFiveDigitsKeepAllDigits)
{
    while (comms_log_next_exchange() < 123456) {
    }
    comms_log_start(folder.string());
    link_send(link, "x\n");
    ASSERT_EQ(lines().size(), 2u);
    EXPECT_EQ(lines()[1], "(123457) [serial:unknown] >>\tx");
}

TEST_F(CommsLog, SwitchingOnStartsAFreshFile)
{
    std::ofstream(folder / COMMS_LOG_FILE_NAME) << "old session\r\n";
    comms_log_start(folder.string());
    comms_log_write("first\n");
    EXPECT_EQ(lines(), (std::vector<std::string>{" ***\tLOG FILE OPENED\t***", "first"}));
}

// The layers below the link (the automation layer) log through the seam.
TEST_F(CommsLog, LinesOfTheLayersBelowReachTheLog)
{
    comms_log_start(folder.string());
    log_seam_write("*** Excel Version ID: 16.0 **\n");
    EXPECT_EQ(lines(), (std::vector<std::string>{" ***\tLOG FILE OPENED\t***",
                                                 "*** Excel Version ID: 16.0 **"}));
}

TEST_F(CommsLog, UncreatableFileSwitchesLoggingOffWithOneMessage)
{
    comms_log_start((folder / "missing").string());
    comms_log_write("lost\n");
    comms_log_write("also lost\n");
    EXPECT_FALSE(comms_log_enabled());
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Error opening comms log for writing\nComms Logging disabled");
    EXPECT_EQ(ui.shown()[0].caption, "Error");
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

TEST(CommsLogPath, KeepsAtMost259Characters)
{
    comms_log_set_path(std::string(300, 'p'));
    EXPECT_EQ(comms_log_path().size(), 259u);
}
