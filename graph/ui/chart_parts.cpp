#include "graph/ui/chart_parts.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int FRAME_GROW = 4;
const QColor FRAME_GREY{128, 128, 128};
const QColor FRAME_LIGHT{192, 192, 192};
const QColor FRAME_DARK{64, 64, 64};

// A one-pixel ring along the inside of r.
void frame_rect(QPainter& p, const QRect& r, QColor c)
{
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
}

std::vector<s_chart_text>* g_sink = nullptr;
bool g_draw = true;
s_chart_facts* g_facts = nullptr;

double channel(int v)
{
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(QColor c)
{
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

QColor blend(QColor from, QColor to, int step, int steps)
{
    const auto mix = [&](int a, int b) { return a + (b - a) * step / steps; };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                  mix(from.blue(), to.blue()));
}

// The pixels a one-line text inks where drawText puts it in its box (a box
// as it is).
QRect inked(QPainter& p, const QRect& box, int flags, const QString& text)
{
    const QFontMetrics fm = p.fontMetrics();
    const QRect line = fm.boundingRect(box, flags, text);
    QRect ink = fm.tightBoundingRect(text).translated(line.left(), line.top() + fm.ascent());
    if (!(flags & Qt::TextDontClip))
        ink = ink.intersected(box); // drawText cuts what leaves its box
    return ink;
}

void record(QPainter& p, const QRect& box, int flags, const QString& text, bool is_box)
{
    const QRect local = is_box ? box : inked(p, box, flags, text);
    g_sink->push_back(
        {text, p.worldTransform().mapRect(local), is_box ? QColor() : p.pen().color(), is_box});
}

} // namespace

double chart_contrast(QColor a, QColor b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor chart_readable(QColor wanted, QColor behind)
{
    if (chart_contrast(wanted, behind) >= CHART_MIN_CONTRAST)
        return wanted;
    const QColor far = chart_contrast(Qt::black, behind) >= chart_contrast(Qt::white, behind)
                           ? QColor(Qt::black)
                           : QColor(Qt::white);
    constexpr int STEPS = 32;
    for (int step = 1; step < STEPS; ++step) {
        const QColor c = blend(wanted, far, step, STEPS);
        if (chart_contrast(c, behind) >= CHART_MIN_CONTRAST)
            return c;
    }
    return far;
}

void chart_text(QPainter& p, const QRect& box, int flags, const QString& text, QColor wanted,
                QColor behind)
{
    p.setPen(chart_readable(wanted, behind));
    if (g_sink)
        record(p, box, flags, text, false);
    if (!g_sink || g_draw)
        p.drawText(box, flags, text);
}

int chart_label_stride(int spacing, int line_height)
{
    int stride = 1;
    while (stride < 8 && spacing * stride < line_height)
        stride *= 2;
    return stride;
}

void chart_record_texts(std::vector<s_chart_text>* sink, bool draw)
{
    g_sink = sink;
    g_draw = draw;
}

QColor chart_mark(const QString& what, QColor wanted, QColor background, bool picked)
{
    QColor c = wanted;
    if (!picked && chart_contrast(wanted, background) < CHART_MIN_MARK_CONTRAST) {
        const QColor far = luminance(background) < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
        constexpr int STEPS = 64;
        c = far;
        for (int step = 1; step < STEPS; ++step) {
            const QColor shade = blend(wanted, far, step, STEPS);
            if (chart_contrast(shade, background) >= CHART_MIN_MARK_CONTRAST) {
                c = shade;
                break;
            }
        }
    }
    if (g_facts)
        g_facts->marks.push_back({what, c, background, picked});
    return c;
}

void chart_record_facts(s_chart_facts* sink)
{
    g_facts = sink;
}

void chart_note_axis(s_chart_axis axis)
{
    if (g_facts)
        g_facts->axes.push_back(std::move(axis));
}

void chart_note_name(const QString& whole, const QString& shown)
{
    if (g_facts)
        g_facts->names.push_back({whole, shown});
}

void chart_record_box(QPainter& p, const QRect& box, const QString& name)
{
    if (g_sink)
        record(p, box, 0, name, true);
}

QFont chart_font(int pixels)
{
    QFont f;
    f.setPixelSize(pixels);
    return f;
}

QPen chart_pen(QColor c, int width, Qt::PenStyle style)
{
    QPen p(c, width, style);
    p.setCosmetic(true);
    return p;
}

QRect chart_qrect(const s_plot_rect& r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

void chart_frame(QPainter& p, const s_plot_rect& plot, QColor background)
{
    const QRect area = chart_qrect(plot);
    p.fillRect(area, background);
    QRect r = area.adjusted(-FRAME_GROW, -FRAME_GROW, FRAME_GROW, FRAME_GROW);
    for (QColor c : {FRAME_GREY, FRAME_LIGHT, FRAME_LIGHT, FRAME_GREY, FRAME_DARK}) {
        frame_rect(p, r, c);
        r.adjust(1, 1, -1, -1);
    }
}

void chart_rotated_text(QPainter& p, QPoint at, int degrees, const QString& text, QColor wanted,
                        QColor behind)
{
    p.save();
    p.translate(at);
    p.rotate(degrees);
    const int h = p.fontMetrics().height();
    chart_text(p, QRect(-300, -h, 600, h), Qt::AlignHCenter | Qt::AlignBottom, text, wanted,
               behind);
    p.restore();
}

void chart_cursor_marks(QPainter& p, const s_plot_rect& plot, int x, int y_left, int y_right,
                        QColor color, int radius)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(chart_pen(color));
    p.drawEllipse(QPoint(x, y_left), radius, radius);
    p.drawEllipse(QPoint(x, y_right), radius, radius);
    p.setPen(chart_pen(color, 1, Qt::DotLine));
    p.drawLine(x, y_left, plot.left, y_left);
    p.drawLine(x, y_right, plot.right - 1, y_right);
    p.drawLine(x, std::min(y_left, y_right), x, plot.bottom - 1);
}

bool chart_zero_line(QPainter& p, const s_plot_rect& plot, double height, const QPen& pen)
{
    const long y = std::isfinite(height) ? std::lround(height) : -1;
    if (y <= 0 || y >= plot.height())
        return false;
    p.setPen(pen);
    p.drawLine(plot.left, plot.bottom - static_cast<int>(y), plot.right - 1,
               plot.bottom - static_cast<int>(y));
    return true;
}

void chart_square(QPainter& p, int size, QPointF c, QColor colour)
{
    p.fillRect(QRectF(c.x() - size / 2.0, c.y() - size / 2.0, size, size), colour);
}

void chart_diamond(QPainter& p, int size, QPointF c, QColor colour)
{
    const double h = size / 2.0;
    const QPointF pts[] = {
        {c.x(), c.y() - h}, {c.x() + h, c.y()}, {c.x(), c.y() + h}, {c.x() - h, c.y()}};
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(pts, 4);
    p.setBrush(Qt::NoBrush);
}
