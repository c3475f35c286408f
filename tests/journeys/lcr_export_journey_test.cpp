// An LCR sweep exported as text, as a workbook and as a Touchstone file,
// then a repeating test of two sweeps exported the same ways: the series
// export writes a file per sweep and one sheet with a block per sweep, and
// offers neither "Remove trailing zeros" nor Touchstone.

#include "tests/journeys/mode_journey.h"
#include "tests/support/touchstone_reader.h"

namespace fs = std::filesystem;

namespace {

constexpr int LCR_LIST = 14700;
constexpr int LCR_TABLE = 14704;
constexpr int LCR_SWEEP = 14707;
constexpr int LCR_EXPORT = 14709;
constexpr int LCR_SWEEP_NO = 14713;
// The HXM6300 in LCR mode measuring "Auto": 13 values a point.
constexpr size_t COLUMNS = 14;
const char* const HEADER_START = "Steps,Frequency (Hz),Q factor,";

// The lines of an LCR text export after its column header line; fails when
// the header is missing.
std::vector<std::string> data_lines(const fs::path& file)
{
    const std::vector<std::string> lines = file_lines(file);
    const auto header = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.rfind(HEADER_START, 0) == 0;
    });
    EXPECT_NE(header, lines.end()) << file << " has no column header";
    return header == lines.end() ? std::vector<std::string>{}
                                 : std::vector<std::string>(header + 1, lines.end());
}

size_t fields(const std::string& line)
{
    return static_cast<size_t>(std::count(line.begin(), line.end(), ',')) + 1;
}

// The path named by "The report was written to PATH", the line that opens
// the offer to open it.
fs::path report_path(const ui_shown_box& box)
{
    const std::string head = "The report was written to ";
    if (box.text.rfind(head, 0) != 0)
        return {};
    return box.text.substr(head.size(), box.text.find('\n') - head.size());
}

} // namespace

class lcr_export_journey : public mode_journey {
protected:
    // EXPORT, the format chosen, OK; a text export is saved as file.
    void export_as(const char* format, const fs::path& file = {})
    {
        click_id(LCR_EXPORT);
        await_dialog("Export Tests");
        click(format);
        if (!file.empty())
            test_ui().push_file(file.string());
        click("OK");
        await_dialog("");
    }

    // The workbook an Excel export left where the user chose, read back.
    std::string exported_workbook(size_t boxes_before, const fs::path& chosen)
    {
        EXPECT_TRUE(wait_for([&] { return boxes().size() > boxes_before; }));
        const fs::path book = report_path(box_after(boxes_before));
        EXPECT_EQ(book, chosen) << box_after(boxes_before).text;
        return archive_text(book);
    }

    // EXPORT as Touchstone, read back: S11 against 50 ohms at the
    // frequencies of the text export's rows, for a passive part no more
    // than total reflection, named after the instrument and the sweep.
    void expect_touchstone_of(const std::vector<std::string>& rows)
    {
        const fs::path file = dir() / "dut.s1p";
        click_id(LCR_EXPORT);
        await_dialog("Export Tests");
        click("Touchstone");
        for (const char* unused : {"European", "Remove trailing zeros"})
            EXPECT_FALSE(enabled(unused)) << unused << " offered for a Touchstone file";
        screenshot("touchstone_export_dialog");
        test_ui().push_file(file.string());
        click("OK");
        await_dialog("");
        const s_touchstone_file s = read_touchstone(file_bytes(file));
        EXPECT_EQ(s.option_lines, 1);
        EXPECT_EQ(s.unit + " " + s.parameter + " " + s.format, "HZ S RI");
        EXPECT_EQ(s.r, 50);
        std::string comments;
        for (const std::string& c : s.comments)
            comments += c + "\n";
        for (const char* says : {"HXM6300", "Date: ", "layout 5"})
            EXPECT_NE(comments.find(says), std::string::npos) << says << " in\n" << comments;
        ASSERT_EQ(s.hz.size(), rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            const double hz = std::stod(rows[i].substr(rows[i].find(',') + 1));
            EXPECT_NEAR(s.hz[i], hz, 1e-6 * hz) << rows[i];
            EXPECT_LE(std::abs(s.value[i]), 1 + 1e-9) << rows[i];
        }
    }
};

TEST_F(lcr_export_journey, SingleSweepAndRepeatingTestAreExportedAsTextAndWorkbook)
{
    const fs::path single = dir() / "single.txt";
    const fs::path series = dir() / "run.txt";
    run("HXM6300", [&] {
        connect_to_instrument();
        enter_mode("LCR", LCR_SWEEP);
        click_id(LCR_TABLE);
        start_single_sweep(LCR_SWEEP);
        ASSERT_TRUE(wait_for([&] { return list_rows(std::to_string(LCR_LIST)).size() > 1; }));
        const size_t points = list_rows(std::to_string(LCR_LIST)).size();
        EXPECT_EQ(lists_scrolling_sideways(), std::vector<std::string>{});
        screenshot("single_sweep_table");

        export_as("CSV", single);
        const std::vector<std::string> rows = data_lines(single);
        ASSERT_EQ(rows.size(), points);
        EXPECT_EQ(rows.front().rfind("1,", 0), 0u) << rows.front();
        for (const std::string& row : rows)
            EXPECT_EQ(fields(row), COLUMNS) << row;
        size_t shown = boxes().size();
        fs::create_directories(dir() / "books");
        export_as("Excel", dir() / "books/single.xlsx");
        const std::string book = exported_workbook(shown, dir() / "books/single.xlsx");
        EXPECT_NE(book.find("LCR Sweep"), std::string::npos);
        EXPECT_NE(book.find("Series L (H)"), std::string::npos);
        expect_touchstone_of(rows);

        click_id(LCR_SWEEP); // CLEAR
        click_id(LCR_SWEEP);
        await_dialog("Test Details");
        click("Repeating Test");
        click_field("Tests to run");
        key(Qt::Key_A, Qt::ControlModifier);
        type("2");
        click_field("Interval (mins)");
        key(Qt::Key_A, Qt::ControlModifier);
        type("1");
        timers_faster(15); // the minute between the sweeps passes in four seconds
        click("Start Sweep");
        await_dialog("");
        ASSERT_TRUE(wait_for([&] { return control_text(LCR_SWEEP) == "CLEAR"; }, 60000))
            << "the repeating test did not end";
        EXPECT_EQ(control_text(LCR_SWEEP_NO), "2/2");
        screenshot("series_done");

        click_id(LCR_EXPORT);
        await_dialog("Export Tests");
        EXPECT_FALSE(enabled("Remove trailing zeros")) << "offered for a series export";
        EXPECT_FALSE(enabled("Touchstone")) << "offered for a series export";
        screenshot("series_export_dialog");
        click("Cancel");
        await_dialog("");
        export_as("CSV", series);
        shown = boxes().size();
        export_as("Excel", dir() / "books/series.xlsx");
        EXPECT_EQ(test_ui().file_requests().back().start,
                  (dir() / "books" / fs::path(test_ui().file_requests().back().start).filename())
                      .string())
            << "the workbook chooser does not open where the last workbook went";
        const std::string sheet = exported_workbook(shown, dir() / "books/series.xlsx");
        EXPECT_NE(sheet.find("LCR Sweep data"), std::string::npos);
        for (const char* block : {"Sweep No.: 1/2", "Sweep No.: 2/2"})
            EXPECT_NE(sheet.find(block), std::string::npos) << block;
    });
    // One file a sweep, named "run", then "run 2", each with its date.
    std::vector<fs::path> written;
    for (const fs::path& f : files_under(dir().str(), ".txt"))
        if (f.filename().string().rfind("run", 0) == 0)
            written.push_back(f);
    ASSERT_EQ(written.size(), 2u) << "not one file a sweep of the series";
    EXPECT_EQ(written[0].filename().string().rfind("run #", 0), 0u) << written[0];
    EXPECT_EQ(written[1].filename().string().rfind("run 2 #", 0), 0u) << written[1];
    for (const fs::path& f : written)
        EXPECT_FALSE(data_lines(f).empty()) << f;
}
