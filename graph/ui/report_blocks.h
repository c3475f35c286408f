#pragma once
// What a report holds: its title, the details at the head of every page and
// its blocks (headings, paragraphs, field tables, tables and charts), as the
// document collects them and the page layout places and paints them.

#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QPainter;

struct report_field {
    QString label;
    QString value;
};

// Paints a whole chart, background included, into the rectangle.
using report_chart_painter = std::function<void(QPainter&, const QRectF&)>;

enum class report_block_kind { heading, paragraph, fields, table, chart };
struct report_block {
    report_block_kind kind = report_block_kind::paragraph;
    QString text;                     // heading, paragraph
    std::vector<report_field> fields; // fields
    QStringList columns;              // table
    std::vector<QStringList> rows;    // table
    report_chart_painter paint;       // chart
    double aspect = 1.6;              // chart: width / height
    bool new_page = false;            // heading: starts a page of its own
};

constexpr double REPORT_CHART_WIDTH = 760;

struct report_content {
    QString title;
    std::vector<report_field> header; // the details at the head of every page
    std::vector<report_block> blocks;
};

// "Tarvelo2 release <version>": the application's version where it is set.
QString report_program_text();
