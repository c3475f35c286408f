#pragma once
// A paged report: a list of blocks (headings, paragraphs, field tables,
// tables and charts) laid out on A4 or Letter pages. Every page carries the
// report's title and the session's details at its head and "page n of N"
// with the program and its release at its foot. The same painting writes a
// PDF (vector, text selectable, fonts embedded), prints onto a QPrinter and
// draws the Print Preview's pages.
//
// The page is laid out in points (1/72 inch). A chart is painted by its own
// painter into a rectangle of REPORT_CHART_WIDTH chart pixels across, which
// is scaled onto the page, so the painters the windows draw with lay out
// their texts as they do on screen.

#include "graph/ui/report_blocks.h"

#include <QLocale>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QPainter;
class QPagedPaintDevice;
class QPrinter;

enum class report_paper { a4, letter };
// Letter where the locale measures in inches (the United States), else A4.
report_paper report_paper_of(const QLocale& locale);
QPageSize report_page_size(report_paper paper);

// Fields from (label, value) pairs of Windows-1252 text, such as the
// configuration block's (config_block_fields).
std::vector<report_field>
report_fields_of(const std::vector<std::pair<std::string, std::string>>& ansi);

// Writes a PDF's bytes (pdf_bytes') through a temporary file that replaces
// the file at path once whole; false with the reason in error.
bool report_write_pdf_bytes(const std::string& path, const QByteArray& bytes, std::string& error);

class report_document {
public:
    explicit report_document(QString title);

    // The details at the head of every page (session and test).
    void set_header(std::vector<report_field> fields);
    void add_heading(const QString& text);
    // A heading that starts a new page, unless the page holds nothing yet.
    void add_page_heading(const QString& text);
    void add_paragraph(const QString& text);
    // Label and value pairs, the labels in a column of their own.
    void add_fields(std::vector<report_field> fields);
    // A table whose column titles repeat at the top of every page it runs onto.
    void add_table(QStringList columns, std::vector<QStringList> rows);
    // A chart of the given width to height ratio, as wide as the page allows.
    void add_chart(report_chart_painter paint, double aspect);

    const QString& title() const { return content_.title; }
    // The pages the document takes on paper of that size.
    int page_count(const QPageSize& page) const;

    // Writes the document as a PDF through a temporary file that replaces
    // the file at path once whole; false with the reason in error.
    bool write_pdf(const std::string& path, report_paper paper, std::string& error) const;
    // The PDF's bytes (what write_pdf writes); false with the reason.
    bool pdf_bytes(report_paper paper, QByteArray& out, std::string& error) const;
    // Prints onto the printer as it is set up (paper, the range of pages
    // chosen, copies); also what the Print Preview's paint request calls.
    // False with the reason.
    bool print(QPrinter& printer, std::string& error) const;

    const std::vector<report_field>& header() const { return content_.header; }
    const std::vector<report_block>& blocks() const { return content_.blocks; }

private:
    // Paints pages first..last (1-based, clamped to the pages there are;
    // 0 for the last page).
    bool paint_on(QPagedPaintDevice& device, int first, int last, std::string& error) const;

    report_content content_;
};
