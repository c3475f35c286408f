#include "graph/ui/stability_plot.h"

#include "graph/bode_traces.h"
#include "graph/round_scale.h"
#include "graph/ui/chart_parts.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

constexpr int LABEL_PIXELS = 11;
constexpr int TITLE_PIXELS = 12;
constexpr int LABEL_DROP = 5;
constexpr int LABEL_GAP = 10;
constexpr int TITLE_INSET = 6;
constexpr int TITLE_GAP = 4;
constexpr int CRITICAL_RADIUS = 4;
constexpr int CIRCLE_STEPS = 360;
const QColor GRID_DARK{85, 85, 85};
const QColor GRID_LIGHT{169, 169, 169};

QString tick_text(double v, double step)
{
    return QString::fromLatin1(round_label(v, step).c_str());
}

bool is_dark(QColor c)
{
    return c.lightness() < 128;
}

} // namespace

StabilityPlot::StabilityPlot(const s_stability_inputs& in, const s_plot_rect& plot)
    : in_(in), plot_(plot)
{
    for (const s_stability_series& s : in.series)
        curves_.push_back(stability_curve(s.points, in.view));
    frame_ = stability_frame(curves_, in.view,
                             plot.height() > 0 ? double(plot.width()) / plot.height() : 1);
}

QColor StabilityPlot::foreground(QColor background)
{
    return is_dark(background) ? QColor(Qt::white) : QColor(Qt::black);
}

QPointF StabilityPlot::to_pixel(s_xy point) const
{
    const s_axis_ticks& x = frame_.x;
    const s_axis_ticks& y = frame_.y;
    return {plot_.left + (point.x - x.min) / (x.max - x.min) * plot_.width(),
            plot_.bottom - (point.y - y.min) / (y.max - y.min) * plot_.height()};
}

bool StabilityPlot::inside(QPointF px) const
{
    return px.x() >= plot_.left && px.x() <= plot_.right && px.y() >= plot_.top &&
           px.y() <= plot_.bottom;
}

void StabilityPlot::draw(QPainter& p) const
{
    if (plot_.width() <= 0 || plot_.height() <= 0)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    chart_frame(p, plot_, in_.background);
    draw_labels(p);
    p.setClipRect(chart_qrect(plot_));
    draw_grid(p);
    draw_curves(p);
    draw_critical(p);
    p.restore();
}

void StabilityPlot::draw_grid(QPainter& p) const
{
    p.setPen(chart_pen(is_dark(in_.background) ? GRID_DARK : GRID_LIGHT));
    for (double v : frame_.x.values()) {
        const double x = to_pixel({v, 0}).x();
        p.drawLine(QPointF(x, plot_.top), QPointF(x, plot_.bottom));
    }
    for (double v : frame_.y.values()) {
        const double y = to_pixel({0, v}).y();
        p.drawLine(QPointF(plot_.left, y), QPointF(plot_.right, y));
    }
}

void StabilityPlot::draw_labels(QPainter& p) const
{
    // The labels stand on the chart background, which fills the whole client.
    const QColor fg = foreground(in_.background);
    const QColor bg = in_.background;
    p.setFont(chart_font(LABEL_PIXELS));
    const int h = p.fontMetrics().height();
    const bool nyquist = in_.view == stability_view::nyquist;
    // Grid lines run at every label, so 0 has one wherever it is inside.
    const auto axis = [](const char* name, const s_axis_ticks& t) {
        s_chart_axis a = chart_axis(QString::fromLatin1(name), t.step);
        a.zero_inside = a.zero_line = t.min < 0 && t.max > 0;
        return a;
    };
    s_chart_axis x_axis = axis(nyquist ? "real" : "phase", frame_.x);
    for (double v : frame_.x.values()) {
        const int x = int(std::lround(to_pixel({v, 0}).x()));
        x_axis.labels.push_back(tick_text(v, frame_.x.step));
        chart_text(p, QRect(x - 40, plot_.bottom + LABEL_DROP, 80, h), Qt::AlignHCenter,
                   x_axis.labels.back(), fg, bg);
    }
    int widest = 0;
    s_chart_axis y_axis = axis(nyquist ? "imaginary" : "gain", frame_.y);
    for (double v : frame_.y.values()) {
        const int y = int(std::lround(to_pixel({0, v}).y()));
        y_axis.labels.push_back(tick_text(v, frame_.y.step));
        widest = std::max(widest, p.fontMetrics().horizontalAdvance(y_axis.labels.back()));
        chart_text(p, QRect(plot_.left - LABEL_GAP - 80, y - h / 2, 80, h), Qt::AlignRight,
                   y_axis.labels.back(), fg, bg);
    }
    chart_note_axis(std::move(x_axis));
    chart_note_axis(std::move(y_axis));
    p.setFont(chart_font(TITLE_PIXELS));
    const int th = p.fontMetrics().height();
    chart_text(p, QRect(plot_.left, plot_.bottom + LABEL_DROP + h + 2, plot_.width(), th),
               Qt::AlignHCenter,
               nyquist ? QStringLiteral("REAL") : QStringLiteral("PHASE - 180 (deg)"), fg, bg);
    // The upright title just clear of the widest label, never out of the client.
    const int title_x = std::max(th, plot_.left - LABEL_GAP - widest - TITLE_GAP);
    chart_rotated_text(p, QPoint(title_x, (plot_.top + plot_.bottom) / 2), -90,
                       nyquist ? QStringLiteral("IMAGINARY") : QStringLiteral("GAIN (dB)"), fg, bg);
    chart_text(p, QRect(plot_.left + TITLE_INSET, plot_.top + TITLE_INSET, plot_.width(), th),
               Qt::AlignLeft, QString::fromLatin1(stability_title(in_.view)), fg, bg);
}

void StabilityPlot::draw_critical(QPainter& p) const
{
    const QColor fg = foreground(in_.background);
    p.setPen(chart_pen(fg));
    if (in_.view == stability_view::nyquist) {
        QPainterPath circle;
        for (int i = 0; i <= CIRCLE_STEPS; ++i) {
            const double a = 2 * M_PI * i / CIRCLE_STEPS;
            const QPointF px = to_pixel({std::cos(a), std::sin(a)});
            i == 0 ? circle.moveTo(px) : circle.lineTo(px);
        }
        p.drawPath(circle);
    } else {
        const QPointF c = to_pixel(stability_critical_point(in_.view));
        p.drawLine(QPointF(c.x(), plot_.top), QPointF(c.x(), plot_.bottom));
        p.drawLine(QPointF(plot_.left, c.y()), QPointF(plot_.right, c.y()));
    }
    const QPointF c = to_pixel(stability_critical_point(in_.view));
    p.setPen(Qt::NoPen);
    p.setBrush(fg);
    p.drawEllipse(c, CRITICAL_RADIUS, CRITICAL_RADIUS);
    p.setBrush(Qt::NoBrush);
}

void StabilityPlot::draw_curves(QPainter& p) const
{
    const double w = plot_.width(), h = plot_.height();
    for (size_t i = 0; i < curves_.size(); ++i) {
        const s_stability_series& s = in_.series[i];
        if (!s.visible || s.color.alpha() == 0)
            continue;
        // One path per test, its pieces and the parts inside the plot as
        // sub-paths. Clipping here, not by the painter, keeps the far
        // points of a loop (gains of thousands) out of the pixel arithmetic;
        // points closer than half a pixel to the last one drawn are passed.
        QPainterPath path;
        for (const auto& piece : curves_[i]) {
            bool open = false; // the path ends at the previous point
            QPointF last;
            for (size_t k = 1; k < piece.size(); ++k) {
                const QPointF a = to_pixel(piece[k - 1]) - QPointF(plot_.left, plot_.top);
                const QPointF b = to_pixel(piece[k]) - QPointF(plot_.left, plot_.top);
                s_segment seg{a.x(), a.y(), b.x(), b.y()};
                if (!bode_clip_segment(seg, w, h)) {
                    open = false;
                    continue;
                }
                const QPointF from = QPointF(seg.x1, seg.y1) + QPointF(plot_.left, plot_.top);
                const QPointF to = QPointF(seg.x2, seg.y2) + QPointF(plot_.left, plot_.top);
                if (!open || seg.x1 != a.x() || seg.y1 != a.y()) {
                    path.moveTo(from);
                    last = from;
                }
                open = seg.x2 == b.x() && seg.y2 == b.y();
                if (!open || k + 1 == piece.size() || (to - last).manhattanLength() >= 0.5) {
                    path.lineTo(to);
                    last = to;
                }
            }
        }
        p.setPen(chart_pen(s.color, s.width));
        p.drawPath(path);
    }
}
