// The written workbooks and documents open in a real office suite: each is
// converted by a headless LibreOffice and what it read is checked. Machines
// without soffice skip this test.

#include "config/screen_capture.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/sweep_file.h"
#include "fra/fra_export_workbook.h"
#include "office_support.h"
#include "review/db_tests_workbook.h"

#include <fstream>

namespace {

bool have_soffice()
{
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

std::string slurp_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST_F(office_fixture, OfficeSuiteReadsEveryWrittenFile)
{
    if (!have_soffice())
        GTEST_SKIP() << "soffice is not installed";
    FraResults sweep;
    sweep.count = 2;
    sweep.points[0] = {{100, 1.5, 0.75, -6.0206, -45.5, 0.002}};
    sweep.points[1] = {{1000, 1.25, 1.2499, 0, 12.25, 0.001}};
    ASSERT_EQ(fra_single_workbook(sweep, false, false), 0);
    std::ofstream(sweep_file_path(dir, 1), std::ios::binary)
        << "07-12-2026 - 09:35\r\n1\t10.0000\t1.5E+000\t7.5E-001\t-6.0E+000\t-4.5E+001\t2.0E-003";
    ASSERT_EQ(fra_series_workbook(dir, 1, 1, true), 0);
    auto capture = std::make_unique<s_screen_capture>();
    ASSERT_EQ(screen_export_file(*capture, dir + "/screen.bmp", true), 0);
    bool is_new = false;
    ASSERT_TRUE(db_open(dir + "/t.db", DB_OPEN_OR_CREATE, &is_new));
    s_session session;
    session.Name = "s";
    ASSERT_EQ(db_save_session(session, false), 0);
    s_test test;
    test.SessionNo = session.SessionNo;
    test.Name = "0012";
    ASSERT_EQ(db_save_test(test, false), 0);
    db_insert_point(test.TestNo, 0, {100.0, -3.5, 45.0});
    ASSERT_EQ(db_tests_workbook({static_cast<int>(test.TestNo)}, false, false), 0);
    db_close();
    ASSERT_EQ(opened.size(), 4u);

    // What the suite must have read from each: the active sheet as values
    // (numbers as numbers, text as text), or the picture of the document.
    const struct {
        const std::string& file;
        const char* to;
        std::vector<std::string> holds;
    } cases[] = {
        {opened[0], "csv", {"FRA Sweep", "Frequency (Hz)", "\n2,1000,1.25,1.2499,0,12.25,0.001"}},
        {opened[1], "csv", {"Sweep No.: 1/1", "07-12-2026 - 09:35", "1,50E+00"}},
        {opened[2], "pdf", {"/Subtype/Image", "/Width 320", "/Height 240"}},
        {opened[3], "csv", {"0012,,,", "\n1,100,-3.5,45"}},
    };
    const std::string profile = "-env:UserInstallation=file://" + dir + "/suite-profile";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string out = dir + "/converted";
        const std::string command = "soffice " + profile + " --headless --convert-to " + c.to +
                                    " --outdir " + out + " '" + c.file + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::string converted =
            slurp_file(out + "/" + std::filesystem::path(c.file).stem().string() + "." + c.to);
        ASSERT_FALSE(converted.empty());
        for (const std::string& text : c.holds)
            EXPECT_NE(converted.find(text), std::string::npos) << text << "\n" << converted;
    }
}
