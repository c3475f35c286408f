// What the export commands write, and only that: a failure reaches the exit
// status, the "written" lines name exactly the files this run wrote, and an
// existing file is replaced only when allowed, only whole, and never when
// it may not be opened for writing.

#include "tests/fra/cli_export_fixture.h"
#include "tests/support/build_path.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string ROW = "\t1.5E+000\t7.5E-001\t-6.0E+000\t-4.5E+001\t2.0E-003";
const std::string DATE = "07-12-2026 - 09:35\r\n";

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void put(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Root passes every permission check, so a read-only file stops the program
// only when it runs as a user without privileges.
std::string unprivileged()
{
    return ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
}

// A file system that takes no more than 4 KB from the program: a full disk
// as the program meets it, for root too.
const std::string FULL_DISK = "trap '' XFSZ; ulimit -f 8; ";

class CliExportFiles : public CliExport {
protected:
    cli_output cli(const std::string& args, const std::string& prefix = "", bool connected = false)
    {
        const std::string link =
            connected ? " --lan 127.0.0.1 --port " + std::to_string(server->tcp_port()) : "";
        return run_command_line(prefix + TARVELO_CLI + link + " " + args, dir + "/err.txt");
    }
    // A folder of sweep files, one per entry; "" leaves that number out.
    std::string sweeps(const std::string& name, const std::vector<std::string>& rows)
    {
        const std::string folder = dir + "/" + name;
        fs::create_directories(folder);
        for (size_t k = 0; k < rows.size(); ++k)
            if (!rows[k].empty())
                put(folder + "/sweep" + std::to_string(k + 1) + ".dat", DATE + rows[k]);
        return folder;
    }
    // A database holding the fixture's sweep as test 1.
    std::string database()
    {
        const std::string db = dir + "/tests.db";
        EXPECT_EQ(cli("db-create " + db).status, 0);
        EXPECT_EQ(cli("db-import --db " + db + " " + dir + "/sweep1.dat").status, 0);
        return db;
    }
    bool temporaries_left() const
    {
        for (const auto& entry : fs::recursive_directory_iterator(dir))
            if (entry.path().filename().string().rfind(".t2", 0) == 0)
                return true;
        return false;
    }
};

} // namespace

// A workbook or document that cannot be written, or that would hold no
// readable sweep or test, fails the command with its reason and no
// "written" line for it.
TEST_F(CliExportFiles, UnwrittenReportsFailTheCommand)
{
    const std::string blocked = sweeps("blocked", {"1\t10.0000" + ROW});
    put(blocked + "/reports", "a file where the folder should be");
    const std::string unreadable = sweeps("unreadable", {"garbage", "1\t10.0000"});
    const std::string db = database();
    const std::string refused =
        "Unable to write the report into the folder " + blocked + "/reports";
    const struct {
        std::string args;
        bool connected;
        std::string out;
        std::string said;
    } cases[] = {
        {"fra-export --series 1 --format xlsx --data " + blocked, false, "", refused},
        {"fra-export --from-sweep-file " + dir + "/sweep1.dat --format xlsx --data " + blocked,
         false, "", refused},
        {"db-export --db " + db + " 1 --format xlsx --data " + blocked, false, "", refused},
        {"screen-capture --bmp " + dir + "/s.bmp --word --data " + blocked, true,
         "written " + dir + "/s.bmp\n", refused},
        {"fra-export --series 2 --format xlsx --data " + unreadable, false, "",
         "None of the sweep files could be read, nothing was written: sweep1.dat, sweep2.dat"},
        {"fra-export --series 2 --format csv --out " + dir + "/u.txt --data " + unreadable, false,
         "", "These sweep files could not be read and were not exported: sweep1.dat, sweep2.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const cli_output r = cli(c.args, "", c.connected);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, c.out);
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(unreadable + "/reports"));
    EXPECT_FALSE(temporaries_left());
}

// "written" lines name the files of this run: a sweep that could not be
// read names none, and when a later file fails the earlier ones are named.
TEST_F(CliExportFiles, WrittenLinesNameExactlyTheFilesWritten)
{
    const std::string good = "1\t10.0000" + ROW;
    const std::string data = sweeps("three", {good, "1\t10.0000\t1.5E+000\t7.5E-001", good});
    const std::string first = dir + "/run #07-12-2026 @09_35.txt";
    const std::string third = dir + "/run 3 #07-12-2026 @09_35.txt";
    const std::string series =
        "fra-export --series 3 --format csv --out " + dir + "/run.txt --yes --data " + data;
    cli_output r = cli(series);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "written " + first + "\nwritten " + third + "\n");
    EXPECT_NE(r.err.find("not exported: sweep2.dat"), std::string::npos) << r.err;

    fs::remove(third);
    fs::create_directory(third); // the third file cannot be written
    r = cli(series);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "written " + first + "\n");
    EXPECT_NE(r.err.find("Unable to create CSV file\n" + third), std::string::npos) << r.err;

    put(dir + "/s2.txt", "stale");
    r = cli("db-export --db " + database() + " 1 999 1 --format csv --out " + dir + "/s.txt");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(fs::exists(dir + "/s1.txt"));
}

// db-export says what it cannot export, takes the window's nine tests at
// most, and heads its files with the block read from the instrument.
TEST_F(CliExportFiles, DbExportNamesWhatItCannotExport)
{
    const std::string db = " --db " + database() + " --format csv --out " + dir + "/t.txt ";
    const struct {
        std::string tests;
        int status;
        std::string said;
    } cases[] = {
        {"", 2, "[Tarvelo2] Please add some tests to export"},
        {"1 1 1 1 1 1 1 1 1 1", 2, "[Tarvelo2] Please add some tests to export"},
        {"abc", 1, "abc is not a test number"},
        {"999", 1, "test 999 is not in the database"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tests);
        const cli_output r = cli("db-export" + db + c.tests);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
    const cli_output tests = cli("db-export" + db + "1 1 1 1 1 1 1 1 1", "", true);
    ASSERT_EQ(tests.status, 0) << tests.err;
    EXPECT_EQ(std::count(tests.out.begin(), tests.out.end(), '\n'), 9);
    EXPECT_NE(tests.out.find("written " + dir + "/t9.txt\n"), std::string::npos);
    ASSERT_EQ(cli("fra-export --from-sweep-file " + dir + "/sweep1.dat --format csv --out " + dir +
                      "/f.txt",
                  "", true)
                  .status,
              0);
    const std::string block = slurp(dir + "/f.txt");
    const std::string stored = slurp(dir + "/t1.txt");
    const size_t end = block.find("data start sweep 1");
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(stored.substr(0, end), block.substr(0, end));
}

// An existing file is replaced only with --yes, then whole and with its
// permissions; one that may not be opened for writing, and one the disk
// has no room to replace, stay as they were; nothing is left behind.
TEST_F(CliExportFiles, ExistingFilesAreReplacedOnlyWholeAndWhenAllowed)
{
    fs::permissions(dir, fs::perms::all); // the unprivileged run works in it too
    const std::string target = dir + "/kept.txt";
    const std::string text =
        "fra-export --from-sweep-file " + dir + "/sweep1.dat --format csv --out " + target;
    const std::string bmp = dir + "/kept.bmp";
    const std::string picture = "screen-capture --bmp " + bmp;
    const struct {
        std::string args;
        std::string prefix;
        bool connected;
        fs::perms mode;
        int status;
        bool kept;
    } cases[] = {
        {text, "", false, fs::perms(0640), 4, true},
        {text + " --no", "", false, fs::perms(0640), 4, true},
        {text + " --yes", unprivileged(), false, fs::perms(0444), 1, true},
        {text + " --yes", "", false, fs::perms(0640), 0, false},
        {picture, "", true, fs::perms(0640), 4, true},
        {picture + " --yes", FULL_DISK, true, fs::perms(0640), 1, true},
        {picture + " --yes", "", true, fs::perms(0640), 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.prefix + c.args);
        const std::string file = c.args.find(bmp) != std::string::npos ? bmp : target;
        fs::remove(file);
        put(file, "keep");
        fs::permissions(file, c.mode);
        const cli_output r = cli(c.args, c.prefix, c.connected);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(slurp(file) == "keep", c.kept);
        EXPECT_EQ(fs::status(file).permissions(), c.mode);
        EXPECT_EQ(r.out, c.kept ? "" : "written " + file + "\n");
        EXPECT_FALSE(temporaries_left());
    }
    EXPECT_NE(cli(text + " --yes", unprivileged()).err.find("Unable to create CSV file\n" + target),
              std::string::npos);

    fs::remove(bmp); // a full disk leaves no part of a new picture either
    EXPECT_EQ(cli(picture, FULL_DISK, true).status, 1);
    EXPECT_FALSE(fs::exists(bmp));
    EXPECT_FALSE(temporaries_left());

    const std::string longest = dir + "/" + std::string(246, 'n') + ".txt"; // 250 bytes
    const cli_output r =
        cli("fra-export --from-sweep-file " + dir + "/sweep1.dat --format csv --out " + longest);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(longest));
}
