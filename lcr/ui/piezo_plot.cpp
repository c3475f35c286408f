#include "lcr/ui/piezo_plot.h"

#include "base/number_format.h"
#include "graph/bode_axes.h"
#include "graph/round_scale.h"
#include "graph/ui/chart_parts.h"
#include "lcr/piezo_analysis.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int LABEL_PIXELS = 11;
constexpr int SIDE = 80, TOP = 10, BOTTOM = 70;

// Labels and titles stand on the window's background, never on the plot's.
const QColor LABEL_TEXT{0, 0, 0};
const QColor IMPEDANCE_TEXT{250, 0, 0};
const QColor PHASE_TEXT{0, 0, 200};

// A value axis' tick at `y`: style 0 outside the axis, 1 a tenth of the
// width inside, 2 across the plot.
void draw_tick(QPainter& p, const s_plot_rect& plot, int style, bool left_side, int y)
{
    const int length = piezo_tick_length(style, plot.width());
    const int edge = left_side ? plot.left : plot.right - 1;
    p.drawLine(edge, y, edge + (left_side ? 1 : -1) * length, y);
}

// The impedance axis on the left: its ticks and labels, noted for
// legibility checks.
void draw_impedance_axis(QPainter& p, const s_plot_rect& plot, const s_piezo_plot_inputs& in,
                         const s_impedance_axis& axis)
{
    const int h = p.fontMetrics().height();
    s_chart_axis noted = chart_axis(QStringLiteral("impedance"), axis.step);
    // Every tick first: a label's text colour must not become the ticks' pen.
    p.setPen(chart_pen(QColor(128, 128, 128)));
    std::vector<int> ys;
    for (const s_impedance_tick& t : axis.ticks) {
        ys.push_back(plot.bottom -
                     piezo_impedance_y(t.value, axis.range, plot.height(), in.log_impedance));
        draw_tick(p, plot, in.impedance_ticks, true, ys.back());
    }
    int last_label = plot.bottom + h;
    for (size_t i = 0; i < axis.ticks.size(); ++i) {
        const s_impedance_tick& t = axis.ticks[i];
        if (!t.labelled || last_label - ys[i] < h)
            continue;
        last_label = ys[i];
        noted.labels.push_back(
            QString::fromLatin1(round_label(t.value, axis.step > 0 ? axis.step : t.value).c_str()));
        chart_text(p, QRect(plot.left - 75, ys[i] - h / 2, 68, h),
                   Qt::AlignRight | Qt::AlignVCenter, noted.labels.back(), IMPEDANCE_TEXT,
                   in.surround);
    }
    chart_note_axis(std::move(noted));
}

void draw_axes(QPainter& p, const s_plot_rect& plot, const s_piezo_plot_inputs& in,
               const s_impedance_axis& axis)
{
    p.setFont(chart_font(LABEL_PIXELS));
    const int h = p.fontMetrics().height();
    draw_impedance_axis(p, plot, in, axis);
    const int base = bode_phase_base(in.phase_convention);
    const int stride = chart_label_stride(plot.height() / 8, h);
    p.setPen(chart_pen(QColor(128, 128, 128)));
    for (int i = 0; i < BODE_VALUE_TICKS; ++i)
        draw_tick(p, plot, in.phase_ticks, false, plot.bottom - i * plot.height() / 8);
    for (int i = 0; i < BODE_VALUE_TICKS; i += stride) {
        const int y = plot.bottom - i * plot.height() / 8;
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

// On a logarithmic axis an impedance that is not positive breaks the line.
// A fitted model's curves are dashed, in colours of their own.
void draw_traces(QPainter& p, const s_plot_rect& plot, const s_piezo_plot_inputs& in,
                 const LcrResults& r, const s_value_range& impedance, bool model)
{
    const int n = std::clamp(r.count, 0, MAX_SWEEP_POINTS);
    const bode_x_mapper x_of(in.freq, plot.width(), in.log_frequency);
    std::vector<QPolygon> z(1);
    QPolygon phase(n);
    for (int i = 0; i < n; ++i) {
        const LcrPoint& pt = r.points[static_cast<size_t>(i)];
        const int x = plot.left + std::clamp(x_of(pt.v[PIEZO_FREQUENCY]), 0, plot.width());
        const double v = pt.v[PIEZO_IMPEDANCE];
        if (in.log_impedance && !(v > 0)) {
            if (!z.back().isEmpty())
                z.emplace_back();
        } else
            z.back().append(QPoint(
                x, plot.bottom - piezo_impedance_y(v, impedance, plot.height(), in.log_impedance)));
        phase.setPoint(i, x,
                       plot.bottom -
                           piezo_phase_y(pt.v[PIEZO_PHASE], in.phase_convention, plot.height()));
    }
    const QColor back = in.white_background ? Qt::white : Qt::black;
    const Qt::PenStyle style = model ? Qt::DashLine : Qt::SolidLine;
    const int width = model ? 2 : 1;
    p.setPen(chart_pen(
        chart_mark(model ? QStringLiteral("impedance model") : QStringLiteral("impedance"),
                   QColor::fromRgb(model ? PIEZO_IMPEDANCE_MODEL : PIEZO_IMPEDANCE_TRACE), back),
        width, style));
    for (const QPolygon& piece : z)
        p.drawPolyline(piece);
    p.setPen(
        chart_pen(chart_mark(model ? QStringLiteral("phase model") : QStringLiteral("phase"),
                             QColor::fromRgb(model ? PIEZO_PHASE_MODEL : PIEZO_PHASE_TRACE), back),
                  width, style));
    p.drawPolyline(phase);
}

// The model's name in the plot's top left corner.
void draw_model_legend(QPainter& p, const s_plot_rect& plot, const s_piezo_plot_inputs& in)
{
    p.setFont(chart_font(LABEL_PIXELS));
    const QString legend = QStringLiteral("- - - fitted: ") + QString::fromLatin1(in.model_name);
    const QRect box(plot.left + 6, plot.top + 4, p.fontMetrics().horizontalAdvance(legend) + 4,
                    p.fontMetrics().height());
    const QColor back = in.white_background ? Qt::white : Qt::black;
    chart_text(p, box, Qt::AlignLeft | Qt::AlignVCenter, legend,
               in.white_background ? QColor(20, 20, 20) : QColor(255, 255, 255), back);
}

} // namespace

s_impedance_axis piezo_plot_impedance_axis(const s_piezo_plot_inputs& in, int plot_height)
{
    return piezo_impedance_axis(in.impedance, in.log_impedance, plot_height,
                                QFontMetrics(chart_font(LABEL_PIXELS)).height());
}

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
    const s_impedance_axis axis = piezo_plot_impedance_axis(in, plot.height());
    draw_axes(p, plot, in, axis);
    if (in.results && in.results->count > 0)
        draw_traces(p, plot, in, *in.results, axis.range, false);
    if (in.model && in.model->count > 0) {
        draw_traces(p, plot, in, *in.model, axis.range, true);
        draw_model_legend(p, plot, in);
    }
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
