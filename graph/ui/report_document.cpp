#include "graph/ui/report_document.h"

#include "base/text_file.h"
#include "base/ui/qt_seams.h"
#include "graph/ui/report_pages.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>

namespace {

QMarginsF report_margins()
{
    return {REPORT_MARGIN, REPORT_MARGIN, REPORT_MARGIN, REPORT_MARGIN};
}

QSizeF area_of(const QPageSize& page)
{
    const QSizeF whole = page.size(QPageSize::Point);
    return {whole.width() - 2 * REPORT_MARGIN, whole.height() - 2 * REPORT_MARGIN};
}

} // namespace

report_paper report_paper_of(const QLocale& locale)
{
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? report_paper::letter
                                                                   : report_paper::a4;
}

QPageSize report_page_size(report_paper paper)
{
    return QPageSize(paper == report_paper::letter ? QPageSize::Letter : QPageSize::A4);
}

std::vector<report_field>
report_fields_of(const std::vector<std::pair<std::string, std::string>>& ansi)
{
    std::vector<report_field> fields;
    for (const auto& [label, value] : ansi)
        fields.push_back({qt_from_ansi(label), qt_from_ansi(value)});
    return fields;
}

report_document::report_document(QString title)
{
    content_.title = std::move(title);
}

void report_document::set_header(std::vector<report_field> fields)
{
    content_.header = std::move(fields);
}

void report_document::add_heading(const QString& text)
{
    report_block b;
    b.kind = report_block_kind::heading;
    b.text = text;
    content_.blocks.push_back(std::move(b));
}

void report_document::add_page_heading(const QString& text)
{
    add_heading(text);
    content_.blocks.back().new_page = true;
}

void report_document::add_paragraph(const QString& text)
{
    report_block b;
    b.text = text;
    content_.blocks.push_back(std::move(b));
}

void report_document::add_fields(std::vector<report_field> fields)
{
    report_block b;
    b.kind = report_block_kind::fields;
    b.fields = std::move(fields);
    content_.blocks.push_back(std::move(b));
}

void report_document::add_table(QStringList columns, std::vector<QStringList> rows)
{
    report_block b;
    b.kind = report_block_kind::table;
    b.columns = std::move(columns);
    b.rows = std::move(rows);
    content_.blocks.push_back(std::move(b));
}

void report_document::add_chart(report_chart_painter paint, double aspect)
{
    report_block b;
    b.kind = report_block_kind::chart;
    b.paint = std::move(paint);
    b.aspect = aspect > 0.1 ? aspect : 1.6;
    content_.blocks.push_back(std::move(b));
}

int report_document::page_count(const QPageSize& page) const
{
    return report_lay_out(content_, area_of(page)).pages;
}

bool report_document::paint_on(QPagedPaintDevice& device, int first, int last,
                               std::string& error) const
{
    if (!device.setPageMargins(report_margins(), QPageLayout::Point)) {
        error = "The page is too small for the report's margins";
        return false;
    }
    const QSizeF area = device.pageLayout().paintRect(QPageLayout::Point).size();
    const report_layout at = report_lay_out(content_, area);
    QPainter p;
    if (!p.begin(&device)) {
        error = "The report's pages could not be started";
        return false;
    }
    const double dpi = device.logicalDpiX() / 72.0;
    first = std::clamp(first, 1, at.pages);
    last = last <= 0 ? at.pages : std::clamp(last, first, at.pages);
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            error = "The report's next page could not be started";
            return false;
        }
        p.save();
        p.scale(dpi, device.logicalDpiY() / 72.0);
        report_paint_page(p, content_, at, page);
        p.restore();
    }
    if (!p.end()) {
        error = "The report's pages could not be finished";
        return false;
    }
    return true;
}

bool report_write_pdf_bytes(const std::string& path, const QByteArray& bytes, std::string& error)
{
    const auto write = [&](const std::string& temporary) {
        return file_put_bytes(temporary, std::string_view(bytes.constData(), size_t(bytes.size())));
    };
    if (!file_write_replacing(path, write)) {
        error = "Unable to write the PDF file " + path;
        return false;
    }
    return true;
}

bool report_document::pdf_bytes(report_paper paper, QByteArray& out, std::string& error) const
{
    out.clear();
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    pdf.setTitle(content_.title);
    pdf.setCreator(report_program_text());
    pdf.setPageSize(report_page_size(paper));
    return paint_on(pdf, 1, 0, error);
}

bool report_document::write_pdf(const std::string& path, report_paper paper,
                                std::string& error) const
{
    QByteArray bytes;
    return pdf_bytes(paper, bytes, error) && report_write_pdf_bytes(path, bytes, error);
}

bool report_document::print(QPrinter& printer, std::string& error) const
{
    printer.setDocName(content_.title);
    printer.setCreator(report_program_text());
    const bool range = printer.printRange() == QPrinter::PageRange;
    return paint_on(printer, range ? printer.fromPage() : 1, range ? printer.toPage() : 0, error);
}
