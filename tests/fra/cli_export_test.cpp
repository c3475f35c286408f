// tarvelo2-cli's export commands as a child process, against the simulator
// where an instrument is needed.

#include "tests/fra/cli_export_fixture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

TEST_F(CliExport, SweepFilesToTextAndWorkbooks)
{
    std::string out;
    EXPECT_EQ(run("fra-export --from-sweep-file " + dir + "/sweep1.dat --format csv --out " + dir +
                      "/one.txt",
                  out),
              0);
    EXPECT_EQ(out, "written " + dir + "/one.txt\n");
    EXPECT_EQ(
        run("fra-export --series 1 --format csv --european --out " + dir + "/run.txt --data " + dir,
            out),
        0);
    EXPECT_EQ(out, "written " + dir + "/run #07-12-2026 @09_35.txt\n");
    EXPECT_EQ(run("fra-export --series 1 --format xlsx --data " + dir, out), 0);
    EXPECT_EQ(out.rfind("written " + dir + "/reports/workbook-", 0), 0u);
    EXPECT_EQ(run("fra-export --format csv", out), 2);
    EXPECT_EQ(run("fra-export --series 2 --format xlsx --data " + dir, out), 0);
    EXPECT_NE(err().find("[Excel Export Error] These sweep files could not be read: sweep2.dat"),
              std::string::npos);
}

// Connected and without a sweep file, fra-export measures one sweep first
// and exports that: the points of the sweep just run, after the block read
// from the instrument; the sweep's own file is written as the window does.
TEST_F(CliExport, ConnectedExportRunsOneSweepFirst)
{
    std::string out;
    const std::string text = dir + "/now.txt";
    ASSERT_EQ(run("fra-export --format csv --out " + text + " --data " + dir, out, true), 0)
        << err();
    EXPECT_EQ(out, "written " + text + "\n");
    std::ifstream in(text, std::ios::binary);
    const std::string body{std::istreambuf_iterator<char>(in), {}};
    const size_t data = body.find("data start sweep 1\r\n");
    ASSERT_NE(data, std::string::npos);
    EXPECT_NE(body.find("Instrument,type,"), std::string::npos);
    std::ifstream sweep(dir + "/sweep1.dat", std::ios::binary);
    std::string line;
    size_t sweep_rows = 0;
    for (std::getline(sweep, line); std::getline(sweep, line);)
        sweep_rows += !line.empty();
    const std::string points = body.substr(body.find("\r\n", data + 20) + 2);
    EXPECT_GT(sweep_rows, 1u); // the measured sweep, not the one-line file of the fixture
    EXPECT_EQ(static_cast<size_t>(std::count(points.begin(), points.end(), '\n')) + 1, sweep_rows);
    EXPECT_EQ(run("fra-export --format xlsx --data " + dir, out, true), 0);
    EXPECT_EQ(out.rfind("written " + dir + "/reports/workbook-", 0), 0u);
}

TEST_F(CliExport, ScreenCaptureNeedsAnInstrument)
{
    std::string out;
    EXPECT_EQ(run("screen-capture --bmp " + dir + "/s.bmp", out), 1);
    EXPECT_NE(err().find("[Screen Capture Mode] ERROR: Cannot connect to instrument"),
              std::string::npos);
    EXPECT_EQ(run("screen-capture --bmp " + dir + "/s.bmp --word --data " + dir, out, true), 0);
    EXPECT_EQ(fs::file_size(dir + "/s.bmp"), 230454u);
    EXPECT_NE(out.find("written " + dir + "/reports/document-"), std::string::npos);
}
