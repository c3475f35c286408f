// The comparison report read back from its PDF: every test named whole,
// each test's margins as the FRA report words them ("not found" for a test
// without a crossing), and with two tests or more the reference's
// comparison table and the Difference view. The PDF is written on a worker
// thread, as the windows write it.

#include "fra/ui/fra_report.h"
#include "graph/ui/report_document.h"
#include "review/graph_compare.h"
#include "review/ui/compare_report.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/qt_test_app.h"

#include <QApplication>
#include <cmath>
#include <gtest/gtest.h>
#include <thread>

namespace {

// A loop through 0 dB at `crossing` Hz, its phase through 0 degrees at five
// times that; flat: gain and phase that cross nothing.
std::vector<s_margin_sample> loop(double crossing, bool flat = false)
{
    std::vector<s_margin_sample> out;
    for (int i = 0; i <= 60; ++i) {
        const double f = 10 * std::pow(10.0, i / 10.0 + 0.05);
        out.push_back({f, flat ? -12.0 : 20 * std::log10(crossing / f),
                       flat ? 40.0 : 45 * std::log10(5 * crossing / f)});
    }
    return out;
}

struct s_case {
    const char* name;
    std::vector<std::pair<std::string, std::vector<s_margin_sample>>> tests;
};

} // namespace

TEST(compare_report, NamesEveryTestWholeWithItsMarginsAndComparesWithTheReference)
{
    ensure_qt_app();
    const std::string long_name(60, 'x');
    const s_case cases[] = {
        {"one test", {{"Loop A", loop(1000)}}},
        {"three tests",
         {{"Loop A", loop(1000)}, {"Loop B " + long_name, loop(1200)}, {"Flat", loop(0, true)}}},
    };
    const temp_folder dir("compare_report_test");
    for (const s_case& c : cases) {
        graph_model model;
        for (const auto& [name, points] : c.tests)
            model.add(name, points);
        model.auto_freq_range();
        model.auto_gain_range();
        const report_document doc =
            compare_report(model, {{QStringLiteral("Contract"), QStringLiteral("Bench A")}});
        const std::string path = dir.str() + "/report.pdf";
        bool written = false;
        std::string error;
        std::thread([&] { written = doc.write_pdf(path, report_paper::a4, error); }).join();
        ASSERT_TRUE(written) << c.name << ": " << error;
        const std::string text = pdf_text(path);
        // A long text may wrap in its table cell: each of its words is looked for.
        const auto has = [&](const QString& s) {
            const QStringList words = s.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            return std::all_of(words.begin(), words.end(), [&](const QString& w) {
                return text.find(w.toStdString()) != std::string::npos;
            });
        };
        EXPECT_TRUE(has(QStringLiteral("Bench A"))) << c.name;
        for (const auto& [name, points] : c.tests) {
            EXPECT_TRUE(has(QString::fromStdString(name))) << c.name << ": " << name;
            for (const QStringList& row : fra_report_margin_rows(points))
                for (const QString& cell : row)
                    EXPECT_TRUE(has(cell)) << c.name << ": " << name << " " << cell.toStdString();
        }
        const bool compared = c.tests.size() > 1;
        EXPECT_EQ(has(QStringLiteral("Difference view")), compared) << c.name;
        if (!compared)
            continue;
        for (const s_winding_row& row : graph_compare_with_reference(model).rows)
            for (const std::string& cell : winding_table_cells(row, false))
                EXPECT_TRUE(has(QString::fromStdString(cell))) << c.name << ": " << cell;
    }
}
