// The paged report read back from its PDF with poppler's tools: the paper's
// size, every font embedded, each page's head and "page n of N" foot, a
// long table split over pages with its titles again on each, every row
// once, a heading kept on the page of what follows it, and a page heading
// that starts a page unless it would leave one empty.

#include "graph/ui/report_document.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/qt_test_app.h"

#include <QPainter>
#include <QPrinter>
#include <gtest/gtest.h>
#include <sstream>

namespace {

struct s_case {
    report_paper paper;
    const char* size; // as pdfinfo prints it
    int rows;
};

report_document sample(int rows)
{
    report_document doc(QStringLiteral("Sample Report"));
    doc.set_header({{QStringLiteral("Contract"), QStringLiteral("Bench 7")},
                    {QStringLiteral("Test"), QStringLiteral("Loop")}});
    doc.add_page_heading(QStringLiteral("Points"));
    std::vector<QStringList> table;
    for (int i = 0; i < rows; ++i)
        table.push_back({QStringLiteral("row%1").arg(i), QString::number(i * 0.25, 'f', 2)});
    doc.add_table({QStringLiteral("Frequency (Hz)"), QStringLiteral("Gain (dB)")}, table);
    doc.add_heading(QStringLiteral("Closing chart"));
    doc.add_chart(
        [](QPainter& p, const QRectF& r) {
            p.fillRect(r, Qt::white);
            p.drawText(r, Qt::AlignCenter, QStringLiteral("CHARTMARK"));
        },
        1.2);
    doc.add_page_heading(QStringLiteral("Appendix"));
    doc.add_paragraph(QStringLiteral("APPENDIXMARK"));
    return doc;
}

std::vector<std::string> pages_of(const std::string& text)
{
    std::vector<std::string> pages;
    std::stringstream in(text);
    for (std::string page; std::getline(in, page, '\f');)
        if (!page.empty())
            pages.push_back(page);
    return pages;
}

size_t count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(report_document, PdfHasThePaperEmbeddedFontsAndPagedTablesWithHeadAndFoot)
{
    ensure_qt_app();
    QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7"));
    const temp_folder dir("report_document_test");
    const s_case cases[] = {{report_paper::a4, "595 x 842", 12},
                            {report_paper::letter, "612 x 792", 260}};
    for (const s_case& c : cases) {
        SCOPED_TRACE(c.size);
        const report_document doc = sample(c.rows);
        const std::filesystem::path pdf = dir / "report.pdf";
        std::string error;
        ASSERT_TRUE(doc.write_pdf(pdf.string(), c.paper, error)) << error;
        const int pages = doc.page_count(report_page_size(c.paper));
        EXPECT_EQ(c.rows > 100, pages > 2);

        const std::string info = pdf_tool("pdfinfo", pdf);
        EXPECT_NE(info.find(std::string("Page size:       ") + c.size), std::string::npos) << info;
        EXPECT_NE(info.find("Pages:           " + std::to_string(pages)), std::string::npos);
        const s_pdf_fonts fonts = pdf_fonts(pdf);
        EXPECT_FALSE(fonts.fonts.empty());
        EXPECT_EQ(fonts.not_embedded, std::vector<std::string>{});

        const std::vector<std::string> text = pages_of(pdf_text(pdf));
        ASSERT_EQ(int(text.size()), pages);
        for (int p = 0; p < pages; ++p) {
            const std::string& page = text[size_t(p)];
            EXPECT_NE(page.find("Sample Report"), std::string::npos) << p;
            EXPECT_NE(page.find("Contract: Bench 7"), std::string::npos) << p;
            EXPECT_NE(page.find("Tarvelo2 release 9.8.7"), std::string::npos) << p;
            EXPECT_NE(page.find("page " + std::to_string(p + 1) + " of " + std::to_string(pages)),
                      std::string::npos);
            const bool rows = page.find("row") != std::string::npos;
            EXPECT_TRUE(!rows || page.find("Frequency (Hz)") != std::string::npos) << p;
        }
        const std::string all = pdf_text(pdf);
        for (int i = 0; i < c.rows; ++i)
            EXPECT_EQ(count(all, "row" + std::to_string(i) + " "), 1u) << i;
        EXPECT_NE(text.front().find("Points"), std::string::npos);
        const std::string& chart = text[text.size() - 2];
        EXPECT_NE(chart.find("Closing chart"), std::string::npos);
        EXPECT_NE(chart.find("CHARTMARK"), std::string::npos);
        EXPECT_EQ(text.back().find("CHARTMARK"), std::string::npos);
        EXPECT_NE(text.back().find("APPENDIXMARK"), std::string::npos);
    }
}

TEST(report_document, WriteFailuresAreReportedAndLeaveWhatWasThere)
{
    ensure_qt_app();
    const temp_folder dir("report_document_fail_test");
    std::filesystem::create_directories(dir / "folder.pdf");
    const std::string targets[] = {(dir / "missing/report.pdf").string(),
                                   (dir / "folder.pdf").string()};
    for (const std::string& target : targets) {
        std::string error;
        EXPECT_FALSE(sample(3).write_pdf(target, report_paper::a4, error)) << target;
        EXPECT_EQ(error, "Unable to write the PDF file " + target);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.pdf"));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(report_document, PrintingPaintsThePagesOfTheRangeChosen)
{
    ensure_qt_app();
    const temp_folder dir("report_document_print_test");
    const report_document doc = sample(260);
    const int pages = doc.page_count(report_page_size(report_paper::a4));
    ASSERT_GE(pages, 4);
    const struct {
        int from, to; // 0, 0: every page
        int first, count;
    } cases[] = {{0, 0, 1, pages}, {2, 3, 2, 2}, {3, 99, 3, pages - 2}};
    for (const auto& c : cases) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString((dir / "printed.pdf").string()));
        printer.setPageSize(report_page_size(report_paper::a4));
        if (c.from > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(c.from, c.to);
        }
        std::string error;
        ASSERT_TRUE(doc.print(printer, error)) << error;
        const std::vector<std::string> text = pages_of(pdf_text(dir / "printed.pdf"));
        ASSERT_EQ(int(text.size()), c.count) << c.from;
        const std::string first =
            "page " + std::to_string(c.first) + " of " + std::to_string(pages);
        EXPECT_NE(text.front().find(first), std::string::npos) << c.from;
    }
}

TEST(report_document, AParagraphLongerThanAPageRunsOntoTheNextPagesWhole)
{
    ensure_qt_app();
    const temp_folder dir("report_document_long_test");
    report_document doc(QStringLiteral("Sample Report"));
    doc.add_heading(QStringLiteral("Conclusion"));
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QStringLiteral("word%1 ").arg(i);
    doc.add_paragraph(text + QString(400, 'x') + QStringLiteral(" LASTWORD"));
    std::string error;
    ASSERT_TRUE(doc.write_pdf((dir / "long.pdf").string(), report_paper::a4, error)) << error;
    const std::vector<std::string> pages = pages_of(pdf_text(dir / "long.pdf"));
    ASSERT_GE(pages.size(), 3u);
    EXPECT_NE(pages.front().find("Conclusion\nword0 "), std::string::npos) << pages.front();
    const std::string all = pdf_text(dir / "long.pdf");
    for (int i = 0; i < 3000; ++i) {
        const std::string word = "word" + std::to_string(i);
        EXPECT_EQ(count(all, word + " ") + count(all, word + "\n"), 1u) << i;
    }
    EXPECT_EQ(count(all, "x"), 400u); // the unbroken word wraps, not runs off the page
    EXPECT_NE(pages.back().find("LASTWORD"), std::string::npos);
}
