// Every writer of the program leaves its target as it was or whole and new:
// under a file size limit (a full disk) and when killed at any of its writes.
// No temporary file is left that is not whole, and a test database always
// passes its integrity check.

#include "base/profile_file.h"
#include "base/text_file.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_import.h"
#include "db/sweep_file.h"
#include "graph/bmp_file.h"
#include "tests/support/cli_run.h"
#include "tests/support/kill_matrix.h"

#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

struct writer_row {
    const char* what;
    const char* target;                  // its file name in the folder
    void (*prepare)(const std::string&); // the old state of the folder
    bool (*write)(const std::string&);   // the writer on the folder
    bool database;
};

std::string bytes_of(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return "(absent)";
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> sweep_rows(int count)
{
    std::vector<std::string> rows;
    for (int i = 1; i <= count; ++i) {
        const double values[] = {10.0 * i, -0.5 * i, 1.25 * i};
        rows.push_back(sweep_file_row(i, values));
    }
    return rows;
}

std::string settings_text()
{
    std::string text = "[Init]\r\nCreated=10:00:00 1/1/2026\r\n[Connect]\r\nIPAddr=10.0.0.1\r\n";
    for (int i = 0; i < 200; ++i)
        text += "[Window" + std::to_string(i) + "]\r\nGeometry=10,30,1380,940\r\n";
    return text;
}

void put(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

void old_files(const std::string& dir)
{
    sweep_file_write(dir + "/sweep1.dat", 1700000000, sweep_rows(3));
    sweep_file_mark_mode(dir, "FRA");
    put(dir + "/Tarvelo.ini", settings_text());
    put(dir + "/out.csv", "old export\r\n");
    put(dir + "/chart.bmp", "old bitmap");
}

void old_database(const std::string& dir)
{
    old_files(dir);
    bool is_new = false;
    db_open(dir + "/t.db", DB_OPEN_OR_CREATE, &is_new);
    s_session session;
    session.Name = "Bench";
    db_save_session(session, false);
    db_close();
}

bool store(const std::string& dir)
{
    if (!db_open(dir + "/t.db", DB_OPEN_EXISTING))
        return false;
    s_test test;
    test.SessionNo = 1;
    test.Name = "stored";
    for (int i = 0; i < 500; ++i) {
        const s_test_point point{double(i), 1.0, -double(i)};
        test_add_point(test, &point);
    }
    return db_store_test(test);
}

bool import(const std::string& dir)
{
    s_test test;
    return db_open(dir + "/t.db", DB_OPEN_EXISTING) &&
           db_import_sweep_file(dir + "/sweep1.dat", test).status == db_import_status::ok;
}

const writer_row WRITERS[] = {
    {"sweep file", "sweep1.dat", old_files,
     [](const std::string& d) { return sweep_file_write(d + "/sweep1.dat", 0, sweep_rows(400)); },
     false},
    {"mode file", "sweeps.mode", old_files,
     [](const std::string& d) { return sweep_file_mark_mode(d, "LCR 5"); }, false},
    {"settings", "Tarvelo.ini", old_files,
     [](const std::string& d) {
         return profile_write(d + "/Tarvelo.ini", "Connect", "IPAddr", "127.0.0.1");
     },
     false},
    {"text export", "out.csv", old_files,
     [](const std::string& d) {
         return export_write_text_file(d + "/out.csv", std::string(9000, 'x') + "\n");
     },
     false},
    {"bitmap export", "chart.bmp", old_files,
     [](const std::string& d) {
         s_bmp_image image{60, 60, std::vector<uint8_t>(60 * 60 * 3, 0x80)};
         return bmp_write_file(d + "/chart.bmp", image) == 0;
     },
     false},
    {"database create", "new.db", old_files,
     [](const std::string& d) {
         bool is_new = false;
         return db_open(d + "/new.db", DB_OPEN_OR_CREATE, &is_new);
     },
     true},
    {"database store", "t.db", old_database, store, true},
    {"database import", "t.db", old_database, import, true},
};

// A database as its integrity check and row counts show it.
std::string state_of(const writer_row& row, const std::string& dir)
{
    const std::string path = dir + "/" + row.target;
    if (!row.database || !fs::exists(path))
        return bytes_of(path);
    const std::string sql = "PRAGMA integrity_check; SELECT count(*) FROM sqlite_master; "
                            "SELECT count(*) FROM Test; SELECT count(*) FROM Data;";
    return run_command_line("sqlite3 '" + path + "' \"" + sql + "\"", "/dev/null").out;
}

std::vector<std::string> temporaries(const std::string& dir)
{
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string().rfind(".t2", 0) == 0)
            found.push_back(entry.path().string());
    return found;
}

class WritersWhole : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-whole-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }
    void reset(const writer_row& row)
    {
        fs::remove_all(dir);
        fs::create_directory(dir);
        row.prepare(dir);
    }
    std::string dir;
};

} // namespace

TEST_F(WritersWhole, ASizeLimitFailsTheWriteAndKeepsTheOldFile)
{
    for (const writer_row& row : WRITERS) {
        SCOPED_TRACE(row.what);
        reset(row);
        const std::string before = state_of(row, dir);
        const pid_t child = ::fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{1, 1}; // bytes past the first are refused
            ::setrlimit(RLIMIT_FSIZE, &limit);
            ::_exit(row.write(dir) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "status " << status;
        EXPECT_EQ(state_of(row, dir), before);
        EXPECT_TRUE(temporaries(dir).empty());
    }
}

TEST_F(WritersWhole, KilledAtEveryWriteLeavesTheOldOrTheWholeNewFile)
{
    int points = 0;
    for (const writer_row& row : WRITERS) {
        SCOPED_TRACE(row.what);
        reset(row);
        const std::string before = state_of(row, dir);
        ASSERT_FALSE(kill_at_write([&] { ::_exit(row.write(dir) ? 0 : 1); }, INT_MAX));
        const std::string after = state_of(row, dir);
        const std::string whole = bytes_of(dir + "/" + row.target);
        ASSERT_NE(after, before);
        ASSERT_TRUE(temporaries(dir).empty());
        kill_case c{[&] { reset(row); }, [&] { row.write(dir); },
                    [&](bool killed) {
                        const std::string now = state_of(row, dir);
                        EXPECT_TRUE(now == before || now == after) << "killed " << killed;
                        // A kill between naming the whole file and its rename
                        // may leave it; the next write removes it.
                        const std::vector<std::string> left = temporaries(dir);
                        for (const std::string& t : left)
                            EXPECT_TRUE(bytes_of(t) == whole) << t << " is not whole";
                        if (!left.empty()) {
                            kill_at_write([&] { ::_exit(row.write(dir) ? 0 : 1); }, INT_MAX);
                            EXPECT_TRUE(temporaries(dir).empty()) << "not removed";
                        }
                    }};
        const int ran = kill_at_every_write(c);
        EXPECT_GT(ran, 0);
        std::printf("%s: %d kill points\n", row.what, ran);
        points += ran;
    }
    std::printf("kill points: %d\n", points);
    RecordProperty("kill_points", points);
}
