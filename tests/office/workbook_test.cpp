#include "config/screen_capture.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/sweep_file.h"
#include "fra/fra_export_workbook.h"
#include "office_support.h"
#include "review/db_tests_workbook.h"

#include <fstream>

namespace {

// What the reports told the status line.
std::vector<std::string> g_statuses;
void record_status(const std::string& text)
{
    g_statuses.push_back(text);
}

FraResults three_points()
{
    FraResults r;
    r.count = 3;
    const double points[3][6] = {{100, 1.5, 2e-6, -6.0206, -45.5, 2e-6},
                                 {1000, 1.25, 1.2499, 0, 12.25, 0.001},
                                 {12345.678, 0.5, 0.25, -120.15, 179.96, 0}};
    for (int i = 0; i < 3; ++i)
        std::copy(points[i], points[i] + 6, r.points[i].v);
    return r;
}

} // namespace

TEST_F(office_fixture, SingleSweepWorkbookInEveryNumberStyle)
{
    const struct {
        bool european, remove_zeros;
        const char *b3_type, *b3, *c3, *format;
    } styles[] = {
        {false, false, "int", "100", "1.5", "#,##0.00000"},
        {false, true, "str", "100", "1.5E+000", "@"},
        {true, false, "str", "100,00000", "1,50000E+00", "@"},
    };
    for (const auto& s : styles) {
        opened.clear();
        ASSERT_EQ(fra_single_workbook(three_points(), s.european, s.remove_zeros), 0);
        ASSERT_EQ(opened.size(), 1u);
        auto f = dump(opened[0]);
        const auto& b3 = f["cell\tSheet1\tB3"];
        ASSERT_FALSE(b3.empty());
        EXPECT_EQ(b3[CELL_TYPE], s.b3_type);
        EXPECT_EQ(b3[CELL_VALUE], s.b3);
        EXPECT_EQ(b3[CELL_FORMAT], s.format);
        EXPECT_EQ(b3[CELL_HALIGN], "right");
        EXPECT_EQ(f["cell\tSheet1\tC3"][CELL_VALUE], s.c3);
        EXPECT_EQ(f["cell\tSheet1\tA1"][CELL_VALUE], "FRA Sweep");
        EXPECT_EQ(f["cell\tSheet1\tA1"][CELL_FILL], "FFC8C8C8");
        EXPECT_EQ(f["cell\tSheet1\tG2"][CELL_VALUE], "Delay (s)");
        EXPECT_EQ(f["cell\tSheet1\tF2"][CELL_VALUE], "Phase (\u00B0)");
        EXPECT_EQ(f["cell\tSheet1\tG2"][CELL_BOLD], "1");
        EXPECT_EQ(f["cell\tSheet1\tG5"][CELL_BORDERS], "thin/thin/thin/thin");
        EXPECT_TRUE(f.count("merge\tSheet1\tA1:G1"));
        EXPECT_TRUE(f.count("width\tSheet1\tB"));
    }
    // A 2 µs delay stays visible in standard numbers.
    opened.clear();
    fra_single_workbook(three_points(), false, false);
    auto f = dump(opened[0]);
    EXPECT_EQ(f["cell\tSheet1\tG3"][CELL_FORMAT], "0.00000E+00");
    EXPECT_EQ(f["cell\tSheet1\tG3"][CELL_VALUE], "2e-06");
    fra_single_workbook(FraResults{}, false, false);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "There is nothing to export yet");
}

// European numbers keep the digits of standard ones, and "Remove trailing
// zeros" trims every value column alike, scientific ones included.
TEST_F(office_fixture, SingleSweepWorkbookKeepsDigitsAndTrimsEveryColumnAlike)
{
    FraResults r;
    r.count = 1;
    r.points[0] = {{100, 1.5, 55.972, -6.0206, -45.5, 2e-6}};
    const struct {
        bool european, remove_zeros;
        const char *b3, *c3, *d3, *e3, *g3;
    } styles[] = {
        {true, false, "100,00000", "1,50000E+00", "5,59720E+01", "-6,02060", "2,00000E-06"},
        {false, true, "100", "1.5E+000", "5.5972E+001", "-6.0206", "2E-006"},
        {true, true, "100", "1,5E+00", "5,5972E+01", "-6,0206", "2E-06"},
    };
    for (const auto& s : styles) {
        opened.clear();
        ASSERT_EQ(fra_single_workbook(r, s.european, s.remove_zeros), 0);
        auto f = dump(opened.at(0));
        const std::pair<const char*, const char*> cells[] = {
            {"B3", s.b3}, {"C3", s.c3}, {"D3", s.d3}, {"E3", s.e3}, {"G3", s.g3}};
        for (const auto& [ref, value] : cells) {
            const auto& cell = f["cell\tSheet1\t" + std::string(ref)];
            ASSERT_GE(cell.size(), 3u) << ref;
            EXPECT_EQ(cell[CELL_VALUE], value) << ref << s.european << s.remove_zeros;
            EXPECT_EQ(cell[CELL_FORMAT], "@") << ref;
        }
    }
}

TEST_F(office_fixture, RepeatingWorkbookPutsSweepsSideBySide)
{
    const std::string rows =
        "\r\n1\t10.0000\t1.50000E+000\t7.50000E-001\t-6.02060E+000\t-4.55000E+001\t2.00000E-003"
        "\r\n2\t100.0000\t1.25000E+000\t1.24990E+000\t-6.94000E-004\t1.23456E-002\t2.00000E-006"
        "\r\n3\t1000.00004\t1.2345678E+000\t-2.5E-9\t0\t-0.03125\t0";
    std::ofstream(sweep_file_path(dir, 1), std::ios::binary) << "07-12-2026 - 09:35" << rows;
    std::ofstream(sweep_file_path(dir, 2), std::ios::binary) << "07-12-2026 - 10:35" << rows;
    ASSERT_EQ(fra_series_workbook(dir, 3, 3, false), 0);
    ASSERT_EQ(opened.size(), 1u);
    auto f = dump(opened[0]);
    EXPECT_TRUE(f.count("order\tFRA Sweep data"));
    const std::pair<const char*, const char*> cells[] = {{"A1", "Sweep No.: 1/3"},
                                                         {"D1", "07-12-2026 - 09:35"},
                                                         {"H1", "Sweep No.: 2/3"},
                                                         {"K1", "07-12-2026 - 10:35"},
                                                         {"A2", "QXL HXM Comm FRA Sweep"},
                                                         {"F3", "Phase(\u00B0)"},
                                                         {"H5", "2"},
                                                         {"O1", "Error"},
                                                         {"I4", "10"}};
    for (const auto& [ref, value] : cells)
        EXPECT_EQ(f["cell\tFRA Sweep data\t" + std::string(ref)][CELL_VALUE], value) << ref;
    // Standard numbers are number cells holding what the tables show: four
    // decimals of the frequency, six digits of the others.
    const std::pair<const char*, std::pair<const char*, const char*>> numbers[] = {
        {"A6", {"int", "3"}},         {"B6", {"int", "1000"}},
        {"C6", {"float", "1.23457"}}, {"D6", {"float", "-2.5e-09"}},
        {"E6", {"int", "0"}},         {"F6", {"float", "-0.03125"}},
        {"J5", {"float", "1.25"}},    {"F3", {"str", "Phase(\u00B0)"}}};
    for (const auto& [ref, cell] : numbers) {
        const auto& got = f["cell\tFRA Sweep data\t" + std::string(ref)];
        ASSERT_GE(got.size(), 2u) << ref;
        EXPECT_EQ(got[CELL_TYPE], cell.first) << ref;
        EXPECT_EQ(got[CELL_VALUE], cell.second) << ref;
    }
    EXPECT_TRUE(f.count("merge\tFRA Sweep data\tA1:C1"));
    EXPECT_TRUE(f.count("merge\tFRA Sweep data\tO1:T1"));
    EXPECT_EQ(f["cell\tFRA Sweep data\tA1"][CELL_FILL], "FFEEEBE1");
    EXPECT_EQ(f["cell\tFRA Sweep data\tA2"][CELL_FILL], "FFDBEFF3");
    EXPECT_EQ(f["width\tFRA Sweep data\tB"][0].substr(0, 6), "14.855"); // 14.143 characters
    EXPECT_EQ(f["width\tFRA Sweep data\tG"][1], "1");
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "These sweep files could not be read: sweep3.dat");
    EXPECT_EQ(fra_series_workbook(dir, 0, 0, false), -1);
    EXPECT_EQ(ui.shown().back().text, "No Data to Export");
    // European numbers: the short form as text cells; the step stays whole.
    opened.clear();
    ASSERT_EQ(fra_series_workbook(dir, 2, 2, true), 0);
    f = dump(opened.at(0));
    const std::pair<const char*, const char*> european[] = {
        {"H4", "1"}, {"I4", "1,00E+01    "}, {"J4", "1,50E+00    "}, {"M5", "1,23E-02    "}};
    for (const auto& [ref, value] : european) {
        const auto& cell = f["cell\tFRA Sweep data\t" + std::string(ref)];
        ASSERT_GE(cell.size(), 3u) << ref;
        EXPECT_EQ(cell[CELL_TYPE], "str") << ref;
        EXPECT_EQ(cell[CELL_VALUE], value) << ref;
        EXPECT_EQ(cell[CELL_FORMAT], "@") << ref;
    }
}

TEST_F(office_fixture, DatabaseTestsWorkbookBlocksAndStartFailure)
{
    bool is_new = false;
    ASSERT_TRUE(db_open(dir + "/t.db", DB_OPEN_OR_CREATE, &is_new));
    s_session session;
    session.Name = "s";
    ASSERT_EQ(db_save_session(session, false), 0);
    std::vector<int> keys;
    for (const char* name : {"=1+1", "empty", "third"}) {
        s_test test;
        test.SessionNo = session.SessionNo;
        test.Name = name;
        ASSERT_EQ(db_save_test(test, false), 0);
        if (std::string(name) != "empty")
            for (int p = 0; p < 2; ++p)
                db_insert_point(test.TestNo, 0, {100.0 * (p + 1), -3.5, 45.0});
        keys.push_back(static_cast<int>(test.TestNo));
    }
    ASSERT_EQ(db_tests_workbook(keys, false, true), 0);
    auto f = dump(opened.at(0));
    EXPECT_EQ(f["cell\tSheet1\tA1"][CELL_TYPE], "str");
    EXPECT_EQ(f["cell\tSheet1\tA1"][CELL_VALUE], "=1+1");
    EXPECT_EQ(f["cell\tSheet1\tF1"][CELL_VALUE], "empty");
    EXPECT_EQ(f["cell\tSheet1\tI2"][CELL_VALUE], "Phase (\u00B0)");
    EXPECT_FALSE(f.count("cell\tSheet1\tF3"));
    EXPECT_EQ(f["cell\tSheet1\tL4"][CELL_VALUE], "200");
    EXPECT_EQ(f["cell\tSheet1\tM4"][CELL_VALUE], "-3.5");
    EXPECT_EQ(f["cell\tSheet1\tM4"][CELL_FORMAT], "@");
    for (const char* merge : {"A1:D1", "F1:I1", "K1:N1"})
        EXPECT_TRUE(f.count("merge\tSheet1\t" + std::string(merge))) << merge;
    EXPECT_FALSE(f.count("cell\tSheet1\tE1"));
    db_close();

    ole_unregister_server("Excel.Application");
    EXPECT_EQ(db_tests_workbook(keys, false, false), -1);
    ole_register_server("Excel.Application", excel_server_create, "Excel.Application.16");
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_EQ(ui.shown().back().text, "Excel server not found on this PC");
}

// A workbook that would hold no readable sweep, or no stored test, is not
// written, and says why.
TEST_F(office_fixture, WorkbookWithNothingReadableIsNotWritten)
{
    std::ofstream(dir + "/sweep1.dat") << "07-12-2026 - 09:35\r\ngarbage";
    EXPECT_EQ(fra_series_workbook(dir, 2, 2, false), -1);
    EXPECT_EQ(db_tests_workbook({998, 999}, false, false), -1); // no database open
    EXPECT_TRUE(opened.empty());
    const auto boxes = ui.shown();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text,
              "None of the sweep files could be read, nothing was written: sweep1.dat, sweep2.dat");
    EXPECT_EQ(boxes[1].text, "None of the tests was found: nothing was written");
}

// Workbook and document alike: the folder is named under the caption of
// the application that could not save, the failure reaches the caller and
// no file is left behind.
TEST_F(office_fixture, UnwritableReportsFolderIsNamedAndLeavesNoFile)
{
    const std::string blocked = dir + "/file";
    std::ofstream(blocked) << "x"; // a file where the folder should be
    office_set_reports_folder(blocked + "/reports");
    ASSERT_EQ(fra_single_workbook(three_points(), false, false), -1);
    auto capture = std::make_unique<s_screen_capture>();
    ASSERT_EQ(screen_export_file(*capture, dir + "/screen.bmp", true), -1);
    EXPECT_TRUE(opened.empty());
    const auto boxes = ui.shown();
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes)
        EXPECT_EQ(box.text, "Unable to write the report into the folder " + blocked + "/reports");
    EXPECT_EQ(boxes[0].caption, "Excel Export Error");
    EXPECT_EQ(boxes[1].caption, "Word Export Error");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2); // file, screen.bmp
}

// Where the windows let the user choose: the report goes to the path chosen
// and on to the opener; declining writes nothing and says nothing; a chosen
// folder that cannot take it is named. The reports folder is left alone.
// Only a report written is told to the status line.
TEST_F(office_fixture, ChosenDestinationTakesTheReportOrDeclinesQuietly)
{
    struct s_case {
        const char* chosen; // under dir; "" declines
        int result;
        const char* box;
    };
    const s_case cases[] = {
        {"/chosen.xlsx", 0, ""},
        {"", -1, ""},
        {"/missing/chosen.xlsx", -1, "Unable to write the report into the folder "},
    };
    ui_set_status_sink(record_status);
    for (const s_case& c : cases) {
        ui.clear();
        opened.clear();
        g_statuses.clear();
        std::vector<std::string> asked;
        const std::string chosen = *c.chosen ? dir + c.chosen : "";
        office_set_destination([&](const std::string& name, const std::string& extension) {
            asked.push_back(name + " " + extension);
            return chosen;
        });
        EXPECT_EQ(fra_single_workbook(three_points(), false, false), c.result) << c.chosen;
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].rfind("workbook-", 0), 0u) << asked[0];
        EXPECT_EQ(asked[0].substr(asked[0].size() - 10), ".xlsx xlsx") << asked[0];
        EXPECT_EQ(opened,
                  c.result == 0 ? std::vector<std::string>{chosen} : std::vector<std::string>{});
        if (c.result == 0) {
            EXPECT_FALSE(zip_entry(chosen, "[Content_Types].xml").empty());
        }
        const auto boxes = ui.shown();
        ASSERT_EQ(boxes.size(), *c.box ? 1u : 0u) << c.chosen;
        if (*c.box) {
            EXPECT_EQ(boxes[0].text, c.box + dir + "/missing");
        }
        EXPECT_EQ(g_statuses, c.result == 0 ? std::vector<std::string>{"Wrote 1 file to " + dir}
                                            : std::vector<std::string>{})
            << c.chosen;
    }
    ui_set_status_sink(nullptr);
    office_set_destination(nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir + "/reports"));
}

// Test names go into the workbook exactly as stored, as text cells in the
// file itself, whatever they look like to a spreadsheet.
TEST_F(office_fixture, DatabaseTestsWorkbookKeepsNamesAsStoredText)
{
    bool is_new = false;
    ASSERT_TRUE(db_open(dir + "/t.db", DB_OPEN_OR_CREATE, &is_new));
    s_session session;
    session.Name = "s";
    ASSERT_EQ(db_save_session(session, false), 0);
    const char* const names[] = {"0012", "1e5", "'quoted", "=1+1", "-2+3", "@A1", " 12 ", "a\tb"};
    std::vector<int> keys;
    for (const char* name : names) {
        s_test test;
        test.SessionNo = session.SessionNo;
        test.Name = name;
        ASSERT_EQ(db_save_test(test, false), 0);
        db_insert_point(test.TestNo, 0, {100.0, -3.5, 45.0});
        keys.push_back(static_cast<int>(test.TestNo));
    }
    for (const bool european : {false, true}) {
        opened.clear();
        ASSERT_EQ(db_tests_workbook(keys, european, false), 0);
        for (size_t j = 0; j < keys.size(); ++j) {
            const std::string ref = ole_column_letters(5 * static_cast<int>(j) + 1) + "1";
            const s_xml_cell cell = xml_cell(opened.at(0), "xl/worksheets/sheet1.xml", ref);
            EXPECT_EQ(cell.kind, "s") << names[j];
            EXPECT_EQ(cell.text, names[j]) << ref;
        }
        EXPECT_EQ(xml_cell(opened.at(0), "xl/worksheets/sheet1.xml", "B3").kind,
                  european ? "s" : "n");
    }
    db_close();
}
