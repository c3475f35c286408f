// tarvelo2-cli's FRA commands, run as a child process against the simulator.

#include "db/db_access.h"
#include "db/db_connection.h"
#include "sim/server.h"
#include "tests/support/build_path.h"
#include "tests/support/cli_failure.h"
#include "tests/support/cli_sim_fixture.h"
#include "tests/support/sqlite_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

using cli_result = cli_output;

class CliFra : public cli_sim_fixture {
protected:
    cli_result run(const std::string& args) { return run_cli(args); }
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
    // The closing line reads the two single crossings the reports name.
    double f_db = 0, phase = 0, f_ph = 0, gain = 0, gm = 0, gm_f = 0, pm = 0, pm_f = 0;
    ASSERT_EQ(std::sscanf(live.out.c_str(),
                          "0dB point = freq: %lf Hz phase: %lf deg\n0Phase point = "
                          "freq: %lf Hz gain: %lf dB\ngain margin: %lf dB at %lf Hz; "
                          "phase margin: %lf deg at %lf Hz",
                          &f_db, &phase, &f_ph, &gain, &gm, &gm_f, &pm, &pm_f),
              8)
        << live.out;
    EXPECT_EQ(std::vector<double>({gm, gm_f, pm, pm_f}),
              std::vector<double>({-gain, f_ph, phase, f_db}));
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

TEST_F(CliFra, RealtimeOfTheThreeChannelModelWithItsThirdInput)
{
    server->stop();
    sim::sim_options options;
    options.tcp_port = 0;
    options.instrument.model = sim::sim_model::hxm6300;
    options.instrument.time_scale = 0;
    server = std::make_unique<sim::sim_server>(options);
    server->start();
    ASSERT_EQ(run("config-set 84 1").status, 0);
    const cli_result r = run("fra-realtime --count 2");
    ASSERT_EQ(r.status, 0);
    std::istringstream lines_in(r.out);
    int readings = 0;
    for (std::string line; std::getline(lines_in, line); ++readings)
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 9) << line;
    EXPECT_EQ(readings, 2);
}

// A serial line that dies during a sweep loses what was on its way: the
// command must end with the message, whenever the line dies. The runs go
// at once, each against its own simulator, so their time-outs overlap.
TEST_F(CliFra, SerialSweepEndsWhenTheLineDies)
{
    std::vector<std::string> faults{"disconnect-on=DAV?"};
    for (int n : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 20, 50})
        faults.push_back("drop-after=" + std::to_string(n));
    std::vector<std::unique_ptr<sim::sim_server>> sims;
    std::vector<FILE*> runs;
    for (size_t i = 0; i < faults.size(); ++i) {
        sim::sim_options options;
        options.tcp = false;
        options.pty_path = dir + "/tty" + std::to_string(i);
        options.instrument.time_scale = 0;
        std::string error;
        ASSERT_TRUE(sim::add_fault(options.faults, faults[i], error)) << error;
        sims.push_back(std::make_unique<sim::sim_server>(options));
        sims.back()->start();
        const std::string cmd = std::string(TARVELO_CLI) + " --serial " + options.pty_path +
                                " fra-sweep --data " + dir + " 2>" + dir + "/err" +
                                std::to_string(i) + ".txt";
        runs.push_back(::popen(cmd.c_str(), "r"));
        ASSERT_NE(runs.back(), nullptr);
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        char buf[4096];
        while (std::fread(buf, 1, sizeof buf, runs[i]) > 0) {
        }
        int status = ::pclose(runs[i]);
        // Fourteen programs starting at once may miss the short time-out of
        // identification on a loaded machine: such a run goes again alone.
        if (WIFEXITED(status) && WEXITSTATUS(status) == 3) {
            const std::string cmd = std::string(TARVELO_CLI) + " --serial " + dir + "/tty" +
                                    std::to_string(i) + " fra-sweep --data " + dir + " 2>" + dir +
                                    "/err" + std::to_string(i) + ".txt >/dev/null";
            status = std::system(cmd.c_str());
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << faults[i];
        std::ifstream err(dir + "/err" + std::to_string(i) + ".txt");
        const std::string text{std::istreambuf_iterator<char>(err), {}};
        // Where the line dies depends on how many polls the sweep took: before
        // the first point the link is lost, after some points the sweep is
        // incomplete; both say so and fail.
        const bool lost = text.find("[No Connection] The connection to the instrument was lost") !=
                          std::string::npos;
        const bool incomplete = text.find("The sweep data were incomplete") != std::string::npos;
        EXPECT_TRUE(lost || incomplete) << faults[i] << ": " << text;
    }
    for (auto& s : sims)
        s->stop();
}

TEST_F(CliFra, ASweepTheDatabaseCannotTakeEndsWithTheLock)
{
    make_session();
    {
        sqlite_reader reader(dir + "/t.db", dir + "/reader.txt");
        ASSERT_TRUE(reader.holding());
        const folder_before before(dir, {"err.txt", "reader.txt"});
        const cli_result r = run("fra-sweep --data " + dir + " --db " + dir +
                                 "/t.db --session bench --test Run --winding HV");
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(before.failed_cleanly(r, {"sweep1.dat", "sweeps.mode"}));
        EXPECT_NE(r.err.find("[Database Error] Database file is locked\nError Code: 5"),
                  std::string::npos)
            << r.err;
        EXPECT_TRUE(fs::exists(dir + "/sweep1.dat"));
        EXPECT_NE(r.err.find("Its sweep file is kept as\n" + dir + "/sweep1.dat"),
                  std::string::npos)
            << r.err;
    }
    EXPECT_TRUE(test_names(100).empty());
}

// A sweep whose file cannot be written, and a sweep file that holds no
// points or too many, end with a message and the status the help names.
TEST_F(CliFra, FailuresAreToldAndNeverEndInSuccess)
{
    std::string many = "01-01-2026 - 10:00";
    for (int i = 1; i <= 3005; ++i)
        many += "\r\n" + std::to_string(i) + "\t" + std::to_string(i) + ".0000\t1.0E+00\t2.0E+00";
    const std::pair<const char*, std::string> files[] = {{"empty.dat", "01-01-2026 - 10:00"},
                                                         {"cr.dat", "\r"},
                                                         {"nul.dat", std::string(4, '\0')},
                                                         {"many.dat", many}};
    for (const auto& [name, bytes] : files)
        std::ofstream(dir + "/" + name, std::ios::binary) << bytes;
    std::ofstream(dir + "/sweep1.dat", std::ios::binary) << "old";
    const struct {
        std::string limit, args;
        int status;
        const char* says;
    } cases[] = {
        {"", "fra-sweep --data " + dir + "/missing", 1, "could not be written"},
        {"", "fra-sweep --repeat 2 --interval-ms 100 --data " + dir + "/missing", 1,
         "could not be written"},
        {"ulimit -f 2; ", "fra-sweep --data " + dir, 1, "could not be written"},
        {"ulimit -f 2; ",
         "fra-export --format csv --from-sweep-file " + dir + "/many.dat --out " + dir + "/o.csv",
         1, "["},
        {"", "fra-margins --from-sweep-file " + dir + "/empty.dat", 4, "no sweep points"},
        {"", "fra-margins --from-sweep-file " + dir + "/cr.dat", 4, "no sweep points"},
        {"",
         "fra-export --format csv --from-sweep-file " + dir + "/nul.dat --out " + dir + "/o.csv", 4,
         "no sweep points"},
        {"", "fra-margins --from-sweep-file " + dir + "/many.dat", 0, "the first 3000 were read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.limit + c.args);
        const std::string cli = std::string(TARVELO_CLI) + " --lan 127.0.0.1 --port " +
                                std::to_string(server->tcp_port()) + " " + c.args;
        // The size limit is the program's alone: its messages (and the comms
        // log, as long as the sweep takes) reach the test through a pipe.
        const std::string limited = "bash -c 'set -o pipefail; (" + c.limit +
                                    "exec \"$0\" \"$@\") 2>&1 >/dev/null | cat >&2' " + cli;
        const cli_result r = run_command_line(c.limit.empty() ? cli : limited, dir + "/err.txt");
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(std::ifstream(dir + "/sweep1.dat").get(), 'o');
        EXPECT_FALSE(fs::exists(dir + "/o.csv"));
    }
}
