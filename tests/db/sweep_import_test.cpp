#include "db/db_access.h"
#include "db/db_import.h"
#include "db/sweep_file.h"
#include "db_test_support.h"

namespace {

const std::string HEADER_BLOCK = "Instrument Configuration\n------------------------\n"
                                 "File Format,QmrkV1\nInstrument,type,HXM4100\n"
                                 ",serial number,12345\nAcquisition,mode,normal\n"
                                 ",speed,very slow\ndata start sweep 1\n";
const std::string SIX_COLUMNS =
    "Frequency (Hz),Magnitude1 (V),Magnitude2 (V),Gain (dB),Phase (\xB0),Delay (s)\n";
const std::string THREE_COLUMNS_UTF8 = "Frequency (Hz),Gain (dB),Phase (\xC2\xB0)\n";

std::vector<s_test_point> parse_ok(const std::string& text)
{
    std::vector<s_test_point> points;
    const sweep_import_result result = sweep_import_parse(text, points);
    EXPECT_EQ(result.status, sweep_import_status::ok) << "line " << result.line;
    return points;
}

sweep_import_result parse_fail(const std::string& text)
{
    std::vector<s_test_point> points{{1, 2, 3}};
    const sweep_import_result result = sweep_import_parse(text, points);
    EXPECT_TRUE(points.empty());
    return result;
}

void expect_point(const s_test_point& p, double frequency, double gain, double phase)
{
    EXPECT_DOUBLE_EQ(p.Frequency, frequency);
    EXPECT_DOUBLE_EQ(p.Amplitude, gain);
    EXPECT_DOUBLE_EQ(p.Phase, phase);
}

TEST(SweepImportReader, FraExportsInBothLayouts)
{
    auto six = parse_ok(HEADER_BLOCK + SIX_COLUMNS +
                        "  1.00000E+001,  1.00000E+000,  5.00000E-001, -6.02060E+000,"
                        " -4.50000E+001,  1.00000E-003\r\n"
                        "  2.00000E+001,  1.00000E+000,  2.50000E-001, -1.20412E+001,"
                        " -6.00000E+001,  8.00000E-004");
    ASSERT_EQ(six.size(), 2u);
    expect_point(six[0], 10.0, -6.0206, -45.0);
    expect_point(six[1], 20.0, -12.0412, -60.0);

    auto three = parse_ok(HEADER_BLOCK + THREE_COLUMNS_UTF8 + "100,-3.5,12.25\n200,-4,13\n");
    ASSERT_EQ(three.size(), 2u);
    expect_point(three[1], 200.0, -4.0, 13.0);

    // A blank line before the column header is no header: the layout is the
    // one the real header names.
    auto spaced = parse_ok(HEADER_BLOCK + "\n" + THREE_COLUMNS_UTF8 + "100,-3.5,12.25");
    ASSERT_EQ(spaced.size(), 1u);
    expect_point(spaced[0], 100.0, -3.5, 12.25);
}

TEST(SweepImportReader, TabSeparatedRowsWithFourOrMoreFields)
{
    auto four = parse_ok("1\t1,234.5\t-3\t45\n2\t1.234,75\t-4\t46\n3\t12,5\t-5\t47\n");
    ASSERT_EQ(four.size(), 3u);
    expect_point(four[0], 1234.5, -3.0, 45.0);
    expect_point(four[1], 1234.75, -4.0, 46.0);
    expect_point(four[2], 12.5, -5.0, 47.0);

    // A sweep file: its date line is skipped, the gain and phase are fields
    // 4 and 5.
    const double values[] = {1000.0, 1.0, 0.5, -6.0206, -45.5, 1e-4};
    const std::string sweep = "07-12-2026 - 09:35\r\n" + sweep_file_row(1, values);
    auto from_sweep = parse_ok(sweep);
    ASSERT_EQ(from_sweep.size(), 1u);
    expect_point(from_sweep[0], 1000.0, -6.0206, -45.5);
}

TEST(SweepImportReader, MalformedFilesAreRefusedWhole)
{
    EXPECT_EQ(parse_fail("").status, sweep_import_status::empty);
    EXPECT_EQ(parse_fail(HEADER_BLOCK + "100,-3.5,12.25\n").status,
              sweep_import_status::no_column_header);
    // European numbers split into more comma columns than the layout has.
    EXPECT_EQ(
        parse_fail(HEADER_BLOCK + THREE_COLUMNS_UTF8 + "1,00E+02    ,-3,50E+00    ,1,2E+01").status,
        sweep_import_status::bad_line);
    const sweep_import_result junk = parse_fail("1\t10\t-3\t45\n2\tabc\t-3\t45\n");
    EXPECT_EQ(junk.status, sweep_import_status::bad_line);
    EXPECT_EQ(junk.line, 2);
    EXPECT_EQ(parse_fail("1\t10\t-3\t45\t9\n").status, sweep_import_status::bad_line);
    EXPECT_EQ(parse_fail("1\t10\t-3\t" + std::string(1100, '4')).status,
              sweep_import_status::bad_line);
    EXPECT_EQ(parse_fail("just some notes\nand more\n").status, sweep_import_status::no_points);

    std::string long_sweep;
    for (int i = 0; i < 3001; ++i)
        long_sweep += std::to_string(i) + "\t" + std::to_string(i + 1) + "\t0\t0\n";
    EXPECT_EQ(parse_fail(long_sweep).status, sweep_import_status::too_many_points);
    long_sweep.resize(long_sweep.rfind("3000\t"));
    EXPECT_EQ(parse_ok(long_sweep).size(), 3000u);
}

class SweepImport : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        create();
    }
    int count(const std::string& sql) { return std::stoi(raw_query(path("tests.db"), sql)[0][0]); }
};

TEST_F(SweepImport, StoresTheFileAsATestOfSessionOneCreatingIt)
{
    write_file("run.1.txt", "1\t100\t-1\t10\n2\t200\t-2\t20\n");
    s_test test;
    const db_import_result result = db_import_sweep_file(path("run.1.txt"), test);
    ASSERT_EQ(result.status, db_import_status::ok);
    EXPECT_EQ(test.Name, "run.1");

    s_test back;
    ASSERT_EQ(db_get_test(back, test.TestNo, true), 0);
    EXPECT_EQ(back.SessionNo, 1);
    EXPECT_EQ(back.Name, "run.1");
    EXPECT_EQ(back.Winding, "");
    EXPECT_EQ(back.TestDescription, "Imported");
    ASSERT_EQ(back.points.count(), 2);
    expect_point(back.points[1], 200.0, -2.0, 20.0);

    collected_rows sessions;
    ASSERT_EQ(db_list_sessions(sessions, 0, true), 0);
    ASSERT_EQ(sessions.keys, std::vector<int64_t>{1});
    EXPECT_EQ(sessions.texts[0].substr(0, 9), "Imported\t");
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(SweepImport, UsesAnExistingSessionOne)
{
    s_session first;
    first.Name = "Site survey";
    ASSERT_EQ(db_save_session(first, false), 0);
    write_file("plain", HEADER_BLOCK + THREE_COLUMNS_UTF8 + "100,-3.5,12.25");
    s_test test;
    ASSERT_EQ(db_import_sweep_file(path("plain"), test).status, db_import_status::ok);
    EXPECT_EQ(test.Name, "plain");
    EXPECT_EQ(count("SELECT COUNT(*) FROM Session"), 1);
    collected_rows tests;
    ASSERT_EQ(db_list_tests(tests, 1, true), 0);
    EXPECT_EQ(tests.keys, std::vector<int64_t>{test.TestNo});
}

TEST_F(SweepImport, RefusedFileIsReportedAndStoresNothing)
{
    write_file("bad.csv", "1\t100\t-1\t10\n2\t2x0\t-2\t20\n");
    s_test test;
    for (const char* name : {"bad.csv", "missing.csv"}) {
        EXPECT_EQ(db_import_sweep_file(path(name), test).status, db_import_status::not_read);
        EXPECT_EQ(test.TestNo, 0);
    }
    ASSERT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown()[0].text, "Unable to import sweep to database");
    EXPECT_EQ(ui.shown()[0].caption, "Import Error");
    EXPECT_EQ(ui.shown()[0].style, unsigned(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(count("SELECT COUNT(*) FROM Test"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Session"), 0);

    db_close();
    write_file("good.txt", "1\t100\t-1\t10\n");
    EXPECT_EQ(db_import_sweep_file(path("good.txt"), test).status, db_import_status::no_database);
}

TEST(SweepImportName, FolderAndLastExtensionAreDropped)
{
    EXPECT_EQ(db_import_test_name("/home/a.b/run.1.txt"), "run.1");
    EXPECT_EQ(db_import_test_name("sweep"), "sweep");
    EXPECT_EQ(db_import_test_name("/x/" + std::string(60, 'n') + ".txt"), std::string(50, 'n'));
}

} // namespace
