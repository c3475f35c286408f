// A repeating FRA test of two sweeps: the countdown between them, the
// series' end, its export as text files and as a workbook, and a single
// sweep's text export. Every file written is read back against the sweep.

#include "tests/journeys/fra_journey.h"
#include "tests/support/zip_entry.h"

#include <cmath>
#include <iterator>
#include <regex>

namespace fs = std::filesystem;

namespace {

// Every cell text of a workbook's first sheet (its own and its shared
// strings) that reads wholly as a number.
std::vector<double> workbook_numbers(const std::string& path)
{
    std::vector<double> out;
    for (const char* member : {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml"}) {
        const std::string xml = zip_entry(path, member);
        static const std::regex cell(">([-+0-9.eE]+)<");
        for (auto it = std::sregex_iterator(xml.begin(), xml.end(), cell);
             it != std::sregex_iterator(); ++it)
            out.push_back(std::strtod((*it)[1].str().c_str(), nullptr));
    }
    return out;
}

bool holds(const std::vector<double>& numbers, double wanted)
{
    return std::any_of(numbers.begin(), numbers.end(), [&](double v) {
        return std::abs(v - wanted) <= 1e-5 * std::max(1.0, std::abs(wanted));
    });
}

// The sweep file's points (after its date line), as the series left them.
std::vector<std::vector<double>> sweep_file_numbers(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::vector<std::vector<double>> rows;
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::stringstream fields(line);
        std::string field;
        std::vector<double> row;
        std::getline(fields, field, '\t'); // the step
        while (std::getline(fields, field, '\t'))
            row.push_back(std::strtod(field.c_str(), nullptr));
        if (!row.empty())
            rows.push_back(row);
    }
    return rows;
}

// The table's rows as the exports' numbers: its columns after the step.
std::vector<std::vector<double>> table_numbers(const std::vector<std::vector<std::string>>& cells)
{
    std::vector<std::vector<double>> rows;
    for (const auto& row : cells) {
        rows.emplace_back();
        for (size_t c = 1; c < row.size(); ++c)
            rows.back().push_back(cell_number(row[c]));
    }
    return rows;
}

void expect_same_numbers(const std::vector<std::vector<double>>& got,
                         const std::vector<std::vector<double>>& want, const std::string& what)
{
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t r = 0; r < got.size(); ++r) {
        ASSERT_EQ(got[r].size(), want[r].size()) << what << " line " << r + 1;
        for (size_t c = 0; c < got[r].size(); ++c)
            EXPECT_NEAR(got[r][c], want[r][c], 1e-5 * std::max(1.0, std::abs(want[r][c])))
                << what << " line " << r + 1 << " column " << c + 1;
    }
}

std::string slurp(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST_F(fra_journey, RepeatingSeriesCountsDownAndExportsEverySweep)
{
    const fs::path out = dir() / "exports";
    fs::create_directories(out);
    std::vector<std::vector<std::string>> table;
    std::string report;
    run("HXM4100", [&] {
        connect_to_instrument();
        start_sweep(2);
        ASSERT_TRUE(wait_for([&] { return window_text(FRA_SWEEP_NO) == "1/2"; }, 120000))
            << "the first sweep of the series has not ended";
        // The minute between the sweeps runs in real time while the window is
        // looked at, then passes at once: however slow the machine, the
        // countdown is seen counting.
        const std::regex counting("00:00:([0-5][0-9])\n?");
        std::string countdown;
        EXPECT_TRUE(wait_for([&] {
            std::smatch left;
            countdown = window_text(FRA_COUNTDOWN);
            return std::regex_match(countdown, left, counting) && left[1] != "00";
        })) << "the countdown to the second sweep does not count: \""
            << countdown << "\"";
        EXPECT_EQ(window_text(FRA_SWEEP), "CANCEL");
        EXPECT_FALSE(enabled("EXPORT")) << "a series that runs cannot be exported yet";
        screenshot("countdown");
        timers_faster(600);
        ASSERT_TRUE(wait_for([&] { return window_text(FRA_SWEEP_NO) == "2/2"; }, 120000))
            << "the second sweep of the series has not ended";
        ASSERT_TRUE(sweep_ended(120000));
        EXPECT_EQ(text_of("14507"), "CLEAR");
        EXPECT_EQ(text_of("14511"), "") << "no sweep is due any more";
        click_id(FRA_TABLE_VIEW);
        table = list_cells("14500");
        EXPECT_EQ(table.size(), 100u);
        EXPECT_EQ(lists_scrolling_sideways(), std::vector<std::string>{});
        screenshot("series_done");

        const size_t shown_before = boxes().size();
        click_id(FRA_EXPORT);
        await_dialog("Export Tests");
        EXPECT_FALSE(enabled("Remove trailing zeros")) << "a series has no trailing-zeros choice";
        click("CSV");
        test_ui().push_file((out / "run.txt").string());
        click("OK");
        await_dialog("");
        EXPECT_EQ(boxes().size(), shown_before) << "the text export went without a word";

        click_id(FRA_EXPORT);
        await_dialog("Export Tests");
        click("Excel");
        test_ui().push_file((out / "series").string()); // the chooser adds ".xlsx"
        click("OK");
        ASSERT_TRUE(wait_for([&] { return boxes().size() > shown_before; }));
        report = boxes().back().text;
        EXPECT_EQ(boxes().back().style & MB_BUTTON_MASK, MB_YESNO) << "no offer to open it";
        EXPECT_EQ(test_ui().file_requests().back().caption, "Save Workbook");
        await_dialog("");
        screenshot("series_exported");
    });
    // Two text files, one a sweep, named after the chosen file and the
    // sweeps' dates and times; the second holds what the table shows.
    const std::vector<std::string> files = files_starting(out, "run");
    ASSERT_EQ(files.size(), 2u);
    const std::regex stamp(" #[0-9]{2}-[0-9]{2}-[0-9]{4} @[0-9]{2}_[0-9]{2}\\.txt");
    EXPECT_TRUE(std::regex_match(files[0], std::regex("run" + std::string(" #.*"))) &&
                std::regex_search(files[0], stamp))
        << files[0];
    EXPECT_TRUE(std::regex_match(files[1], std::regex("run 2 #.*")) &&
                std::regex_search(files[1], stamp))
        << files[1];
    const fs::path data = app_paths((dir() / "data").string()).data_folder;
    expect_same_numbers(exported_numbers(out / files[0]), sweep_file_numbers(data / "sweep1.dat"),
                        files[0]);
    expect_same_numbers(exported_numbers(out / files[1]), table_numbers(table), files[1]);

    // The workbook the user was told of: a valid archive whose sheet holds
    // both sweeps' headings and the points.
    const std::string prefix = "The report was written to ";
    ASSERT_EQ(report.rfind(prefix, 0), 0u) << report;
    const std::string workbook = report.substr(prefix.size(), report.find('\n') - prefix.size());
    EXPECT_EQ(workbook, (out / "series.xlsx").string());
    EXPECT_FALSE(zip_entry(workbook, "[Content_Types].xml").empty())
        << workbook << " is no workbook archive";
    const std::string strings = zip_entry(workbook, "xl/sharedStrings.xml") +
                                zip_entry(workbook, "xl/worksheets/sheet1.xml");
    EXPECT_NE(strings.find("Sweep No.: 1/2"), std::string::npos);
    EXPECT_NE(strings.find("Sweep No.: 2/2"), std::string::npos);
    const std::vector<double> numbers = workbook_numbers(workbook);
    for (const auto& row : table_numbers(table))
        for (size_t c = 0; c < 5; ++c)
            EXPECT_TRUE(holds(numbers, row[c])) << row[c] << " is not in the workbook";
}

TEST_F(fra_journey, SingleSweepExportsAsText)
{
    const fs::path file = dir() / "single.txt";
    std::vector<std::vector<std::string>> table;
    run("HXM6300", [&] {
        connect_to_instrument();
        start_sweep();
        ASSERT_TRUE(sweep_ended());
        click_id(FRA_TABLE_VIEW);
        table = list_cells("14500");
        click_id(FRA_EXPORT);
        await_dialog("Export Tests");
        EXPECT_TRUE(enabled("Remove trailing zeros"));
        click("CSV");
        test_ui().push_file(file.string());
        click("OK");
        await_dialog("");
        screenshot("exported");
    });
    EXPECT_EQ(table.size(), 100u);
    expect_same_numbers(exported_numbers(file), table_numbers(table), "single.txt");
    const std::string text = slurp(file);
    EXPECT_EQ(text.rfind("Instrument Configuration\r\n", 0), 0u);
    EXPECT_NE(text.find("Instrument,type,"), std::string::npos);
    EXPECT_NE(text.back(), '\n') << "no line ending after the last point";
}
