#pragma once
// How a report's blocks fall on its pages, and their painting: the layout
// is worked out once (every row's height measured in the report's fonts)
// and then painted page by page, so the footer knows the number of pages.

#include "graph/ui/report_blocks.h"

#include <QFont>
#include <QSizeF>
#include <vector>

// The report's margins around the page's printable area, in points.
constexpr double REPORT_MARGIN = 42;

// One piece of a block at its place: a whole block, one row of a field
// table or table, a table's column titles, or the lines of a paragraph
// taller than a page that fit on one.
struct report_piece {
    int page = 1;
    double y = 0; // top, in points from the top of the page's area
    double height = 0;
    int block = 0;
    int row = -1; // -1 the whole block; REPORT_TITLES a table's titles; a paragraph's first line
};
constexpr int REPORT_TITLES = -2;

struct report_layout {
    QSizeF area;                             // the page's area, in points
    double top = 0;                          // where the body starts below the page head
    double bottom = 0;                       // where it ends above the page foot
    std::vector<std::vector<double>> widths; // per block: table column widths
    double label_width = 0;                  // field tables' label column
    std::vector<report_piece> pieces;
    int pages = 1;
};

enum class report_font_kind { title, heading, body, bold, small };
QFont report_font(report_font_kind kind);

report_layout report_lay_out(const report_content& doc, QSizeF area);

// Paints page `page` (1-based) of the layout; the painter's units are points
// with the origin at the area's top left.
void report_paint_page(QPainter& p, const report_content& doc, const report_layout& at, int page);
