#include "graph/ui/report_pages.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace {

constexpr double GAP = 8;      // between blocks
constexpr double CELL_PAD = 4; // either side of a table cell's text
constexpr double RULE = 0.5;
const QColor INK(0, 0, 0);
const QColor SOFT_INK(90, 90, 90);

constexpr int WRAP = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;

double line_height(report_font_kind kind)
{
    return QFontMetricsF(report_font(kind)).lineSpacing();
}

// Height of a text wrapped to width (one line when it is empty).
double text_height(const QString& text, report_font_kind kind, double width)
{
    const QFontMetricsF m(report_font(kind));
    if (text.isEmpty() || (!text.contains('\n') && m.horizontalAdvance(text) <= width))
        return m.lineSpacing();
    return m.boundingRect(QRectF(0, 0, width, 1e6), WRAP, text).height();
}

double text_width(const QString& text, report_font_kind kind)
{
    const QFontMetricsF m(report_font(kind));
    double widest = 0;
    for (const QString& line : text.split('\n'))
        widest = std::max(widest, m.horizontalAdvance(line));
    return widest;
}

// The head of a page: the title, then the details two to a line.
double head_height(const report_content& doc)
{
    const double rows = double((doc.header.size() + 1) / 2);
    return line_height(report_font_kind::title) + rows * line_height(report_font_kind::small) + GAP;
}

double foot_height()
{
    return line_height(report_font_kind::small) + GAP;
}

// Narrower than the room: the columns that need less than an even share of
// what is left keep their natural widths, and only the others shrink, in
// proportion; so one long name cannot squeeze numbers apart.
void shrink_widest(std::vector<double>& w, double width)
{
    std::vector<bool> kept(w.size(), false);
    double left = width;
    size_t open = w.size();
    for (bool changed = true; changed && open > 0;) {
        changed = false;
        for (size_t c = 0; c < w.size(); ++c)
            if (!kept[c] && w[c] <= left / double(open)) {
                kept[c] = changed = true;
                left -= w[c];
                --open;
            }
    }
    double rest = 0;
    for (size_t c = 0; c < w.size(); ++c)
        rest += kept[c] ? 0 : w[c];
    for (size_t c = 0; c < w.size(); ++c)
        if (!kept[c])
            w[c] *= left / rest;
}

// Natural column widths, the widest shrunk when together too wide.
std::vector<double> column_widths(const report_block& b, double width)
{
    std::vector<double> w(size_t(b.columns.size()), 0.0);
    for (size_t c = 0; c < w.size(); ++c) {
        w[c] = text_width(b.columns[int(c)], report_font_kind::bold);
        for (const QStringList& row : b.rows)
            if (int(c) < row.size())
                w[c] = std::max(w[c], text_width(row[int(c)], report_font_kind::body));
        w[c] += 2 * CELL_PAD;
    }
    double total = 0;
    for (double x : w)
        total += x;
    if (total > width)
        shrink_widest(w, width);
    return w;
}

double row_height(const QStringList& row, const std::vector<double>& widths, report_font_kind kind)
{
    double h = line_height(kind);
    for (size_t c = 0; c < widths.size() && int(c) < row.size(); ++c)
        h = std::max(h, text_height(row[int(c)], kind, widths[c] - 2 * CELL_PAD));
    return h + 2;
}

class placer {
public:
    explicit placer(report_layout& at) : at_(at), y_(at.top) {}

    // Whether a piece fits below what is on the page (a piece taller than a
    // page still fits an empty one).
    bool fits(double height) const { return y_ + height <= at_.bottom || y_ <= at_.top; }
    // Places a piece, on a new page when it does not fit.
    void place(int block, int row, double height)
    {
        keep(height);
        at_.pieces.push_back({at_.pages, y_, height, block, row});
        y_ += height;
    }
    // Starts a new page unless `height` still fits (keeps a heading or a
    // table's titles with what follows them).
    void keep(double height)
    {
        if (!fits(height))
            new_page();
    }
    // A new page unless nothing is placed on this one yet.
    void fresh_page()
    {
        if (y_ > at_.top)
            new_page();
    }
    void new_page()
    {
        ++at_.pages;
        y_ = at_.top;
    }
    void gap() { y_ += GAP; }
    double room() const { return at_.bottom - y_; }

private:
    report_layout& at_;
    double y_;
};

QRectF chart_rect(const report_block& b, const report_layout& at)
{
    double w = at.area.width();
    double h = w / b.aspect;
    const double room = at.bottom - at.top;
    if (h > room) {
        h = room;
        w = h * b.aspect;
    }
    return QRectF((at.area.width() - w) / 2, 0, w, h);
}

// A paragraph taller than a page is split between its lines: the lines of
// its text wrapped to width (as the painter wraps it, a word longer than the
// line broken where it must), each a line apart from y 0.
void wrap_lines(QTextLayout& layout, double width)
{
    QString text = layout.text();
    layout.setText(text.replace('\n', QChar::LineSeparator));
    layout.setFont(report_font(report_font_kind::body));
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const double spacing = line_height(report_font_kind::body);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, line.lineNumber() * spacing));
    }
    layout.endLayout();
}

bool taller_than_page(const report_block& b, const report_layout& at)
{
    return b.kind == report_block_kind::paragraph &&
           text_height(b.text, report_font_kind::body, at.area.width()) > at.bottom - at.top;
}

// Places the paragraph's lines as pieces that fill each page; a piece's row
// is its first line.
void lay_out_long_paragraph(placer& put, const report_block& b, int index, double width)
{
    QTextLayout layout(b.text);
    wrap_lines(layout, width);
    const double spacing = line_height(report_font_kind::body);
    for (int line = 0; line < layout.lineCount();) {
        const int fit = std::min(int(put.room() / spacing), layout.lineCount() - line);
        if (fit < 1) {
            put.new_page();
            continue;
        }
        put.place(index, line, fit * spacing);
        line += fit;
    }
}

void paint_lines(QPainter& p, const report_block& b, const report_piece& piece, double width)
{
    QTextLayout layout(b.text);
    wrap_lines(layout, width);
    const double spacing = line_height(report_font_kind::body);
    const int last = piece.row + int(piece.height / spacing + 0.5);
    p.setPen(INK);
    for (int i = piece.row; i < last && i < layout.lineCount(); ++i)
        layout.lineAt(i).draw(&p, QPointF(0, piece.y - piece.row * spacing));
}

// The height of a block's first piece, which its heading stays with.
double first_piece(const report_block& b, const report_layout& at, size_t index)
{
    const double width = at.area.width();
    switch (b.kind) {
    case report_block_kind::heading: return text_height(b.text, report_font_kind::heading, width);
    case report_block_kind::paragraph:
        return taller_than_page(b, at) ? line_height(report_font_kind::body)
                                       : text_height(b.text, report_font_kind::body, width);
    case report_block_kind::fields:
        return b.fields.empty()
                   ? 0
                   : text_height(b.fields[0].value, report_font_kind::body, width - at.label_width);
    case report_block_kind::table: {
        const std::vector<double>& w = at.widths[index];
        return row_height(b.columns, w, report_font_kind::bold) +
               (b.rows.empty() ? 0 : row_height(b.rows[0], w, report_font_kind::body));
    }
    case report_block_kind::chart: return chart_rect(b, at).height();
    }
    return 0;
}

void lay_out_table(placer& put, const report_block& b, int index, const std::vector<double>& w)
{
    const double titles = row_height(b.columns, w, report_font_kind::bold);
    put.keep(titles + line_height(report_font_kind::body));
    put.place(index, REPORT_TITLES, titles);
    for (size_t r = 0; r < b.rows.size(); ++r) {
        const double h = row_height(b.rows[r], w, report_font_kind::body);
        if (!put.fits(h)) { // the titles again at the top of the next page
            put.new_page();
            put.place(index, REPORT_TITLES, titles);
        }
        put.place(index, int(r), h);
    }
}

void paint_text(QPainter& p, const QRectF& box, const QString& text, report_font_kind kind,
                QColor ink = INK, int flags = WRAP)
{
    p.setFont(report_font(kind));
    p.setPen(ink);
    p.drawText(box, flags, text);
}

void paint_rule(QPainter& p, double y, double width)
{
    p.setPen(QPen(SOFT_INK, RULE));
    p.drawLine(QPointF(0, y), QPointF(width, y));
}

void paint_head(QPainter& p, const report_content& doc, const report_layout& at)
{
    const double w = at.area.width();
    const double title_h = line_height(report_font_kind::title);
    paint_text(p, QRectF(0, 0, w, title_h), doc.title, report_font_kind::title, INK,
               Qt::AlignLeft | Qt::AlignVCenter);
    const double line = line_height(report_font_kind::small);
    const QFontMetricsF m(report_font(report_font_kind::small));
    for (size_t i = 0; i < doc.header.size(); ++i) {
        const report_field& f = doc.header[i];
        const QRectF box((i % 2) * w / 2, title_h + double(i / 2) * line, w / 2 - GAP, line);
        const QString text = m.elidedText(f.label + ": " + f.value, Qt::ElideRight, box.width());
        paint_text(p, box, text, report_font_kind::small, INK, Qt::AlignLeft | Qt::AlignVCenter);
    }
    paint_rule(p, at.top - GAP / 2, w);
}

void paint_foot(QPainter& p, const report_layout& at, int page)
{
    const double w = at.area.width();
    const double y = at.area.height() - line_height(report_font_kind::small);
    paint_rule(p, y - GAP / 2, w);
    const QRectF box(0, y, w, line_height(report_font_kind::small));
    const int flags = Qt::AlignVCenter;
    paint_text(p, box, report_program_text(), report_font_kind::small, SOFT_INK,
               flags | Qt::AlignLeft);
    paint_text(p, box, QStringLiteral("page %1 of %2").arg(page).arg(at.pages),
               report_font_kind::small, SOFT_INK, flags | Qt::AlignRight);
}

void paint_row(QPainter& p, const QStringList& row, const std::vector<double>& widths, double y,
               double h, report_font_kind kind)
{
    double x = 0;
    for (size_t c = 0; c < widths.size(); ++c) {
        if (int(c) < row.size())
            paint_text(p, QRectF(x + CELL_PAD, y + 1, widths[c] - 2 * CELL_PAD, h - 2), row[int(c)],
                       kind);
        x += widths[c];
    }
}

void paint_chart(QPainter& p, const report_block& b, const report_layout& at, double y)
{
    const QRectF r = chart_rect(b, at).translated(0, y);
    const double scale = r.width() / REPORT_CHART_WIDTH;
    p.save();
    p.setClipRect(r);
    p.translate(r.topLeft());
    p.scale(scale, scale);
    b.paint(p, QRectF(0, 0, REPORT_CHART_WIDTH, r.height() / scale));
    p.restore();
}

void paint_piece(QPainter& p, const report_content& doc, const report_layout& at,
                 const report_piece& piece)
{
    const report_block& b = doc.blocks[size_t(piece.block)];
    const double w = at.area.width();
    const QRectF box(0, piece.y, w, piece.height);
    switch (b.kind) {
    case report_block_kind::heading: paint_text(p, box, b.text, report_font_kind::heading); break;
    case report_block_kind::paragraph:
        if (piece.row >= 0)
            paint_lines(p, b, piece, w);
        else
            paint_text(p, box, b.text, report_font_kind::body);
        break;
    case report_block_kind::fields: {
        const report_field& f = b.fields[size_t(piece.row)];
        paint_text(p, QRectF(0, piece.y, at.label_width, piece.height), f.label,
                   report_font_kind::bold);
        paint_text(p, QRectF(at.label_width, piece.y, w - at.label_width, piece.height), f.value,
                   report_font_kind::body);
        break;
    }
    case report_block_kind::table: {
        const std::vector<double>& widths = at.widths[size_t(piece.block)];
        if (piece.row == REPORT_TITLES) {
            paint_row(p, b.columns, widths, piece.y, piece.height, report_font_kind::bold);
            paint_rule(p, piece.y + piece.height, w);
        } else {
            paint_row(p, b.rows[size_t(piece.row)], widths, piece.y, piece.height,
                      report_font_kind::body);
        }
        break;
    }
    case report_block_kind::chart: paint_chart(p, b, at, piece.y); break;
    }
}

} // namespace

QString report_program_text()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral("Tarvelo2")
                             : QStringLiteral("Tarvelo2 release %1").arg(version);
}

QFont report_font(report_font_kind kind)
{
    // Sizes in points: the page is painted in points.
    static const int pixels[] = {14, 11, 9, 9, 7};
    QFont f = QGuiApplication::font();
    f.setPixelSize(pixels[int(kind)]);
    f.setBold(kind == report_font_kind::title || kind == report_font_kind::heading ||
              kind == report_font_kind::bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    // No ligatures: "fi" stays two letters in the text a reader copies or searches.
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

report_layout report_lay_out(const report_content& doc, QSizeF area)
{
    report_layout at;
    at.area = area;
    at.top = head_height(doc);
    at.bottom = area.height() - foot_height();
    at.widths.resize(doc.blocks.size());
    for (const report_block& b : doc.blocks)
        for (const report_field& f : b.fields)
            at.label_width = std::max(at.label_width, text_width(f.label, report_font_kind::bold));
    at.label_width = std::min(at.label_width + 2 * GAP, area.width() * 0.4);
    const double value_width = area.width() - at.label_width;
    for (size_t i = 0; i < doc.blocks.size(); ++i)
        if (doc.blocks[i].kind == report_block_kind::table)
            at.widths[i] = column_widths(doc.blocks[i], area.width());
    placer put(at);
    for (size_t i = 0; i < doc.blocks.size(); ++i) {
        const report_block& b = doc.blocks[i];
        const int index = int(i);
        switch (b.kind) {
        case report_block_kind::heading: {
            const double h = text_height(b.text, report_font_kind::heading, area.width()) + 2;
            const bool last = i + 1 == doc.blocks.size();
            if (b.new_page)
                put.fresh_page();
            put.keep(h + (last ? 0 : first_piece(doc.blocks[i + 1], at, i + 1)));
            put.place(index, -1, h);
            continue; // no gap under a heading
        }
        case report_block_kind::paragraph:
            if (taller_than_page(b, at))
                lay_out_long_paragraph(put, b, index, area.width());
            else
                put.place(index, -1, text_height(b.text, report_font_kind::body, area.width()));
            break;
        case report_block_kind::fields:
            for (size_t r = 0; r < b.fields.size(); ++r)
                put.place(index, int(r),
                          text_height(b.fields[r].value, report_font_kind::body, value_width) + 1);
            break;
        case report_block_kind::table: lay_out_table(put, b, index, at.widths[i]); break;
        case report_block_kind::chart: put.place(index, -1, chart_rect(b, at).height()); break;
        }
        put.gap();
    }
    return at;
}

void report_paint_page(QPainter& p, const report_content& doc, const report_layout& at, int page)
{
    paint_head(p, doc, at);
    paint_foot(p, at, page);
    for (const report_piece& piece : at.pieces)
        if (piece.page == page)
            paint_piece(p, doc, at, piece);
}
