#include "base/app_settings.h"
#include "base/profile_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("tarvelo_settings_" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string text_of(const fs::path& p)
    {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path dir;
};

std::tm sample_time()
{
    std::tm t{};
    t.tm_hour = 7;
    t.tm_min = 5;
    t.tm_sec = 9;
    t.tm_mday = 3;
    t.tm_mon = 0;
    t.tm_year = 126;
    return t;
}

} // namespace

TEST_F(SettingsFile, WritesKeepOtherLinesAndReadsIgnoreCaseAndLineEnds)
{
    const std::string f = (dir / "a.ini").string();
    {
        std::ofstream out(f, std::ios::binary);
        out << "; kept\n[init]\nCreated=x\n\n[Other]\nKey = \"quoted value\"\n";
    }
    EXPECT_EQ(profile_read(f, "Init", "created", "-"), "x");
    EXPECT_EQ(profile_read(f, "OTHER", "key", "-"), "quoted value");
    EXPECT_EQ(profile_read(f, "Init", "Missing", "dflt"), "dflt");
    EXPECT_EQ(profile_read_int(f, "Init", "Missing", -3), -3);
    ASSERT_TRUE(profile_write(f, "Init", "DatabaseFile", "/tmp/x.db"));
    ASSERT_TRUE(profile_write(f, "Init", "Created", "y"));
    ASSERT_TRUE(profile_write(f, "Connect", "Interface", "2"));
    EXPECT_EQ(text_of(f),
              "; kept\r\n[init]\r\nCreated=y\r\nDatabaseFile=/tmp/x.db\r\n\r\n[Other]\r\n"
              "Key = \"quoted value\"\r\n[Connect]\r\nInterface=2\r\n");
    EXPECT_EQ(profile_read_int(f, "Connect", "Interface", 0), 2);
}

TEST_F(SettingsFile, FirstStartCreatesFoldersAndCreatedKeyOnlyOnce)
{
    const s_app_paths p = app_paths((dir / "nested" / "root").string());
    EXPECT_TRUE(p.settings_file.ends_with("Quellmarsh/Tarvelo/Tarvelo.ini"));
    EXPECT_TRUE(settings_prepare(p, sample_time()));
    EXPECT_EQ(profile_read(p.settings_file, "Init", "Created", ""), "07:05:09 3/1/2026");
    std::tm later = sample_time();
    later.tm_hour = 9;
    EXPECT_FALSE(settings_prepare(p, later));
    EXPECT_EQ(profile_read(p.settings_file, "Init", "Created", ""), "07:05:09 3/1/2026");
}

TEST_F(SettingsFile, ConnectDefaultsRoundTripAndDiscoveryAddressDefaultsToBroadcast)
{
    const s_app_paths p = app_paths(dir.string());
    settings_prepare(p, sample_time());
    s_connect_defaults c = settings_connect(p);
    EXPECT_EQ(c.interface, 0);
    EXPECT_EQ(c.discovery_address, "255.255.255.255");
    c.interface = 2;
    c.ip_address = "127.0.0.1";
    c.port_name = "/dev/ttyUSB0";
    c.baud_rate = 9600;
    settings_save_connect(p, c);
    profile_write(p.settings_file, "Connect", "DiscoveryAddress", "127.255.255.255");
    const s_connect_defaults r = settings_connect(p);
    EXPECT_EQ(r.interface, 2);
    EXPECT_EQ(r.ip_address, "127.0.0.1");
    EXPECT_EQ(r.port_name, "/dev/ttyUSB0");
    EXPECT_EQ(r.baud_rate, 9600);
    EXPECT_EQ(r.discovery_address, "127.255.255.255");
}

// Saving the connection into a file edited by hand or by another program
// reads back as saved and leaves every other key as it read before.
TEST_F(SettingsFile, SavingConnectionIntoOddFilesKeepsTheOtherKeys)
{
    const struct {
        const char* text;
        const char* database; // "Init"/"DatabaseFile" before and after
    } cases[] = {
        {"", ""},
        {"DatabaseFile=/no/section.db\n[Init]", ""},
        {"[Init]\nDatabaseFile=/a.db", "/a.db"},
        {"[Connect]\nIPAddr=10.0.0.1\n[Connect]\nIPAddr=10.0.0.2\n[Init]\r\nDatabaseFile=/b.db\r\n",
         "/b.db"},
        {"[ init ]\r\ndatabasefile = '/c.db'\n[Connect]=5\nComPort\n", "/c.db"},
        {"[Connect\n]\n[Init]\n\n\nDatabaseFile=\"/d.db\"\n\n[Connect]\nBaudRate=9600x\n", "/d.db"},
    };
    const s_app_paths p = app_paths(dir.string());
    fs::create_directories(p.data_folder);
    const s_connect_defaults saved{1, "/dev/ttyUSB0", 38400, "127.0.0.1", "127.255.255.255"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::ofstream(p.settings_file, std::ios::binary | std::ios::trunc) << c.text;
        const std::string discovery = settings_connect(p).discovery_address;
        EXPECT_EQ(settings_database_file(p), c.database);
        settings_save_connect(p, saved);
        const s_connect_defaults r = settings_connect(p);
        EXPECT_EQ(r.interface, saved.interface);
        EXPECT_EQ(r.port_name, saved.port_name);
        EXPECT_EQ(r.baud_rate, saved.baud_rate);
        EXPECT_EQ(r.ip_address, saved.ip_address);
        EXPECT_EQ(r.discovery_address, discovery);
        EXPECT_EQ(settings_database_file(p), c.database);
    }
}
