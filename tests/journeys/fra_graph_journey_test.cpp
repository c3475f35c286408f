// Two stored sweeps overlaid in the graph dialog: its scales readable on
// the default black background, the comparison with the reference and its
// export, and the chart saved as a bitmap, a PNG and an SVG drawing.

#include "tests/journeys/fra_journey.h"
#include "tests/support/chart_read.h"

#include <QImage>
#include <QSvgRenderer>

namespace fs = std::filesystem;

namespace {

const char* const CHART = "QXTarvelo2GraphChart";

bool has_text(const std::vector<s_chart_text>& texts, const std::string& wanted)
{
    return std::any_of(texts.begin(), texts.end(),
                       [&](const s_chart_text& t) { return t.text.toStdString() == wanted; });
}

// Why the texts painted into a saved picture cannot be read in it.
std::vector<std::string> unreadable_in(const QImage& image, const std::vector<s_chart_text>& texts)
{
    std::vector<std::string> faults;
    for (const s_chart_text& t : texts) {
        if (t.box || t.text.trimmed().isEmpty())
            continue;
        const std::string name = "\"" + t.text.toStdString() + "\"";
        if (!image.rect().contains(t.rect))
            faults.push_back(name + " is not wholly inside the picture");
        const QColor back = chart_read_detail::behind(image, t.rect);
        if (chart_contrast(t.color, back) < CHART_MIN_CONTRAST)
            faults.push_back(name + " on " + back.name().toStdString());
    }
    return faults;
}

std::vector<std::string> csv_fields(std::string line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, ','))
        fields.push_back(field);
    return fields;
}

} // namespace

TEST_F(fra_journey, GraphDialogComparesExportsAndSavesReadableCharts)
{
    const fs::path out = dir() / "charts";
    fs::create_directories(out);
    std::pair<int, int> chart_size;
    std::map<std::string, std::vector<s_chart_text>> saved;
    run("HXM4100", [&] {
        connect_to_instrument();
        start_sweep(0, "Loop A", "Bench A");
        ASSERT_TRUE(sweep_ended());
        click_id(FRA_SWEEP); // CLEAR
        start_sweep(0, "Loop B");
        ASSERT_TRUE(sweep_ended());

        ASSERT_TRUE(select_stored_tests("Bench A", {"Loop A", "Loop B"}));
        click("Graph Selected Tests");
        await_window("Graph");
        const std::vector<s_chart_text> shown = painted_texts(CHART);
        EXPECT_TRUE(has_text(shown, "FREQUENCY (Hz)"));
        for (const std::string& fault : unreadable_texts(CHART))
            ADD_FAILURE() << "on black: " << fault;
        screenshot("graph_black");
        chart_size = size_of(CHART);

        for (const char* format : {"bmp", "png", "svg"}) {
            test_ui().push_file((out / (std::string("chart.") + format)).string());
            saved[format] = painted_during([&] {
                menu({"Display", "Save to Bitmap..."}, "Graph");
            });
        }

        menu({"Analyze", "Compare with Reference…"}, "Graph");
        await_window("Compare with Reference");
        screenshot("compare");
        test_ui().push_file((out / "compare.txt").string());
        click("Export...");
        await_dialog("Export Tests");
        click("OK");
        await_dialog("");
    });
    const auto [width, height] = chart_size;
    for (const char* format : {"bmp", "png"}) {
        const QImage image(
            QString::fromStdString((out / (std::string("chart.") + format)).string()));
        ASSERT_FALSE(image.isNull()) << format << " does not decode";
        EXPECT_EQ(image.size(), QSize(width, height)) << format;
        EXPECT_TRUE(has_text(saved[format], "FREQUENCY (Hz)")) << format;
        for (const std::string& fault : unreadable_in(image, saved[format]))
            ADD_FAILURE() << format << ": " << fault;
    }
    const QSvgRenderer svg(QString::fromStdString((out / "chart.svg").string()));
    ASSERT_TRUE(svg.isValid()) << "the SVG drawing does not parse";
    EXPECT_EQ(svg.viewBox(), QRect(0, 0, width, height));
    EXPECT_TRUE(has_text(saved["svg"], "FREQUENCY (Hz)"));

    // The comparison names its reference and finds the second sweep of the
    // same instrument the same.
    std::ifstream compare(out / "compare.txt");
    std::string reference, header, row;
    std::getline(compare, reference);
    std::getline(compare, header);
    std::getline(compare, row);
    EXPECT_EQ(csv_fields(reference), (std::vector<std::string>{"Reference", "Loop A"}));
    const std::vector<std::string> cells = csv_fields(row);
    ASSERT_EQ(cells.size(), 7u) << row;
    EXPECT_EQ(cells[0], "Loop B");
    EXPECT_GE(std::strtod(cells[5].c_str(), nullptr), 0.99) << "correlation";
    EXPECT_LT(std::strtod(cells[6].c_str(), nullptr), 0.1) << "mean difference";
}
