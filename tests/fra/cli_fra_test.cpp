// tarvelo2-cli's FRA commands, run as a child process against the simulator.

#include "db/db_access.h"
#include "db/db_connection.h"
#include "sim/server.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct cli_result {
    int status = -1;
    std::string out;
};

class CliFra : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-cli-fra-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        sim::sim_options options;
        options.tcp_host = "127.0.0.1";
        options.tcp_port = 0;
        options.instrument.time_scale = 0;
        server = std::make_unique<sim::sim_server>(options);
        server->start();
    }
    void TearDown() override
    {
        server->stop();
        fs::remove_all(dir);
    }
    cli_result run(const std::string& args)
    {
        const std::string cmd = std::string(TARVELO_CLI) + " --lan 127.0.0.1 --port " +
                                std::to_string(server->tcp_port()) + " " + args + " 2>" + dir +
                                "/err.txt";
        cli_result r;
        FILE* p = ::popen(cmd.c_str(), "r");
        if (!p)
            return r;
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            r.out.append(buf, n);
        const int status = ::pclose(p);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return r;
    }
    void make_session()
    {
        bool is_new = false;
        ASSERT_TRUE(db_open(dir + "/t.db", DB_OPEN_OR_CREATE, &is_new));
        s_session s;
        s.Name = "Bench";
        s.day = s.month = 2;
        s.year = 2025;
        ASSERT_EQ(db_save_session(s, false), 0);
        db_close();
    }
    // The names of the tests stored, in the order they were stored.
    std::vector<std::string> test_names(int points)
    {
        bool is_new = false;
        EXPECT_TRUE(db_open(dir + "/t.db", DB_OPEN_EXISTING, &is_new));
        std::vector<std::string> names;
        s_test t;
        for (int64_t no = 1; db_get_test(t, no, true) == 0 && t.TestNo == no; ++no) {
            names.push_back(t.Name);
            EXPECT_EQ(t.points.count(), points) << t.Name;
        }
        db_close();
        return names;
    }
    static int lines(const std::string& text)
    {
        int n = 0;
        for (char c : text)
            n += c == '\n';
        return n;
    }

    std::string dir;
    std::unique_ptr<sim::sim_server> server;
};

} // namespace

TEST_F(CliFra, SeriesOfThreeStoredAsTests)
{
    make_session();
    const cli_result r = run("fra-sweep --repeat 3 --interval-ms 300 --data " + dir + " --db " +
                             dir + "/t.db --session bench --test Run --winding HV");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(lines(r.out), 300);
    EXPECT_EQ(r.out.substr(0, 10), "1\t10.0000\t");
    for (const char* f : {"sweep1.dat", "sweep2.dat", "sweep3.dat"})
        EXPECT_TRUE(fs::exists(dir + "/" + f)) << f;
    EXPECT_FALSE(fs::exists(dir + "/sweep4.dat"));
    EXPECT_EQ(test_names(100), (std::vector<std::string>{"Run", "Run 2", "Run 3"}));
}

TEST_F(CliFra, TimerDueWhileASweepRunsOnlyKeepsTheBooks)
{
    make_session();
    // The first sweep switches the instrument's mode and waits two seconds,
    // so the next sweep falls due while it still runs.
    ASSERT_EQ(run("config-set 1 3").status, 0);
    const cli_result r = run("fra-sweep --repeat 2 --interval-ms 100 --data " + dir + " --db " +
                             dir + "/t.db --session bench --test Run --winding HV");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(lines(r.out), 200);
    EXPECT_FALSE(fs::exists(dir + "/sweep3.dat"));
    EXPECT_EQ(test_names(100), (std::vector<std::string>{"Run", "Run 2"}));
}

TEST_F(CliFra, MissingSessionIsRefused)
{
    const cli_result r = run("fra-sweep --data " + dir + " --db " + dir +
                             "/t.db --session none --test Run --winding HV");
    EXPECT_EQ(r.status, 2);
}

TEST_F(CliFra, MarginsOfASweepAndOfItsFile)
{
    const cli_result live = run("fra-margins --data " + dir);
    ASSERT_EQ(live.status, 0);
    EXPECT_EQ(live.out.rfind("0dB point = freq: ", 0), 0u) << live.out;
    EXPECT_NE(live.out.find("\n0Phase point = freq: "), std::string::npos) << live.out;
    ASSERT_TRUE(fs::exists(dir + "/sweep1.dat"));
    const cli_result file = run("fra-margins --from-sweep-file " + dir + "/sweep1.dat");
    ASSERT_EQ(file.status, 0);
    EXPECT_EQ(file.out, live.out);
}

TEST_F(CliFra, RealtimeReadings)
{
    const cli_result r = run("fra-realtime --count 3");
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(lines(r.out), 3);
    EXPECT_NE(r.out.find("Hz\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("dB\t"), std::string::npos) << r.out;
}
