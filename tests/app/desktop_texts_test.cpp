// The shell's plain texts: what the status line says of the instrument and
// the database, and where the guide and the licences are looked for.

#include "app/doc_lookup.h"
#include "app/status_texts.h"
#include "link/link.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdlib.h>

namespace fs = std::filesystem;

TEST(StatusTexts, InstrumentNamesModelSerialAndInterface)
{
    const struct {
        bool identified;
        int32_t interface;
        const char* identity;
        const char* expected;
    } cases[] = {
        {false, LINK_LAN, "Quellmarsh,HXM4100,SN0042,2.10", "Not connected"},
        {true, LINK_LAN, "Quellmarsh,HXM4100,SN0042,2.10", "HXM4100 serial SN0042, LAN 10.1.2.3"},
        {true, LINK_USB, "Quellmarsh,HXM6300,SN7,1.0", "HXM6300 serial SN7, USB /dev/ttyUSB0"},
        {true, LINK_SERIAL, "Maker,Model", "Model, Serial /dev/ttyUSB0"},
        {true, LINK_NONE, "", "Instrument"},
    };
    for (const auto& c : cases) {
        s_link link;
        link.identified = c.identified;
        link.interface = c.interface;
        link.identity = c.identity;
        link.ip_address = "10.1.2.3";
        link.port_name = "/dev/ttyUSB0";
        EXPECT_EQ(status_instrument_text(link), c.expected) << c.identity;
    }
    EXPECT_EQ(status_database_name("/home/u/tests/default.db"), "default.db");
    EXPECT_EQ(status_database_name("plain.db"), "plain.db");
    const struct {
        const char* path;
        const char* home;
        const char* shown;
    } paths[] = {
        {"/home/u/tests/default.db", "/home/u", "~/tests/default.db"},
        {"/home/u/default.db", "/home/u/", "~/default.db"},
        {"/home/user/default.db", "/home/u", "/home/user/default.db"},
        {"/home/u", "/home/u", "/home/u"},
        {"/srv/default.db", "/", "/srv/default.db"},
        {"/srv/default.db", "", "/srv/default.db"},
        {"plain.db", "/home/u", "plain.db"},
    };
    for (const auto& p : paths)
        EXPECT_EQ(status_database_path(p.path, p.home), p.shown) << p.path << " " << p.home;
}

TEST(DocLookup, SearchesEnvironmentThenInstallationThenSourceTree)
{
    char pattern[] = "/tmp/tarvelo-docs-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path root = pattern;
    const fs::path env = root / "env", prefix = root / "usr", source = root / "src" / "docs";
    const fs::path installed = prefix / "share" / "doc" / "tarvelo2";
    for (const fs::path& dir : {env, prefix / "bin", installed / "licences", source})
        fs::create_directories(dir);
    std::ofstream(installed / "guide.md") << "# Guide\n";
    std::ofstream(installed / "licences" / "qt.txt") << "LGPL\n";
    std::ofstream(source / "guide.md") << "# Source guide\n";
    fs::create_directories(env / "guide.md"); // a folder of that name is no guide

    const std::vector<std::string> folders =
        doc_folders(env.c_str(), (prefix / "bin").string(), source.string());
    ASSERT_EQ(folders, (std::vector<std::string>{env, installed, source}));
    EXPECT_EQ(doc_folders("", "", "").size(), 0u);
    EXPECT_EQ(doc_folders(nullptr, "", "/s").size(), 1u);

    const s_doc_search guide = doc_find(folders, "guide.md");
    EXPECT_EQ(guide.path, (installed / "guide.md").string());
    EXPECT_EQ(guide.looked.size(), 2u);
    EXPECT_EQ(doc_find(folders, "licences/qt.txt").path, (installed / "licences/qt.txt").string());

    const s_doc_search missing = doc_find(folders, "licences/zip.txt");
    EXPECT_TRUE(missing.path.empty());
    ASSERT_EQ(missing.looked.size(), 3u);
    const std::string text = doc_missing_text("The licence text of libzip", missing);
    EXPECT_EQ(text.rfind("The licence text of libzip was not found.", 0), 0u) << text;
    for (const std::string& place : missing.looked)
        EXPECT_NE(text.find("\n" + place), std::string::npos) << place;
    fs::remove_all(root);
}
