// tarvelo2-cli's archive commands as a bench runs them: test files filled
// from simulated sweeps, pushed at once from two processes, pulled into a
// third file; pushes cut short by SIGKILL and by a server restart.

#include "db/db_access.h"
#include "db/db_connection.h"
#include "tests/archive/archive_fixture.h"
#include "tests/support/build_path.h"
#include "tests/support/cli_sim_fixture.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class ArchiveCli : public cli_sim_fixture {
protected:
    void SetUp() override
    {
        cli_sim_fixture::SetUp();
        ARCHIVE_CLUSTER_OR_SKIP(shared);
        use(shared);
    }

    // Takes a fresh database of cluster c as the archive.
    void use(archive_cluster& c)
    {
        ASSERT_TRUE(c.running()) << c.failure();
        cluster = &c;
        url = c.fresh_database();
        ASSERT_FALSE(url.empty()) << c.last_error();
        database = archive_database_name(url);
    }

    cli_output archive(const std::string& args, const std::string& err = "err.txt")
    {
        return run_command_line("LC_ALL=C " + std::string(TARVELO_CLI) + " " + args +
                                    " --archive '" + url + "'",
                                dir + "/" + err);
    }

    // A file with one session and a sweep from the simulator per test name.
    void bench(const std::string& file, const std::string& contract, int year,
               const std::vector<std::string>& tests)
    {
        bool is_new = false;
        ASSERT_TRUE(db_open(dir + "/" + file, DB_OPEN_OR_CREATE, &is_new));
        s_session s;
        s.Name = contract, s.Unit = "T4", s.Location = "Northfield";
        s.year = year, s.month = 5, s.day = 20;
        ASSERT_EQ(db_save_session(s, false), 0);
        db_close();
        for (const std::string& test : tests) {
            const cli_output r =
                run_cli("fra-sweep --data " + dir + " --db " + dir + "/" + file + " --session " +
                        contract + " --test '" + test + "' --winding H1-H2");
            ASSERT_EQ(r.status, 0) << r.err;
        }
    }

    int64_t count(const std::string& sql) { return std::stoll(cluster->value(sql, database)); }

    // Tests whose points are not all there, and points of no test.
    int64_t partial()
    {
        return count("SELECT (SELECT count(*) FROM archive_test t WHERE point_count <> "
                     "(SELECT count(*) FROM archive_point p WHERE p.test_id = t.id)) + "
                     "(SELECT count(*) FROM archive_point p WHERE NOT EXISTS "
                     "(SELECT 1 FROM archive_test t WHERE t.id = p.test_id))");
    }

    archive_cluster* cluster = nullptr;
    std::string url;
    std::string database;
};

std::vector<std::string> column(const std::string& out, size_t index)
{
    std::vector<std::string> values;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string field;
        for (size_t i = 0; i <= index && std::getline(fields, field, '\t'); ++i) {
        }
        values.push_back(field);
    }
    return values;
}

TEST_F(ArchiveCli, TwoBenchesPushAtOnceAndPulledTestsCompareAsTheOriginals)
{
    bench("a.db", "C-7", 2025, {"reference", "after transport"});
    bench("b.db", "C-9", 2026, {"commissioning"});
    cli_output a, b;
    std::thread first([&] { a = archive("archive-push --db " + dir + "/a.db", "a.err"); });
    std::thread second([&] { b = archive("archive-push --db " + dir + "/b.db", "b.err"); });
    first.join(), second.join();
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(column(a.out, 1), (std::vector<std::string>{"pushed", "pushed"}));
    EXPECT_EQ(a.err, "[Tarvelo2] 2 tests pushed, 0 already archived\n");
    const cli_output again = archive("archive-push --db " + dir + "/a.db --session 1");
    EXPECT_EQ(column(again.out, 1), (std::vector<std::string>{"archived", "archived"}));
    EXPECT_EQ(count("SELECT count(*) FROM archive_test"), 3);

    const cli_output found = archive("archive-search --contract c-7 --winding H1-H2");
    ASSERT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(column(found.out, 5), (std::vector<std::string>{"reference", "after transport"}));
    EXPECT_EQ(column(found.out, 0), column(a.out, 0));
    EXPECT_EQ(column(found.out, 3), (std::vector<std::string>{"2025-05-20", "2025-05-20"}));

    const std::vector<std::string> ids = column(found.out, 0);
    const cli_output pulled =
        archive("archive-pull --db " + dir + "/lab.db " + ids[0] + " " + ids[1]);
    ASSERT_EQ(pulled.status, 0) << pulled.err;
    EXPECT_EQ(pulled.out, ids[0] + "\tpulled\t1\n" + ids[1] + "\tpulled\t2\n");
    const cli_output original = run_cli("db-compare --db " + dir + "/a.db 1 2");
    const cli_output copy = run_cli("db-compare --db " + dir + "/lab.db 1 2");
    ASSERT_EQ(original.status, 0) << original.err;
    EXPECT_FALSE(original.out.empty());
    EXPECT_EQ(copy.out, original.out);
}

TEST_F(ArchiveCli, BadInputIsToldWithItsExitStatusAndTouchesNoFile)
{
    bench("a.db", "C-7", 2025, {"reference"});
    const std::string foreign = archive_database_name(cluster->fresh_database());
    ASSERT_TRUE(cluster->admin("CREATE TABLE invoices (id int)", foreign)) << cluster->last_error();
    const std::string good = url;
    const struct {
        std::string address;
        std::string args;
        int status;
        const char* says;
    } cases[] = {
        {"postgresql://tarvelo@127.0.0.1:1/archive", "archive-search", 1,
         "[Tarvelo2] The archive cannot be reached: "},
        {cluster->uri(foreign), "archive-push --db " + dir + "/a.db", 4,
         "[Tarvelo2] The database holds other tables and no archive"},
        {good, "archive-search", 4, "[Tarvelo2] The database holds no archive yet"},
        {good, "archive-pull --db " + dir + "/new.db 1", 4, "[Tarvelo2] The database holds no"},
        {good, "archive-search --from 20/05/2025", 4, "give dates as YYYY-MM-DD"},
        {good, "archive-pull --db " + dir + "/new.db x1", 2, "usage: archive-pull"},
        {good, "archive-push --db " + dir + "/a.db --session 0", 2, "usage: archive-push"},
        {good, "archive-push --db " + dir + "/a.db --session 5", 4, "no session 5"},
    };
    for (const auto& c : cases) {
        url = c.address;
        const cli_output r = archive(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/new.db"));
}

// Pushes a file of many large tests in a child process, cuts it short once
// a few tests are in, and checks no test is partial and the next push
// completes. The server restarted is this program's own.
TEST_F(ArchiveCli, APushCutShortLeavesNoPartialTestAndTheNextCompletes)
{
    use(archive_cluster::own());
    if (HasFatalFailure())
        return;
    bool is_new = false;
    ASSERT_TRUE(db_open(dir + "/big.db", DB_OPEN_OR_CREATE, &is_new));
    const int64_t session = archive_add_session("C-1", "T1", 2026, "Northfield");
    constexpr int tests = 40;
    for (int i = 0; i < tests; ++i)
        archive_add_test(session, "run " + std::to_string(i), "H1", 3000, 1 + i);
    db_close();
    const struct {
        const char* how;
        std::function<void(pid_t)> interrupt;
    } cases[] = {
        {"SIGKILL", [](pid_t pid) { ::kill(pid, SIGKILL); }},
        {"server restart",
         [this](pid_t) { ASSERT_TRUE(cluster->restart()) << cluster->failure(); }},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(cluster->admin("DROP SCHEMA public CASCADE; CREATE SCHEMA public", database))
            << cluster->last_error();
        const pid_t pid = ::fork();
        if (pid == 0) {
            const std::string command = "exec " + std::string(TARVELO_CLI) + " archive-push --db " +
                                        dir + "/big.db --archive '" + url + "' >/dev/null 2>&1";
            ::execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
            ::_exit(127);
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < until &&
               count("SELECT count(*) FROM pg_tables WHERE tablename = 'archive_test'") == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (std::chrono::steady_clock::now() < until &&
               count("SELECT count(*) FROM archive_test") < 3)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        c.interrupt(pid);
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_EQ(partial(), 0) << c.how;
        const cli_output next = archive("archive-push --db " + dir + "/big.db");
        EXPECT_EQ(next.status, 0) << c.how << ": " << next.err;
        EXPECT_EQ(count("SELECT count(*) FROM archive_test"), tests) << c.how;
        EXPECT_EQ(partial(), 0) << c.how;
    }
}

} // namespace
