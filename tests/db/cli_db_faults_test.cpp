// tarvelo2-cli's database commands when something goes wrong: odd file
// names, another program holding the file, leftover rows, damaged pages and
// texts beyond ASCII. A failing command leaves the file whole and unchanged
// and says why as "[caption] text".
#include "db_form_support.h"
#include "tests/support/build_path.h"
#include "tests/support/cli_failure.h"
#include "tests/support/cli_run.h"
#include "tests/support/db_damage.h"
#include "tests/support/sqlite_reader.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Quotes one word for the shell.
std::string quoted(const std::string& word)
{
    std::string out = "'";
    for (char c : word)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class CliDbFaults : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        create();
        file = path("tests.db");
        add_session("M\xFCller", "u1", {"t1", "t2"});
        db_close();
        write_file("run.txt", "1\t100\t-1\t-45\n2\t200\t-2\t-50\n");
    }

    // The program run in the test's folder, in the given locale.
    cli_output run(const std::string& args, const std::string& locale = "C")
    {
        return run_command_line("cd " + dir + " && LC_ALL=" + locale + " " +
                                    std::string(TARVELO_CLI) + " " + args,
                                dir + "/err.txt");
    }

    std::string file;
};

TEST_F(CliDbFaults, CreateTakesANamePlainlyAndNeverRecreates)
{
    const std::tuple<std::string, int, std::string> cases[] = {
        {"file:tests.db", 0, ""},
        {"file:tests.db", 1, "[Tarvelo2] A file with that name already exists\n"},
        {"tests.db", 1, "[Tarvelo2] A file with that name already exists\n"},
        {"''", 1, "[Database Error] Please give the database a file name\n"},
        {":memory:", 1,
         "[Database Error] \":memory:\" is not a file name the database can be kept "
         "in\n"},
    };
    for (const auto& [name, status, err] : cases) {
        const folder_before before(dir);
        const cli_output r = run("db-create " + name);
        EXPECT_EQ(r.status, status) << name;
        EXPECT_EQ(r.err.substr(0, err.size()), err) << name;
        EXPECT_EQ(file_counts(file), "1 2 6") << name;
        if (status != 0) {
            EXPECT_TRUE(before.failed_cleanly(r)) << name;
        }
    }
    EXPECT_EQ(file_counts(path("file:tests.db")), "0 0 0");
}

TEST_F(CliDbFaults, ALockHeldByAnotherProgramIsReportedAndChangesNothing)
{
    const std::string db = " --db " + file;
    const std::string cases[] = {
        "db-import" + db + " run.txt",
        "db-new-session" + db +
            " --contract XY --unit U --date 1/1/2020 --location L "
            "--performed-by P",
        "db-delete-test" + db + " 1 --yes",
    };
    sqlite_reader reader(file, path("reader.txt"));
    ASSERT_TRUE(reader.holding());
    const folder_before before(dir, {"err.txt", "reader.txt"});
    for (const std::string& args : cases) {
        const cli_output r = run(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_TRUE(before.failed_cleanly(r)) << args;
        EXPECT_NE(r.err.find("[Database Error] Database file is locked\nError Code: 5"),
                  std::string::npos)
            << args << "\n"
            << r.err;
        EXPECT_EQ(file_counts(file), "1 2 6") << args;
    }
}

TEST_F(CliDbFaults, ANewTestNeverTakesOverLeftoverPoints)
{
    // What a delete outside a transaction leaves: points of a test that is gone.
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &handle), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(handle, "DELETE FROM Test WHERE TestNo=2", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(handle);

    const cli_output r = run("db-import --db " + file + " run.txt");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "test 2: run (2 points)\n");
    EXPECT_EQ(run("db-show --db " + file + " 2").out, "100\t-1\t-45\n200\t-2\t-50\n");
    EXPECT_EQ(orphans(file), "0");
}

TEST_F(CliDbFaults, FailuresOfReadsAndSelectionsEndNonZeroWithTheirReason)
{
    const std::string db = " --db " + file;
    const std::string ten = " --tests 1,1,1,1,1,1,1,1,1,1";
    const std::tuple<std::string, int, std::string> cases[] = {
        {"graph-margins" + db + " --tests 1,99", 1, "[Tarvelo2] no test 99\n"},
        {"graph-render" + db + " --tests 1,99 --out c.png", 1, "[Tarvelo2] no test 99\n"},
        {"graph-margins" + db + ten, 2, "[Tarvelo2] You may only select a maximum of 9 tests\n"},
        {"graph-render" + db + ten + " --out c.png", 2,
         "[Tarvelo2] You may only select a maximum of 9 tests\n"},
        {"db-show" + db + " 99", 1, "[Tarvelo2] no test 99\n"},
        {"db-show" + db, 2,
         "[Tarvelo2] usage: db-show --db FILE TESTNO the points of a test: frequency, gain, "
         "phase\n"},
        {"db-compare" + db + " 1 99", 1, "[Tarvelo2] no test 99\n"},
    };
    const folder_before before(dir);
    for (const auto& [args, status, err] : cases) {
        const cli_output r = run(args);
        EXPECT_EQ(r.status, status) << args;
        EXPECT_EQ(r.err, err) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_TRUE(before.failed_cleanly(r)) << args;
    }
    EXPECT_FALSE(std::filesystem::exists(path("c.png")));
}

// Every command that reads tests or lists: a damaged page fails the command
// with the database's message, never an empty answer.
TEST_F(CliDbFaults, ADamagedPageIsAFailureNotAnEmptyAnswer)
{
    const std::string corrupt = "[Database Error] Corrupt Database\nError Code: 11\n";
    const std::string malformed = "[Database Error] database disk image is malformed\n";
    // The lists print what they could read before the damage.
    const std::string session = "session\t1\talpha\tu1\t1/2/2024\tBay alpha\n";
    const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
        {"Data", "db-show --db tests.db 1", corrupt, ""},
        {"Data", "graph-margins --db tests.db --tests 1", corrupt, ""},
        {"Data", "graph-render --db tests.db --tests 1 --out c.png", corrupt, ""},
        {"Data", "db-compare --db tests.db 1 2", corrupt, ""},
        {"Test", "db-view --db tests.db --session 1", malformed, session},
        {"Test", "db-show --db tests.db 1", malformed, ""},
        {"Test", "graph-margins --db tests.db --tests 1,2", malformed, ""},
        {"Test", "graph-render --db tests.db --tests 1 --out c.png", malformed, ""},
        {"Test", "db-compare --db tests.db 1 2", malformed, ""},
    };
    for (const auto& [table, args, err, out] : cases) {
        create("fresh.db");
        add_session("alpha", "u1", {"t1", "t2"});
        db_close();
        std::filesystem::rename(path("fresh.db"), file);
        ASSERT_TRUE(db_damage_table(file, table));
        const std::string bytes = read_file("tests.db");
        const folder_before before(dir);
        const cli_output r = run(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.err, err) << args;
        EXPECT_EQ(r.out, out) << args;
        EXPECT_TRUE(before.failed_cleanly(r)) << args;
        EXPECT_EQ(read_file("tests.db"), bytes) << args;
    }
}

TEST_F(CliDbFaults, TextsAreKeptInWindows1252AndShownInTheLocalesEncoding)
{
    const std::string session = "db-new-session --db tests.db --unit U --date 1/1/2020 "
                                "--location L --performed-by P --contract ";
    const std::string fifty = std::string(49, 'a');
    const std::tuple<std::string, std::string, int, std::string> cases[] = {
        {"C.UTF-8", "Z\xC3\xBCrich \xE2\x82\xAC", 0, "Z\xFCrich \x80"},
        {"C.UTF-8", fifty + "\xC3\xBC" + "b", 0, fifty + "\xFC"},
        {"C.UTF-8", "\xCE\xA9hm", 2, ""},
        {"C", "Z\xFCrich", 0, "Z\xFCrich"}, // no encoding named: bytes as given
    };
    int sessions = 1;
    std::string last = "M\xFCller";
    for (const auto& [locale, contract, status, stored] : cases) {
        const folder_before before(dir);
        const cli_output r = run(session + quoted(contract), locale);
        EXPECT_EQ(r.status, status) << contract;
        sessions += status == 0;
        last = status == 0 ? stored : last;
        const auto rows =
            raw_query(file, "SELECT Name FROM Session ORDER BY SessionNo DESC LIMIT 1");
        EXPECT_EQ(rows[0][0], last) << contract;
        if (status != 0) {
            EXPECT_EQ(r.err.rfind("[Tarvelo2] The text of --contract holds a character", 0), 0u);
            EXPECT_TRUE(before.failed_cleanly(r)) << contract;
        }
    }
    EXPECT_EQ(file_counts(file), std::to_string(sessions) + " 2 6");
    EXPECT_EQ(integrity(file), "ok");

    const cli_output utf8 = run("db-view --db tests.db --asc", "C.UTF-8");
    EXPECT_NE(utf8.out.find("\tM\xC3\xBCller\tu1\t"), std::string::npos) << utf8.out;
    EXPECT_NE(utf8.out.find("\tZ\xC3\xBCrich \xE2\x82\xAC\tU\t"), std::string::npos);
    const cli_output plain = run("db-view --db tests.db --asc", "C");
    EXPECT_NE(plain.out.find("\tM\xFCller\tu1\t"), std::string::npos);

    // A test named after its file: the file name is in the locale's encoding.
    write_file("Z\xC3\xBCrich.txt", read_file("run.txt"));
    const cli_output import = run("db-import --db tests.db Z\xC3\xBCrich.txt", "C.UTF-8");
    EXPECT_EQ(import.out, "test 3: Z\xC3\xBCrich (2 points)\n");
    EXPECT_EQ(raw_query(file, "SELECT Name FROM Test WHERE TestNo=3")[0][0], "Z\xFCrich");
}

TEST_F(CliDbFaults, ADateTheDatabaseCannotKeepIsRefused)
{
    const std::string session = "db-new-session --db tests.db --contract XY --unit U "
                                "--location L --performed-by P --date ";
    const folder_before before(dir);
    const cli_output far = run(session + "1/1/10000");
    EXPECT_EQ(far.status, 4);
    EXPECT_EQ(far.err, "[Tarvelo2] Please enter a valid Date in DD/MM/YYYY format\n");
    EXPECT_TRUE(before.failed_cleanly(far));
    EXPECT_EQ(run(session + "31/12/9999").status, 0);
    EXPECT_EQ(raw_query(file, "SELECT Date FROM Session WHERE SessionNo=2")[0][0],
              "9999-12-31 00:00:00");
    EXPECT_EQ(file_counts(file), "2 2 6");
}

} // namespace

// A file that cannot be written reads without a word and fails a write
// once; a file that lacks tables or is damaged fails a new session.
TEST_F(CliDbFaults, ReadOnlyIsToldOnAWriteAndAFailedWriteFails)
{
    const std::string session = " --contract Contract --unit Unit --date 1/2/2024 --location "
                                "Lab --performed-by Tester";
    sqlite3* only = nullptr;
    ASSERT_EQ(sqlite3_open(path("only.db").c_str(), &only), SQLITE_OK);
    sqlite3_exec(only, "CREATE TABLE Session (SessionNo INTEGER PRIMARY KEY, Name)", nullptr,
                 nullptr, nullptr);
    sqlite3_close(only);
    // The superuser writes any file: the commands run as nobody.
    const std::string as_reader =
        ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    const struct {
        const char* damage; // "read-only" or the table to damage
        std::string args;
        int status;
        const char* says; // "" for nothing
    } cases[] = {
        {"read-only", "db-list --db tests.db", 0, ""},
        {"read-only", "db-show --db tests.db 1", 0, ""},
        {"read-only", "db-import --db tests.db run.txt", 1, "Read Only"},
        {"", "db-list --db only.db", 1, "is not a test database"},
        {"", "db-new-session --db only.db" + session, 1, "is not a test database"},
        {"Session", "db-new-session --db tests.db" + session, 1, "is not a test database"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        create("fresh.db");
        add_session("alpha", "u1", {"t1", "t2"});
        db_close();
        std::filesystem::rename(path("fresh.db"), file);
        const std::string damage = c.damage;
        std::string prefix;
        if (damage == "read-only") {
            ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
            ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
            prefix = as_reader;
        } else if (!damage.empty()) {
            ASSERT_TRUE(db_damage_table(file, damage));
        }
        const cli_output r = run_command_line("cd " + dir + " && " + prefix + "env LC_ALL=C " +
                                                  std::string(TARVELO_CLI) + " " + c.args,
                                              dir + "/err.txt");
        EXPECT_EQ(r.status, c.status) << r.err;
        const size_t at = r.err.find(c.says);
        EXPECT_TRUE(*c.says ? at != std::string::npos : r.err.empty()) << r.err;
        if (*c.says) {
            EXPECT_EQ(r.err.find(c.says, at + 1), std::string::npos) << "said twice: " << r.err;
        }
        EXPECT_EQ(r.out.find("session 2"), std::string::npos) << r.out;
        ::chmod(file.c_str(), 0644);
    }
}
