#include "base/sweep_numbers.h"
#include "base/ui_seam.h"
#include "base/ui_status.h"
#include "config/config_text_block.h"
#include "config/hxm_cfg_4100.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_verdict.h"
#include "db/sweep_file.h"
#include "db/sweep_import.h"
#include "fra/fra_export.h"
#include "link/link.h"
#include "tests/support/build_path.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The expected file; with TARVELO_UPDATE_GOLDEN set, the produced file
// becomes the expected one (to be read and checked by a person).
std::string golden(const std::string& name, const std::string& produced)
{
    const std::string path = std::string(TARVELO_GOLDEN) + "/" + name;
    if (std::getenv("TARVELO_UPDATE_GOLDEN"))
        std::ofstream(path, std::ios::binary) << produced;
    return slurp(path);
}

std::string crlf(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

// What the exports told the status line.
std::vector<std::string> g_statuses;
void record_status(const std::string& text)
{
    g_statuses.push_back(text);
}

class FraExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-export-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        ui_set_backend(&ui);
        g_statuses.clear();
        ui_set_status_sink(record_status);
        cfg.set_int(1, 1);
        header = {&cfg, &link, ""};
        results.count = 3;
        const double points[3][6] = {{10, 1.5, 0.75, -6.0206, -45.5, 0.002},
                                     {1000, 1.25, 1.2499, -0.000694, 0.0123456, 2e-6},
                                     {99999.5, 0.5, 4.9e-7, -120.15, 179.96, -1.5e-100}};
        for (int i = 0; i < 3; ++i)
            std::copy(points[i], points[i] + 6, results.points[i].v);
    }
    void TearDown() override
    {
        db_close();
        ui_set_backend(nullptr);
        ui_set_status_sink(nullptr);
        fs::remove_all(dir);
    }
    std::string path(const std::string& name) const { return dir + "/" + name; }

    std::vector<std::string> written() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    void write_sweep(int k, const std::string& date_line, const std::vector<std::string>& rows)
    {
        std::string text = date_line;
        for (const auto& row : rows)
            text += "\r\n" + row;
        std::ofstream(sweep_file_path(dir, k), std::ios::binary) << text;
    }

    std::string dir;
    scripted_ui ui;
    hxm_cfg_4100 cfg;
    s_link link;
    s_export_header header;
    FraResults results;
};

} // namespace

TEST(FraExportNumbers, EuropeanShortFormRoundsCarriesAndKeepsLongExponents)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {9.87654, "9,88E+00    "},     {19.96, "2,00E+01    "},   {-0.0123456, "-1,23E-02    "},
        {9.996, "1,00E+01    "},       {1234.56, "1,23E+03    "}, {1e-100, "1,00E-100    "},
        {-9.995e99, "-1,00E+100    "}, {0.0, "0,00E+00    "},     {1.125, "1,13E+00    "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sweep_format_european(c.value), c.text) << c.value;
    EXPECT_EQ(sweep_european_short("'1.2345E+001"), "'1,2E+01    ");
    EXPECT_EQ(sweep_european_short("12.5"), "12.5");
    EXPECT_EQ(sweep_format_fixed5(2e-6), "0.00000");
    EXPECT_EQ(sweep_format_fixed5(-1234.5), "-1234.50000");
}

TEST(FraExportNumbers, TrailingZerosStopAtTheMarkAndLeaveExponentsAlone)
{
    const std::pair<const char*, const char*> cases[] = {
        {"100.00000", "100"},
        {"2,50000", "2,5"},
        {"100", "100"},
        {"0.00000", "0"},
        {"1,00E+01    ", "1,00E+01    "},
        {"1.50000E+010", "1.50000E+010"},
        {"-0.10", "-0.1"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(sweep_remove_trailing_zeros(in), out) << in;
}

TEST(FraExportNumbers, LinesPadFieldsTo13AndEuropeanUsesSemicolons)
{
    const double values[] = {1234.5, -0.0123456};
    EXPECT_EQ(fra_export_line(values, false), " 1.23450E+003,-1.23456E-002");
    EXPECT_EQ(fra_export_line(values, true), " 1,23E+03    ;-1,23E-02    ");
    EXPECT_EQ(fra_export_columns(false, true), "Frequency (Hz);Gain (dB);Phase (\xB0)");
    EXPECT_EQ(fra_export_columns(true, false),
              "Frequency (Hz),Magnitude1 (V),Magnitude2 (V),Gain (dB),Phase (\xB0),Delay (s)");
}

TEST_F(FraExport, SingleSweepMatchesTheGoldenFilesAndReimports)
{
    for (const bool european : {false, true}) {
        const std::string name = european ? "single_european.txt" : "single_standard.txt";
        ASSERT_EQ(fra_export_single_text(path(name), results, header, european), 0);
        const std::string bytes = slurp(path(name));
        EXPECT_EQ(bytes, golden(name, bytes)) << name;
        const std::string head = crlf(config_block_text(cfg, link, "") + "data start sweep 1\n");
        EXPECT_EQ(bytes.substr(0, head.size()), head);
        EXPECT_NE(bytes.back(), '\n');
        std::vector<s_test_point> points;
        ASSERT_EQ(sweep_import_read(path(name), points).status, sweep_import_status::ok) << name;
        ASSERT_EQ(points.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            const double tolerance = european ? 0.01 : 1e-5;
            EXPECT_NEAR(points[i].Frequency / results.points[i].v[0], 1.0, tolerance);
            EXPECT_NEAR(points[i].Amplitude, results.points[i].v[3],
                        std::abs(results.points[i].v[3]) * tolerance);
            EXPECT_NEAR(points[i].Phase, results.points[i].v[4],
                        std::abs(results.points[i].v[4]) * tolerance);
        }
    }
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(FraExport, FailuresShowTheirMessageAndLeaveNoFile)
{
    FraResults empty;
    EXPECT_EQ(fra_export_single_text(path("a.txt"), empty, header, false), -1);
    EXPECT_EQ(fra_export_series_text(path("b.txt"), dir, 0, 0, header, false), -1);
    EXPECT_EQ(fra_export_series_text(path("b.txt"), dir, 1, 2, header, false), -1);
    EXPECT_EQ(fra_export_single_text(dir + "/missing/c.txt", results, header, false), -1);
    ::chmod(dir.c_str(), 0500);
    const bool read_only = ::access(dir.c_str(), W_OK) != 0; // root writes anyway
    EXPECT_EQ(fra_export_single_text(path("d.txt"), results, header, false), read_only ? -1 : 0);
    ::chmod(dir.c_str(), 0700);
    const auto boxes = ui.shown();
    // Only a file written is reported as written.
    EXPECT_EQ(g_statuses, read_only ? std::vector<std::string>{}
                                    : std::vector<std::string>{"Wrote 1 file to " + dir});
    ASSERT_GE(boxes.size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(boxes[i].text, "No Data to Export");
    EXPECT_EQ(boxes[3].text, "Unable to create CSV file\n" + dir + "/missing/c.txt");
    EXPECT_EQ(boxes[3].caption, "Excel Export Error");
    if (read_only) {
        EXPECT_TRUE(written().empty());
    }
}

TEST_F(FraExport, RepeatingTestWritesOneFilePerSweepAndNamesTheSkippedOnes)
{
    write_sweep(
        1, "07-12-2026 - 09:35",
        {"1\t10.0000\t1.50000E+000\t7.50000E-001\t-6.02060E+000\t-4.55000E+001\t2.00000E-003",
         "  2\t1000.0000\t1.25000E+000\t1.24990E+000\t-6.94000E-004\t1.23456E-002\t2.00000E-006"});
    write_sweep(
        2, "07-12-2026 - 10:35",
        {"1\t10.0000\t1.50000E+000\t7.50000E-001\t-6.02060E+000\t-4.55000E+001\t2.00000E-003"});
    write_sweep(3, "07/12/2026\x01 - 11:35", {"1\t10.0000\t1.5"}); // short row: skipped
    EXPECT_EQ(fra_export_series_text(path("run.txt"), dir, 4, 4, header, false), 2);
    const std::string first = slurp(path("run #07-12-2026 @09_35.txt"));
    const std::string second = slurp(path("run 2 #07-12-2026 @10_35.txt"));
    EXPECT_EQ(first, golden("run #07-12-2026 @09_35.txt", first));
    EXPECT_EQ(second, golden("run 2 #07-12-2026 @10_35.txt", second));
    EXPECT_EQ(first.substr(first.size() - 2), "\r\n");
    EXPECT_EQ(first.find("\n", 0) - 1, first.find("\r\n")); // every line CR LF
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'),
              std::count(first.begin(), first.end(), '\r'));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text,
              "These sweep files could not be read and were not exported: sweep3.dat, sweep4.dat");
    EXPECT_EQ(g_statuses, std::vector<std::string>{"Wrote 2 files to " + dir});
    EXPECT_EQ(export_series_file_name("/x/run.txt", 3, "07/12/2026\r\n - 1:2"),
              "/x/run 3 #07_12_2026__ @1_2.txt");
    EXPECT_EQ(export_series_file_name("/x.y/run", 1, "d - t"), "/x.y/run #d @t.txt");
}

TEST_F(FraExport, DatabaseTestsGiveOneFilePerTestWithPoints)
{
    bool is_new = false;
    ASSERT_TRUE(db_open(path("tests.db"), DB_OPEN_OR_CREATE, &is_new));
    s_session session;
    session.Name = "bench";
    ASSERT_EQ(db_save_session(session, false), 0);
    std::vector<int> keys;
    for (int t = 0; t < 3; ++t) {
        s_test test;
        test.SessionNo = session.SessionNo;
        test.Name = "t" + std::to_string(t);
        ASSERT_EQ(db_save_test(test, false), 0);
        for (int p = 0; t != 1 && p < 2; ++p)
            ASSERT_EQ(db_insert_point(test.TestNo, 0, {100.0 * (p + 1), -3.0103 * p, 9.996 + t}),
                      0);
        keys.push_back(static_cast<int>(test.TestNo));
    }
    EXPECT_EQ(fra_export_db_text(path("run.txt"), keys, header, false), 2);
    EXPECT_EQ(slurp(path("run1.txt")), golden("run1.txt", slurp(path("run1.txt"))));
    EXPECT_EQ(slurp(path("run3.txt")), golden("run3.txt", slurp(path("run3.txt"))));
    EXPECT_FALSE(fs::exists(path("run2.txt")));
    // A judged test tells its verdict before its data, and still imports.
    ASSERT_EQ(db_store_verdict(keys[2], {false, 0, "", {"gain mask: 1 dB, \"high\""}, "m.json"}),
              0);
    EXPECT_EQ(fra_export_db_text(path("eu.txt"), keys, header, true), 2);
    const std::string judged = slurp(path("eu3.txt"));
    EXPECT_NE(
        judged.find("\r\nVerdict,result,FAIL\r\n,limit set,m.json\r\n"
                    ",failed check,\"gain mask: 1 dB, \"\"high\"\"\"\r\ndata start sweep 1\r\n"),
        std::string::npos)
        << judged;
    EXPECT_EQ(slurp(path("eu1.txt")).find("Verdict"), std::string::npos);
    std::vector<s_test_point> points;
    ASSERT_EQ(sweep_import_read(path("eu3.txt"), points).status, sweep_import_status::ok);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_DOUBLE_EQ(points[1].Amplitude, -3.01);
    EXPECT_DOUBLE_EQ(points[1].Phase, 12.0);
}
