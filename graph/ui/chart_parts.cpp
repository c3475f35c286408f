#include "graph/ui/chart_parts.h"

#include <QPainter>
#include <algorithm>

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

} // namespace

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

void chart_rotated_text(QPainter& p, QPoint at, int degrees, const QString& text)
{
    p.save();
    p.translate(at);
    p.rotate(degrees);
    const int h = p.fontMetrics().height();
    p.drawText(QRect(-300, -h, 600, h), Qt::AlignHCenter | Qt::AlignBottom, text);
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
