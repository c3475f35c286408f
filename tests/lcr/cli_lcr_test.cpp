// tarvelo2-cli's LCR and piezo commands, run as a child process against
// the simulator.

#include "tests/support/build_path.h"
#include "tests/support/cli_failure.h"
#include "tests/support/cli_sim_fixture.h"
#include "tests/support/sim_process.h"
#include "tests/support/touchstone_reader.h"

#include <cmath>
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

struct cli_result {
    int status = -1;
    std::vector<std::string> lines;
    std::string err;
};

std::vector<std::string> split(const std::string& text, char sep)
{
    std::vector<std::string> out;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, sep);)
        out.push_back(part);
    return out;
}

class CliLcr : public cli_sim_fixture {
protected:
    cli_result run(const std::string& args)
    {
        const cli_output o = run_cli(args);
        return {o.status, split(o.out, '\n'), o.err};
    }
};

} // namespace

TEST_F(CliLcr, SweepsPrintHeadingsThenTheRowsOfEach)
{
    const cli_result r = run("lcr-sweep --repeat 2 --interval-ms 200 --data " + dir);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 202u);
    for (const size_t head : {0u, 101u}) {
        const auto cells = split(r.lines[head], '\t');
        ASSERT_EQ(cells.size(), 9u);
        EXPECT_EQ(cells[3], "Tan\xF0");
        EXPECT_EQ(cells[5], "Phase (\xB0)");
    }
    EXPECT_EQ(split(r.lines[1], '\t').size(), 9u);
    EXPECT_EQ(r.lines[1].substr(0, 10), "1\t10.0000\t");
    EXPECT_TRUE(fs::exists(dir + "/sweep2.dat"));
    EXPECT_EQ(run("lcr-sweep --repeat 2").status, 2);
}

TEST_F(CliLcr, RealtimeCellsWithTheirUnits)
{
    const cli_result r = run("lcr-realtime --count 2");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.lines.size(), 2u);
    const auto cells = split(r.lines[1], '\t');
    ASSERT_TRUE(cells.size() == 11u || cells.size() == 14u) << r.lines[1];
    EXPECT_EQ(cells[0].substr(cells[0].size() - 2), "Hz");
    EXPECT_EQ(cells[3].substr(cells[3].size() - 3), "Ohm");
    EXPECT_EQ(run("lcr-realtime --count 0").status, 2);
}

TEST_F(CliLcr, PiezoFromTheInstrumentAndFromFiles)
{
    const cli_result swept = run("piezo-analyse");
    ASSERT_EQ(swept.status, 0) << swept.err;
    // The report's resonances are angular frequencies; the plain ones in Hz
    // follow on lines of their own.
    const char* names[] = {"L",
                           "R",
                           "C",
                           "Cp",
                           "Minimum Impedance",
                           "Maximum Impedance",
                           "Anti Resonant (rad/s)",
                           "Resonant (rad/s)",
                           "Anti Resonant Frequency (Hz)",
                           "Resonant Frequency (Hz)"};
    ASSERT_EQ(swept.lines.size(), std::size(names));
    std::vector<double> values;
    for (size_t i = 0; i < std::size(names); ++i) {
        EXPECT_EQ(split(swept.lines[i], '\t')[0], names[i]);
        values.push_back(std::atof(split(swept.lines[i], '\t').back().c_str()));
    }
    // The simulator's resonator: series resonance near 10.07 kHz.
    EXPECT_NEAR(values[9], 10.07e3, 1e3) << swept.lines[9];
    for (const size_t omega : {6u, 7u})
        EXPECT_NEAR(values[omega], 2 * M_PI * values[omega + 2], 1e-5 * values[omega]);

    std::ofstream(dir + "/flat.txt") << "Frequency\nunits\n1,1,2,5,4,5,6,7\n2,1,2,5,4,5,6,7\n"
                                        "3,1,2,5,4,5,6,7\n";
    const cli_result flat = run("piezo-analyse --import " + dir + "/flat.txt");
    EXPECT_EQ(flat.status, 1);
    EXPECT_NE(flat.err.find("No resonance found in the sweep"), std::string::npos) << flat.err;
    EXPECT_TRUE(flat.lines.empty());

    // A file cut in a row: analysed from the rows before it, with word why.
    std::ofstream(dir + "/cut.txt")
        << "Frequency\nunits\n1000,1,2,50,4,5,6,7\n1100,1,2,10,4,5,6,7\n"
           "1200,1,2,900,4,5,6,7\n1300,1,2,500,4,5,6,7\n1400,1,2";
    const cli_result cut = run("piezo-analyse --import " + dir + "/cut.txt");
    EXPECT_EQ(cut.status, 0) << cut.err;
    EXPECT_NE(cut.err.find("cut.txt ends early: 4 sweep points were read"), std::string::npos)
        << cut.err;

    std::ofstream(dir + "/empty.txt") << "";
    const cli_result empty = run("piezo-analyse --import " + dir + "/empty.txt");
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("No sweep points could be read from"), std::string::npos);
}

TEST_F(CliLcr, ExportsSweepFirstThenFilesSeriesAndWorkbooks)
{
    const auto written = [](const cli_result& r) {
        std::vector<std::string> paths;
        for (const auto& line : r.lines)
            if (line.rfind("written ", 0) == 0 && fs::exists(line.substr(8)))
                paths.push_back(line.substr(8));
        return paths;
    };
    const cli_result swept = run("lcr-export --format csv --out " + dir + "/one.txt --data " + dir);
    ASSERT_EQ(swept.status, 0) << swept.err;
    EXPECT_EQ(written(swept), std::vector<std::string>{dir + "/one.txt"});
    EXPECT_TRUE(fs::exists(dir + "/sweep1.dat"));
    const cli_result book = run("lcr-export --from-sweep-file " + dir +
                                "/sweep1.dat --layout 2 --format xlsx --european --data " + dir);
    ASSERT_EQ(book.status, 0) << book.err;
    ASSERT_EQ(written(book).size(), 1u);
    EXPECT_EQ(fs::path(written(book)[0]).extension(), ".xlsx");
    EXPECT_EQ(run("lcr-export --from-sweep-file " + dir +
                  "/sweep1.dat --layout 5 --format csv "
                  "--out " +
                  dir + "/x.txt")
                  .status,
              1);
    ASSERT_EQ(run("lcr-sweep --repeat 2 --interval-ms 200 --data " + dir).status, 0);
    const cli_result series =
        run("lcr-export --series 2 --format csv --out " + dir + "/run.txt --data " + dir);
    ASSERT_EQ(series.status, 0) << series.err;
    EXPECT_EQ(written(series).size(), 2u);
    for (const char* usage : {"lcr-export --format csv", "lcr-export --series 2 --format pdf",
                              "lcr-export --from-sweep-file f --layout 3 --format xlsx"})
        EXPECT_EQ(run(usage).status, 2) << usage;
}

TEST_F(CliLcr, TouchstoneFilesOfTheInstrumentsSweepAndOfASweepFile)
{
    const auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const cli_result swept = run("lcr-export --format s1p --out " + dir + "/res.s1p --data " + dir);
    ASSERT_EQ(swept.status, 0) << swept.err;
    EXPECT_EQ(swept.lines, std::vector<std::string>{"written " + dir + "/res.s1p"});
    const s_touchstone_file s = read_touchstone(slurp(dir + "/res.s1p"));
    EXPECT_EQ(s.parameter + s.format + s.unit, "SRIHZ");
    EXPECT_EQ(s.r, 50);
    std::string comments;
    for (const std::string& c : s.comments)
        comments += c + "\n";
    for (const char* says : {"HXM4100", "layout 2"})
        EXPECT_NE(comments.find(says), std::string::npos) << comments;

    // The same points as the sweep file written beside it (|Z| and phase
    // there to six digits), and as Z against 75 ohms from that file.
    std::ifstream rows(dir + "/sweep1.dat");
    std::string line;
    std::getline(rows, line);
    std::vector<std::complex<double>> z;
    std::vector<double> hz;
    while (std::getline(rows, line)) {
        const auto f = split(line, '\t');
        hz.push_back(std::atof(f[1].c_str()));
        z.push_back(std::polar(std::atof(f[4].c_str()), std::atof(f[5].c_str()) * M_PI / 180));
    }
    ASSERT_EQ(s.value.size(), z.size());
    for (size_t i = 0; i < z.size(); ++i) {
        EXPECT_NEAR(s.hz[i], hz[i], 1e-4) << i;
        EXPECT_LT(std::abs(s.value[i] - (z[i] - 50.0) / (z[i] + 50.0)), 2e-5) << i;
    }
    const cli_result from_file = run("lcr-export --from-sweep-file " + dir +
                                     "/sweep1.dat --layout 2 --format s1p --parameter z --z0 75 "
                                     "--out " +
                                     dir + "/z.s1p");
    ASSERT_EQ(from_file.status, 0) << from_file.err;
    const s_touchstone_file zf = read_touchstone(slurp(dir + "/z.s1p"));
    EXPECT_EQ(zf.parameter + zf.format, "ZRI");
    EXPECT_EQ(zf.r, 75);
    ASSERT_EQ(zf.value.size(), z.size());
    for (size_t i = 0; i < z.size(); ++i)
        EXPECT_LT(std::abs(zf.value[i] - z[i] / 75.0), 1e-8 * std::abs(z[i] / 75.0)) << i;

    std::ofstream(dir + "/dc.dat") << "09-12-2026 - 06:00\r\n1\t0.0000\t1\t1\t50\t0\t1\t1\t1";
    const cli_result dc = run("lcr-export --from-sweep-file " + dir +
                              "/dc.dat --layout 2 --format s1p --out " + dir + "/dc.s1p");
    EXPECT_EQ(dc.status, 1);
    EXPECT_NE(dc.err.find("Step 1 has a frequency that is not positive"), std::string::npos)
        << dc.err;
    EXPECT_FALSE(fs::exists(dir + "/dc.s1p"));
    const std::string out = " --out " + dir + "/u.s1p";
    for (const std::string& usage :
         {std::string("lcr-export --format s1p"), "lcr-export --format s1p --z0 0" + out,
          "lcr-export --format s1p --z0 ohms" + out, "lcr-export --format s1p --parameter y" + out,
          "lcr-export --series 2 --format s1p" + out, "lcr-export --format csv --z0 50" + out,
          "lcr-export --format s1p --european" + out,
          "lcr-export --format s1p --remove-zeros" + out})
        EXPECT_EQ(run(usage).status, 2) << usage;
}

TEST_F(CliLcr, PiezoReportWritesTheWorkbookAndBothPictures)
{
    const cli_result r = run("piezo-report --european --data " + dir + " --pictures " + dir + "/p");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> kinds;
    for (const auto& line : r.lines)
        if (line.rfind("written ", 0) == 0) {
            EXPECT_TRUE(fs::exists(line.substr(8))) << line;
            kinds.push_back(fs::path(line).extension().string());
        }
    EXPECT_EQ(kinds, (std::vector<std::string>{".xlsx", ".bmp", ".bmp"}));
    std::ofstream(dir + "/flat.txt") << "Frequency\nunits\n1,1,2,5,4,5,6,7\n2,1,2,5,4,5,6,7\n";
    EXPECT_EQ(run("piezo-report --from-sweep-file " + dir + "/flat.txt").status, 1);
}

TEST_F(CliLcr, HeadingsPrintInTheLocalesEncoding)
{
    const cli_output o = run_cli("lcr-sweep --data " + dir, "C.UTF-8");
    ASSERT_EQ(o.status, 0) << o.err;
    const auto cells = split(split(o.out, '\n')[0], '\t');
    ASSERT_EQ(cells.size(), 9u);
    EXPECT_EQ(cells[3], "Tan\xC3\xB0");
    EXPECT_EQ(cells[5], "Phase (\xC2\xB0)");
}

// A report whose workbook cannot be written fails, takes its pictures with
// it and names no file.
TEST_F(CliLcr, PiezoReportThatCannotBeWrittenNamesNoFile)
{
    std::ofstream(dir + "/reports") << "a file where the folder should be";
    const cli_result r = run("piezo-report --data " + dir + " --pictures " + dir + "/p");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.lines, std::vector<std::string>{});
    EXPECT_NE(r.err.find("Unable to write the report into the folder " + dir + "/reports"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::is_empty(dir + "/p"));
}

// Commands that fail end with exit 1 and say why: an instrument without
// realtime LCR readings, a data folder the sweep file cannot be written to
// (single and repeating), and a piezo sweep whose link drops after the
// measured quantity was forced to Impedance. The simulator runs as a child
// process; each command is given at most 60 s (a hang shows as status 124).
TEST(CliLcrFailures, EachEndsWithExitOneAndItsMessage)
{
    const struct {
        std::vector<std::string> sim;
        const char* setup;
        const char* command;
        const char* message;
    } cases[] = {
        {{"--idn", "QUELLMARSH,KTVA61,123,1.0"},
         nullptr,
         "lcr-realtime --count 2",
         "[Tarvelo2] This instrument gives no realtime LCR readings"},
        {{},
         nullptr,
         "lcr-sweep --data /nonexistent",
         "[Tarvelo2] The sweep file /nonexistent/sweep1.dat could not be written"},
        {{},
         nullptr,
         "lcr-sweep --repeat 2 --interval-ms 200 --data /nonexistent",
         "[Tarvelo2] The sweep file /nonexistent/sweep1.dat could not be written"},
        {{"--model", "HXM6300", "--fault", "disconnect-on=DAV?"},
         "config-set 137 1",
         "piezo-analyse",
         "could not be set back after the sweep: it is left at Impedance.\nSet it back to "
         "Capacitance (1)"},
    };
    char pattern[] = "/tmp/tarvelo-cli-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    for (const auto& c : cases) {
        std::vector<std::string> args{"--tcp", "127.0.0.1:0", "--time-scale", "0"};
        args.insert(args.end(), c.sim.begin(), c.sim.end());
        sim_process sim(args);
        ASSERT_GT(sim.tcp_port(), 0);
        const auto run = [&](const std::string& command) {
            return run_command_line("timeout 60 " + std::string(TARVELO_CLI) +
                                        " --lan 127.0.0.1 --port " +
                                        std::to_string(sim.tcp_port()) + " " + command,
                                    dir + "/err.txt");
        };
        if (c.setup) {
            ASSERT_EQ(run(c.setup).status, 0) << c.setup;
        }
        const folder_before before(dir);
        const cli_output r = run(c.command);
        EXPECT_EQ(r.status, 1) << c.command << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.command << "\n" << r.err;
        EXPECT_TRUE(before.failed_cleanly(r)) << c.command;
    }
    fs::remove_all(dir);
}

namespace {

// A run of coils: R = 47 Ohm, L = 10 mH, each part within 5 % of them.
class CliLcrFit : public CliLcr {
protected:
    void configure(sim::sim_options& options) override
    {
        std::string error;
        options.instrument.lcr = *sim::parse_lcr_dut("series:R=47,L=10m", error);
        options.instrument.lcr_noise = 0.002;
        options.instrument.lcr_spread = 0.05;
    }
};

} // namespace

// Two parts swept and fitted: the model's name, then name, value,
// uncertainty and unit per element; the parts differ within the spread; a
// model the sweep cannot give, an unknown model and a missing file fail.
TEST_F(CliLcrFit, FittedElementsOfEachPart)
{
    ASSERT_EQ(run("lcr-sweep --repeat 2 --interval-ms 100 --data " + dir).status, 0);
    const std::string first = " --from-sweep-file " + dir + "/sweep1.dat";
    const struct {
        std::string args;
        int status;
        const char* model;
    } cases[] = {
        {"lcr-fit --model best" + first, 0, "R-L series"},
        {"lcr-fit --model rl-series --from-sweep-file " + dir + "/sweep2.dat", 0, "R-L series"},
        {"lcr-fit --model rlc-series --freq-range 1000,100000" + first, 0, "R-L-C series"},
        {"lcr-fit --model resonator" + first, 1, nullptr},
        {"lcr-fit --model rl-series --freq-range 1000,1001" + first, 1, nullptr},
        {"lcr-fit --model rl" + first, 2, nullptr},
        {"lcr-fit --model best --from-sweep-file " + dir + "/none.dat", 1, nullptr},
    };
    std::vector<double> resistances;
    for (const auto& c : cases) {
        const cli_result r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        if (!c.model) {
            EXPECT_TRUE(r.lines.empty()) << c.args;
            EXPECT_FALSE(r.err.empty()) << c.args;
            continue;
        }
        ASSERT_GE(r.lines.size(), 3u) << c.args;
        EXPECT_EQ(r.lines[0], c.model);
        const auto resistance = split(r.lines[1], '\t');
        const auto inductance = split(r.lines[2], '\t');
        ASSERT_EQ(resistance.size(), 4u) << r.lines[1];
        EXPECT_EQ(resistance[0] + resistance[3] + inductance[0] + inductance[3], "ROhmLH");
        EXPECT_NEAR(std::atof(resistance[1].c_str()), 47, 47 * 0.05);
        EXPECT_NEAR(std::atof(inductance[1].c_str()), 10e-3, 10e-3 * 0.05);
        EXPECT_GT(std::atof(resistance[2].c_str()), 0);
        EXPECT_LT(std::atof(resistance[2].c_str()), 0.01 * 47);
        resistances.push_back(std::atof(resistance[1].c_str()));
    }
    EXPECT_NE(resistances[0], resistances[1]); // two parts of the run
}

// Both sweep commands judge each sweep against --limits: 0 within them, 5
// outside with one "[FAIL]" line per failed check, 4 for a set that cannot
// be used (before any sweep).
TEST_F(CliLcr, SweepsJudgedAgainstALimitSet)
{
    struct limits_case {
        const char* command;
        const char* json;
        int status;
        std::vector<std::string> told; // lines of stderr, each from its start
    };
    const limits_case cases[] = {
        {"lcr-sweep",
         R"j({"checks": [{"quantity": "Impedance (Ohms)", "at_hz": 1000, "low": 25e3, "high": 40e3}],
              "bins": [{"name": "Narrow", "checks": [{"quantity": "Impedance", "at_hz": 1000, "low": 1, "high": 2}]},
                       {"name": "Wide", "checks": []}]})j",
         0,
         {"[PASS] within the limits of limits.json, bin 2 (Wide)"}},
        {"lcr-sweep --repeat 2 --interval-ms 100",
         R"j({"checks": [{"quantity": "Impedance (Ohms)", "at_hz": 1000, "low": 95, "high": 105},
                         {"margin": "phase", "at_least": 45}]})j",
         5,
         {"[FAIL] Impedance (Ohms) at 1000 Hz: ", "[FAIL] phase margin: cannot be judged",
          "Sweep No: 1/2", "[FAIL] Impedance (Ohms) at 1000 Hz: ",
          "[FAIL] phase margin: cannot be judged", "Sweep No: 2/2"}},
        {"fra-sweep",
         R"j({"checks": [{"margin": "phase", "at_least": 45}, {"margin": "gain", "at_least": 10}]})j",
         0,
         {"[PASS] within the limits of limits.json"}},
        {"fra-sweep",
         R"j({"checks": [{"margin": "gain", "at_least": 30}]})j",
         5,
         {"[FAIL] gain margin: 25.8"}},
        {"fra-sweep",
         R"j({"checks": [{"margin": "gain"}]})j",
         4,
         {"[Limits] The limit set " + dir +
          "/limits.json cannot be used, checks[0]: \"at_least\" is missing"}},
    };
    for (const limits_case& c : cases) {
        std::ofstream(dir + "/limits.json") << c.json;
        const cli_result r =
            run(std::string(c.command) + " --data " + dir + " --limits " + dir + "/limits.json");
        EXPECT_EQ(r.status, c.status) << c.command << "\n" << r.err;
        // A debug build also echoes its comms log on stderr: the verdicts,
        // the refusal and the sweep count are what is compared.
        std::vector<std::string> told;
        for (const std::string& line : split(r.err, '\n'))
            for (const char* start : {"[PASS]", "[FAIL]", "[Limits]", "Sweep No:"})
                if (line.rfind(start, 0) == 0)
                    told.push_back(line);
        ASSERT_EQ(told.size(), c.told.size()) << r.err;
        for (size_t i = 0; i < told.size(); ++i)
            EXPECT_EQ(told[i].substr(0, c.told[i].size()), c.told[i]);
        EXPECT_EQ(r.lines.empty(), c.status == 4);
    }
}
