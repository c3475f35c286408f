#include "config/config_text_block.h"
#include "config/hxm_cfg_4100.h"
#include "db/db_verdict.h"
#include "db/sweep_file.h"
#include "fra/fra_export.h"
#include "fra/fra_export_workbook.h"
#include "lcr/lcr_export.h"
#include "lcr/lcr_layouts.h"
#include "link/link.h"
#include "office/ole.h"
#include "tests/office/office_support.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr double VALUES[13] = {1000, 12.5, 0.08,  1234.5, -45.25, 0.0015, 2.5e-9,
                               99.5, 4e-5, -3.25, 0.5,    1e-12,  250000};

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string crlf(const std::string& text)
{
    std::string out;
    for (const char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

class LcrExport : public office_fixture {
protected:
    void SetUp() override
    {
        office_fixture::SetUp();
        cfg.set_int(1, 2);
        header = {&cfg, &link, ""};
    }

    LcrResults& results_of(int layout, int count)
    {
        results->clear();
        results->layout = layout;
        results->count = count;
        for (int i = 0; i < count; ++i)
            for (int v = 0; v < lcr_layout(layout).values; ++v)
                results->points[static_cast<size_t>(i)].v[v] = VALUES[v] * (i + 1);
        return *results;
    }

    // sweepN.dat files 1..count of a series of the layout, as an LCR sweep
    // writes them (one hour apart), with the mode recorded beside them.
    void write_series(int layout, int count, int points = 2, const char* mode = nullptr)
    {
        for (int k = 1; k <= count; ++k) {
            sweep_file_writer file;
            ASSERT_TRUE(file.open(sweep_file_path(dir, k), 1796636100 + 3600 * (k - 1)));
            for (int i = 0; i < points; ++i) {
                std::vector<double> v(VALUES, VALUES + lcr_layout(layout).values);
                v[0] += i;
                file.write_row(sweep_file_row(i + 1, v));
            }
            ASSERT_TRUE(file.close());
        }
        sweep_file_mark_mode(dir, mode ? mode : "LCR " + std::to_string(layout));
    }

    std::string block() const { return config_block_text(cfg, link, "") + "data start sweep 1\n"; }

    hxm_cfg_4100 cfg;
    s_link link;
    s_export_header header;
    std::unique_ptr<LcrResults> results = std::make_unique<LcrResults>();
};

} // namespace

TEST_F(LcrExport, SweepTextByteForByteInEveryLayoutAndStyle)
{
    const std::string l2 = "1.00000E+003,1.25000E+001,8.00000E-002,1.23450E+003,-4.52500E+001";
    const std::string l2b = ",1.50000E-003,2.50000E-009,9.95000E+001";
    const std::string l5 = ",4.00000E-005,-3.25000E+000,5.00000E-001,1.00000E-012,2.50000E+005";
    const struct {
        int layout;
        const char* columns;
        std::string first;
    } cases[] = {
        {2,
         "Steps,Frequency (Hz),Q,tan delta,Impedance (Ohm),Phase (deg),Parallel L (H),Parallel C "
         "(F),Parallel R (Ohm)",
         "1," + l2 + l2b},
        {5,
         "Steps,Frequency (Hz),Q factor,Tan\xF0,Z magnitude (Ohm),Z phase (\xB0),Series L "
         "(H),Series C (F),Series R (Ohm),Y magnitude (S), Y phase (\xB0),Parallel L "
         "(H),Parallel C (F),Parallel R (Ohm)",
         "1," + l2 + l2b + l5},
        {6, "Steps,Frequency (Hz),Z real (Ohm),Z quadratude (Ohm),Z magnitude (Ohm),Z Phase (\xB0)",
         "1," + l2},
        {7, "Steps,Frequency (Hz),Y real (S),Y quadratude (S),Y magnitude (S),Y Phase (\xB0)",
         "1," + l2},
    };
    for (const auto& c : cases)
        for (const bool european : {false, true}) {
            const std::string path = dir + "/s.txt";
            fs::remove(path); // the export asks before replacing a file
            ASSERT_EQ(lcr_export_single_text(path, results_of(c.layout, 2), header, european), 0);
            std::string columns = c.columns, first = c.first;
            if (european) {
                std::replace(columns.begin(), columns.end(), ',', ';');
                std::replace(first.begin(), first.end(), ',', ';');
                std::replace(first.begin(), first.end(), '.', ',');
            }
            const std::string text = slurp(path);
            EXPECT_EQ(text.substr(0, text.find("\r\n2")), crlf(block() + columns + "\n" + first))
                << c.layout << european;
            EXPECT_NE(text.find("File Format,QmrkV1\r\n"), std::string::npos);
            EXPECT_EQ(text.find("\r\n2" + std::string(european ? ";2" : ",2")) + 1,
                      text.rfind("\r\n2") + 1);
            EXPECT_NE(text.back(), '\n') << "no line end after the last line";
            EXPECT_EQ(text.find(european ? "E+03" : "E+03;"), std::string::npos);
        }
    // The last sweep's verdict goes between the block and the data.
    header.verdict = verdict_export_lines({true, 2, "B", {}, "l.json"});
    ASSERT_EQ(lcr_export_single_text(dir + "/v.txt", results_of(6, 2), header, false), 0);
    EXPECT_EQ(slurp(dir + "/v.txt")
                  .find(crlf(config_block_text(cfg, link, "") +
                             "Verdict,result,PASS\n,bin,2\n,bin name,B\n"
                             ",limit set,l.json\ndata start sweep 1\n")),
              0u);
    EXPECT_EQ(lcr_export_single_text(dir + "/e.txt", results_of(2, 0), header, false), -1);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "No Data to Export");
    EXPECT_EQ(ui.shown()[0].caption, "Excel Export Error");
    EXPECT_FALSE(fs::exists(dir + "/e.txt"));
}

TEST_F(LcrExport, SeriesTextNamesFilesFromTheDateLineAndRefusesWhatItCannotExport)
{
    write_series(2, 3);
    header.verdict = "Verdict,result,PASS\n"; // the last sweep's, told in no file of a series
    ASSERT_EQ(lcr_export_series_text(dir + "/run.txt", dir, 3, 3, header, false), 3);
    const char* const names[] = {"run #07-12-2026 @09_35.txt", "run 2 #07-12-2026 @10_35.txt",
                                 "run 3 #07-12-2026 @11_35.txt"};
    for (const char* name : names) {
        const std::string text = slurp(dir + "/" + name);
        ASSERT_FALSE(text.empty()) << name;
        EXPECT_NE(text.find("Steps,Frequency (Hz),Q,tan delta"), std::string::npos);
        EXPECT_NE(text.find("\r\n2,1.00100E+003,1.25000E+001,"), std::string::npos);
        EXPECT_EQ(text.substr(text.size() - 14), "9.95000E+001\r\n");
        EXPECT_EQ(text.find("\n\n"), std::string::npos);
        EXPECT_EQ(text.find("Verdict"), std::string::npos);
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
            ASSERT_EQ(text[at - 1], '\r') << name;
    }
    EXPECT_TRUE(ui.shown().empty());

    // Refusals: unfinished series, nothing run, another mode's files.
    const struct {
        int done, total;
        const char* mode;
    } refused[] = {{2, 3, "LCR 2"}, {0, 0, "LCR 2"}, {3, 3, "FRA"}, {3, 3, ""}};
    for (const auto& r : refused) {
        sweep_file_mark_mode(dir, r.mode);
        ui.clear();
        EXPECT_EQ(lcr_export_series_text(dir + "/x.txt", dir, r.done, r.total, header, true), -1);
        EXPECT_EQ(lcr_series_workbook(dir, r.done, r.total, true), -1);
        ASSERT_EQ(ui.shown().size(), 2u) << r.mode;
        EXPECT_EQ(ui.shown()[0].text, "No Data to Export");
        EXPECT_EQ(ui.shown()[1].text, "No Data to Export");
    }
    EXPECT_TRUE(opened.empty());
    // And the FRA exports refuse the LCR set in turn.
    sweep_file_mark_mode(dir, "LCR 2");
    ui.clear();
    EXPECT_EQ(fra_export_series_text(dir + "/f.txt", dir, 3, 3, header, false), -1);
    EXPECT_EQ(fra_series_workbook(dir, 3, 3, false), -1);
    EXPECT_EQ(ui.shown().size(), 2u);
    EXPECT_EQ(ui.shown().back().text, "No Data to Export");
}

TEST_F(LcrExport, SeriesTextSkipsShortFilesAndStopsAtAnUnwritableOne)
{
    write_series(5, 3);
    // Sweep 2 holds layout-2 rows although the set is layout 5: too short.
    std::ofstream(sweep_file_path(dir, 2), std::ios::binary)
        << "07-12-2026 - 10:35\r\n1\t1000.0000\t1.0E+000\t2.0E+000";
    EXPECT_EQ(lcr_export_series_text(dir + "/run.txt", dir, 3, 3, header, true), 2);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text,
              "These sweep files could not be read and were not exported: sweep2.dat");
    const std::string text = slurp(dir + "/run 3 #07-12-2026 @11_35.txt");
    EXPECT_NE(text.find("Steps;Frequency (Hz);Q factor;Tan\xF0;"), std::string::npos);
    EXPECT_NE(text.find("Instrument,type,"), std::string::npos) << "the block keeps its commas";
    EXPECT_NE(text.find("\r\n1;1,00000E+003;1,25000E+001;"), std::string::npos);

    // The third file cannot be created: the first stays, the message names it.
    ui.clear();
    const std::string out = dir + "/out";
    fs::create_directory(out);
    fs::create_directory(out + "/run 3 #07-12-2026 @11_35.txt"); // a folder in its place
    std::ofstream(sweep_file_path(dir, 2), std::ios::binary) << slurp(sweep_file_path(dir, 1));
    EXPECT_EQ(lcr_export_series_text(out + "/run.txt", dir, 3, 3, header, false), -1);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text,
              "Unable to create CSV file\n" + out + "/run 3 #07-12-2026 @11_35.txt");
    EXPECT_TRUE(fs::exists(out + "/run #07-12-2026 @09_35.txt"));
    size_t files = 0;
    for (const auto& e : fs::directory_iterator(out))
        files += e.is_regular_file();
    EXPECT_EQ(files, 2u) << "no temporary file left";
}

TEST_F(LcrExport, SweepWorkbookHeadingsFormsAndTrailingZeros)
{
    const struct {
        int layout;
        bool european, zeros;
        const char *cell, *type, *value, *format;
    } cases[] = {
        {6, false, false, "B3", "int", "1000", "#,##0.00000"},
        {6, false, false, "C3", "float", "12.5", "#,##0.00000"},
        {2, false, false, "G3", "float", "0.0015", "0.00000E+00"},
        {2, false, false, "H3", "float", "2.5e-09", "0.00000E+00"},
        {2, true, false, "H3", "str", "2,50000E-009", "@"},
        {2, true, false, "C3", "str", "12,50000", "@"},
        {5, false, false, "G3", "float", "0.0015", "0.00000E+00"},
        {5, false, true, "H3", "float", "2.5e-09", "0.00000E+00"},
        // Admittances, parallel L and C: never 0.00000.
        {5, false, false, "J3", "float", "4e-05", "0.00000E+00"},
        {5, false, false, "M3", "float", "1e-12", "0.00000E+00"},
        {7, false, false, "B3", "int", "1000", "#,##0.00000"},
        {7, false, false, "D3", "float", "0.08", "0.00000E+00"},
        {7, false, false, "E3", "float", "1234.5", "0.00000E+00"},
        {6, false, true, "C3", "str", "12.5", "@"},
        {6, false, true, "C4", "str", "25", "@"},
        {6, true, true, "D4", "str", "0,16", "@"},
    };
    for (const auto& c : cases) {
        opened.clear();
        ASSERT_EQ(lcr_single_workbook(results_of(c.layout, 2), c.european, c.zeros), 0);
        ASSERT_EQ(opened.size(), 1u);
        auto f = dump(opened[0]);
        const auto& cell = f["cell\tSheet1\t" + std::string(c.cell)];
        ASSERT_FALSE(cell.empty()) << c.cell;
        EXPECT_EQ(cell[CELL_TYPE], c.type) << c.layout << c.cell;
        EXPECT_EQ(cell[CELL_VALUE], c.value) << c.layout << c.cell;
        EXPECT_EQ(cell[CELL_FORMAT], c.format) << c.layout << c.cell;
        EXPECT_EQ(cell[CELL_HALIGN], "right");
        EXPECT_EQ(f["cell\tSheet1\tA1"][CELL_VALUE], "LCR Sweep");
        EXPECT_EQ(f["cell\tSheet1\tA2"][CELL_FILL], "FFC8C8C8");
        EXPECT_EQ(f["cell\tSheet1\tA4"][CELL_BORDERS], "thin/thin/thin/thin");
        const std::string last = ole_column_letters(lcr_layout(c.layout).values + 1);
        EXPECT_TRUE(f.count("merge\tSheet1\tA1:" + last + "1"));
        EXPECT_FALSE(
            f.count("cell\tSheet1\t" + ole_column_letters(lcr_layout(c.layout).values + 2) + "3"))
            << "no format outside the block";
    }
    opened.clear();
    lcr_single_workbook(results_of(6, 1), false, false);
    auto f = dump(opened.at(0));
    const char* const headings[] = {"Step",
                                    "Frequency (Hz)",
                                    "Z Real (Ohms)",
                                    "Z Quadrature (Ohms)",
                                    "Z Magnitude (Ohms)",
                                    "Z Phase (\u00B0)"};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(f["cell\tSheet1\t" + ole_column_letters(c + 1) + "2"][CELL_VALUE], headings[c]);
    ui.clear();
    EXPECT_EQ(lcr_single_workbook(results_of(6, 0), false, false), -1);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "There is nothing to export yet");
    EXPECT_EQ(ui.shown()[0].caption, "Export to Excel");
}

// Every value of every workbook style reads back to six significant digits:
// a tan delta of 1.5708E-05 is no 0.00002, a Q of 0.123456 no 0.12346.
TEST_F(LcrExport, WorkbooksKeepSixSignificantDigitsOfEveryValue)
{
    results_of(5, 3);
    for (int i = 0; i < 3; ++i) {
        results->points[static_cast<size_t>(i)].v[1] = 0.123456 * (i + 1);
        results->points[static_cast<size_t>(i)].v[2] = 1.5708e-5 * (i + 1);
        results->points[static_cast<size_t>(i)].v[3] = 1234.5678 * (i + 1);
    }
    write_series(5, 1, 3);
    const auto near = [](const std::string& shown, double value) {
        std::string text = shown;
        text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
        std::replace(text.begin(), text.end(), ',', '.');
        const double read = std::strtod(text.c_str(), nullptr);
        return std::fabs(read - value) <= 5e-6 * std::fabs(value);
    };
    const int n = lcr_layout(5).values;
    for (const bool european : {false, true})
        for (const bool zeros : {false, true}) {
            opened.clear();
            ASSERT_EQ(lcr_single_workbook(*results, european, zeros), 0);
            auto f = dump(opened.at(0));
            for (int i = 0; i < 3; ++i)
                for (int v = 0; v < n; ++v) {
                    const std::string ref = ole_column_letters(v + 2) + std::to_string(i + 3);
                    const double value = results->points[static_cast<size_t>(i)].v[v];
                    EXPECT_TRUE(near(f["cell\tSheet1\t" + ref].at(CELL_VALUE), value))
                        << ref << " " << f["cell\tSheet1\t" + ref][CELL_VALUE] << " " << value
                        << european << zeros;
                }
            if (!european && !zeros) {
                EXPECT_EQ(f["cell\tSheet1\tD3"][CELL_FORMAT], "0.00000E+00");
            }
        }
    // A sweep file's rows, European numbers included.
    const std::vector<double> row(VALUES, VALUES + n);
    opened.clear();
    ASSERT_EQ(lcr_series_workbook(dir, 1, 1, true), 0);
    auto f = dump(opened.at(0));
    for (int v = 0; v < n; ++v)
        EXPECT_TRUE(
            near(f["cell\tLCR Sweep data\t" + ole_column_letters(v + 2) + "4"].at(CELL_VALUE),
                 row[static_cast<size_t>(v)]))
            << v;
}

TEST_F(LcrExport, SeriesWorkbookBlocksRunPastZZ)
{
    write_series(2, 3);
    fs::remove(sweep_file_path(dir, 2));
    ASSERT_EQ(lcr_series_workbook(dir, 3, 3, false), 0);
    auto f = dump(opened.at(0));
    const std::string s = "cell\tLCR Sweep data\t";
    EXPECT_TRUE(f.count("order\tLCR Sweep data"));
    const std::pair<const char*, const char*> cells[] = {{"A1", "Sweep No.: 1/3"},
                                                         {"F1", "07-12-2026 - 09:35"},
                                                         {"A2", "QXL HXM Comm LCR Sweep"},
                                                         {"A3", "Steps"},
                                                         {"I3", "R (Ohms)"},
                                                         {"K1", "Error"},
                                                         {"U1", "Sweep No.: 3/3"},
                                                         {"Z1", "07-12-2026 - 11:35"},
                                                         {"A5", "2"},
                                                         {"B5", "1001"},
                                                         {"H4", "2.5e-09"}};
    for (const auto& [ref, value] : cells)
        EXPECT_EQ(f[s + ref][CELL_VALUE], value) << ref;
    for (const char* merge : {"A1:E1", "F1:I1", "A2:I2", "K1:P1", "U1:Y1"})
        EXPECT_TRUE(f.count("merge\tLCR Sweep data\t" + std::string(merge))) << merge;
    EXPECT_EQ(f[s + "A1"][CELL_FILL], "FFEEECE1");
    EXPECT_EQ(f[s + "A2"][CELL_FILL], "FFDBEEF3");
    EXPECT_EQ(f[s + "B3"][CELL_FILL], "FFF2F2F2");
    EXPECT_EQ(f[s + "C4"][CELL_BORDERS], "dashed/dashed/dashed/dashed");
    EXPECT_EQ(f[s + "A5"][CELL_BORDERS], "medium/dashed/dashed/medium");
    EXPECT_EQ(f[s + "I5"][CELL_BORDERS], "dashed/dashed/medium/medium");
    EXPECT_EQ(f["width\tLCR Sweep data\tJ"][1], "1");
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "These sweep files could not be read: sweep2.dat");

    // 50 sweeps of layout 5: fifteen columns a block, the 47th at ZO..AAB.
    opened.clear();
    write_series(5, 50, 1);
    ASSERT_EQ(lcr_series_workbook(dir, 50, 50, true), 0);
    f = dump(opened.at(0));
    EXPECT_EQ(ole_column_letters(15 * 46 + 1), "ZO");
    EXPECT_EQ(f[s + "ZO1"][CELL_VALUE], "Sweep No.: 47/50");
    EXPECT_EQ(f[s + "ZO4"][CELL_VALUE], "1");
    EXPECT_EQ(f[s + "ZP4"][CELL_VALUE], "1,00000E+003");
    EXPECT_EQ(f[s + "ZP4"][CELL_FORMAT], "@");
    EXPECT_EQ(f[s + "AAB4"][CELL_VALUE], "2,50000E+005");
    EXPECT_FALSE(f.count(s + "AAC4"));
    EXPECT_TRUE(f.count("merge\tLCR Sweep data\tZO2:AAB2"));
    EXPECT_EQ(f[s + "AAB3"][CELL_VALUE], "Parallel R (Ohms)");
}

TEST_F(LcrExport, DialogChoicesRunTheirExport)
{
    write_series(2, 3);
    const struct {
        bool excel;
        int repeat, points;
        const char* file; // chosen in the save chooser; "" cancels, nullptr: not asked
        int rc;
        const char* told; // nullptr: nothing
        const char* made; // file expected in dir
    } cases[] = {
        {false, 0, 2, "a.txt", 0, nullptr, "a.txt"},
        {false, 0, 0, nullptr, -1, "No Data to Export", nullptr},
        {false, 0, 2, "", -1, "Unable to create CSV file", nullptr},
        {false, 3, 0, "r.txt", 0, nullptr, "r 3 #07-12-2026 @11_35.txt"},
        {true, 0, 2, nullptr, 0, nullptr, nullptr},
        {true, 3, 0, nullptr, 0, nullptr, nullptr},
        {true, 0, 0, nullptr, -1, "There is nothing to export yet", nullptr},
    };
    for (const auto& c : cases) {
        ui.clear();
        opened.clear();
        if (c.file && *c.file)
            ui.push_file(dir + "/" + c.file);
        else if (c.file)
            ui.push_file_cancel();
        s_lcr_export_request request;
        request.excel = c.excel;
        request.results = &results_of(2, c.points);
        request.repeat_count = c.repeat;
        request.sweeps_done = request.sweeps_total = c.repeat;
        request.data_folder = dir;
        request.header = header;
        EXPECT_EQ(lcr_export_run(nullptr, request), c.rc) << c.excel << c.repeat << c.points;
        EXPECT_EQ(ui.file_requests().size(), c.file ? 1u : 0u);
        EXPECT_EQ(ui.shown().empty() ? "" : ui.shown()[0].text, c.told ? c.told : "");
        EXPECT_EQ(opened.size(), c.excel && c.rc == 0 ? 1u : 0u);
        EXPECT_TRUE(!c.made || fs::exists(dir + "/" + c.made)) << c.made;
    }
    // Without the spreadsheet both workbooks say so and write nothing.
    ole_unregister_server("Excel.Application");
    ui.clear();
    opened.clear();
    EXPECT_EQ(lcr_single_workbook(results_of(2, 2), false, false), -1);
    EXPECT_EQ(lcr_series_workbook(dir, 3, 3, false), -1);
    ole_register_server("Excel.Application", excel_server_create, "Excel.Application.16");
    ASSERT_EQ(ui.shown().size(), 2u);
    for (const auto& box : ui.shown()) {
        EXPECT_EQ(box.text, "Excel server not found on this PC");
        EXPECT_EQ(box.caption, "Excel Export Error");
    }
    EXPECT_TRUE(opened.empty());
}
