#include "lcr/ui/piezo_plot.h"

#include "base/number_format.h"
#include "graph/bode_axes.h"
#include "graph/ui/chart_parts.h"
#include "lcr/piezo_analysis.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace {

constexpr int LABEL_PIXELS = 11;
constexpr int SIDE = 80, TOP = 10, BOTTOM = 70;

// Labels and titles stand on the window's background, never on the plot's.
const QColor LABEL_TEXT{0, 0, 0};
const QColor IMPEDANCE_TEXT{250, 0, 0};
const QColor PHASE_TEXT{0, 0, 200};

// One value axis' ticks at the nine label heights: style 0 outside the
// axis, 1 a tenth of the width inside, 2 across the plot.
void draw_ticks(QPainter& p, const s_plot_rect& plot, int style, bool left_side)
{
    const int length = piezo_tick_length(style, plot.width());
    for (int i = 0; i < BODE_VALUE_TICKS; ++i) {
        const int y = plot.bottom - i * plot.height() / 8;
        const int edge = left_side ? plot.left : plot.right - 1;
        const int dir = left_side ? 1 : -1;
        p.drawLine(edge, y, edge + dir * length, y);
    }
}

void draw_axes(QPainter& p, const s_plot_rect& plot, const s_piezo_plot_inputs& in)
{
    p.setFont(chart_font(LABEL_PIXELS));
    const int h = p.fontMetrics().height();
    p.setPen(chart_pen(QColor(128, 128, 128)));
    draw_ticks(p, plot, in.impedance_ticks, true);
    draw_ticks(p, plot, in.phase_ticks, false);
    const int base = bode_phase_base(in.phase_convention);
    const double z0 = in.log_impedance ? in.impedance.min : piezo_linear_base(in.impedance);
    const int stride = chart_label_stride(plot.height() / 8, h);
    for (int i = 0; i < BODE_VALUE_TICKS; i += stride) {
        const int y = plot.bottom - i * plot.height() / 8;
        const double z = in.log_impedance ? z0 * std::pow(in.impedance.max / z0, i / 8.0)
                                          : z0 + (in.impedance.max - z0) / 8 * i;
        chart_text(p, QRect(plot.left - 75, y - h / 2, 68, h), Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromLatin1(format_engineering(z).c_str()), IMPEDANCE_TEXT, in.surround);
        chart_text(p, QRect(plot.right + 8, y - h / 2, 60, h), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::number(base + 45 * i), PHASE_TEXT, in.surround);
    }
    for (const s_freq_tick& t :
         bode_freq_ticks(in.freq, plot.width(), in.log_frequency, bode_style_lcr_view()))
        if (t.labelled)
            chart_text(p, QRect(plot.left + t.x - 8, plot.bottom + 5, 60, 20), Qt::AlignLeft,
                       QString::fromLatin1(format_engineering(t.value).c_str()), LABEL_TEXT,
                       in.surround);
    chart_text(p, QRect(plot.left, plot.bottom + 30, plot.width(), 20), Qt::AlignCenter,
               QStringLiteral("FREQUENCY (Hz)"), LABEL_TEXT, in.surround);
    const int cy = (plot.top + plot.bottom) / 2;
    chart_rotated_text(p, QPoint(plot.left - 68, cy), -90, QStringLiteral("IMPEDANCE (ohms)"),
                       IMPEDANCE_TEXT, in.surround);
    chart_rotated_text(p, QPoint(plot.right + 48, cy), 90, QString::fromLatin1("PHASE (\xB0)"),
                       PHASE_TEXT, in.surround);
}

void draw_traces(QPainter& p, const s_plot_rect& plot, const s_piezo_plot_inputs& in)
{
    const LcrResults& r = *in.results;
    const int n = std::clamp(r.count, 0, MAX_SWEEP_POINTS);
    const bode_x_mapper x_of(in.freq, plot.width(), in.log_frequency);
    QPolygon z(n), phase(n);
    for (int i = 0; i < n; ++i) {
        const LcrPoint& pt = r.points[static_cast<size_t>(i)];
        const int x = plot.left + std::clamp(x_of(pt.v[PIEZO_FREQUENCY]), 0, plot.width());
        z.setPoint(i, x,
                   plot.bottom - piezo_impedance_y(pt.v[PIEZO_IMPEDANCE], in.impedance,
                                                   plot.height(), in.log_impedance));
        phase.setPoint(i, x,
                       plot.bottom -
                           piezo_phase_y(pt.v[PIEZO_PHASE], in.phase_convention, plot.height()));
    }
    p.setPen(chart_pen(QColor::fromRgb(PIEZO_IMPEDANCE_TRACE)));
    p.drawPolyline(z);
    p.setPen(chart_pen(QColor::fromRgb(PIEZO_PHASE_TRACE)));
    p.drawPolyline(phase);
}

} // namespace

s_plot_rect piezo_plot_area(int width, int height, int left_reserve)
{
    return s_plot_rect{left_reserve + SIDE, TOP, width - SIDE, height - BOTTOM};
}

void PiezoPlot::draw(QPainter& p, const QRect& client, const s_piezo_plot_inputs& in) const
{
    s_plot_rect plot = piezo_plot_area(client.width(), client.height(), in.left_reserve);
    plot.left += client.left();
    plot.right += client.left();
    plot.top += client.top();
    plot.bottom += client.top();
    if (plot.width() <= 0 || plot.height() <= 0)
        return;
    p.save();
    chart_frame(p, plot, in.white_background ? Qt::white : Qt::black);
    draw_axes(p, plot, in);
    if (in.results && in.results->count > 0)
        draw_traces(p, plot, in);
    p.restore();
}

QImage PiezoPlot::render(QSize size, const s_piezo_plot_inputs& in) const
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    paint(p, QRect(QPoint(0, 0), size), in);
    return image;
}

void PiezoPlot::paint(QPainter& p, const QRect& client, const s_piezo_plot_inputs& in) const
{
    p.fillRect(client, in.surround);
    draw(p, client, in);
}
