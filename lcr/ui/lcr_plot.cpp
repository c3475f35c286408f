#include "lcr/ui/lcr_plot.h"

#include "base/number_format.h"
#include "base/ui/display_text.h"
#include "base/ui/qt_seams.h"
#include "graph/round_scale.h"
#include "graph/ui/bode_plot.h"
#include "graph/ui/chart_parts.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace {

constexpr int LABEL_PIXELS = 11;
constexpr int TITLE_PIXELS = 12;
constexpr int CURSOR_RADIUS = 8;
constexpr int READOUT_LINE = 14;
constexpr int RIGHT_TICK = 6;
const QColor NEAR_BLACK{20, 20, 20};
// Labels and titles stand on the window's background, never on the plot's.
const QColor LABEL_TEXT{0, 0, 0};

QColor on_background(QColor on_black, bode_background b)
{
    return b == bode_background::white ? NEAR_BLACK : on_black;
}

QColor plot_background(bode_background b)
{
    return b == bode_background::white ? QColor(255, 255, 255) : QColor(0, 0, 0);
}

// One value axis as drawn: its range and, on a logarithmic axis, the marks
// of its decades.
struct s_drawn_axis {
    s_value_range range;
    std::vector<s_log_tick> ticks;
};

s_drawn_axis drawn_axis(const s_value_range& r, int pixels, int label_pixels)
{
    if (!r.log)
        return {r, {}};
    const s_log_scale scale = log_scale(r.min, r.max, pixels, label_pixels);
    return {{scale.min, scale.max, true}, scale.ticks};
}

struct s_axis_label {
    int height; // above the plot bottom
    QString text;
};

// The labels an axis shows: every eighth (as many as stand apart) on a
// linear axis, the labelled marks that stand apart on a logarithmic one.
std::vector<s_axis_label> axis_labels(const s_drawn_axis& a, int plot_height, int line_height)
{
    std::vector<s_axis_label> out;
    if (!a.range.log) {
        const auto labels = lcr_value_labels(a.range);
        const int stride = chart_label_stride(plot_height / 8, line_height);
        for (int i = 0; i < BODE_VALUE_TICKS; i += stride)
            out.push_back(
                {i * plot_height / 8, QString::fromLatin1(labels[static_cast<size_t>(i)].c_str())});
        return out;
    }
    int last = -line_height;
    for (const s_log_tick& t : a.ticks) {
        const int height = lcr_value_height(t.value, a.range, plot_height);
        if (!t.labelled || height - last < line_height)
            continue;
        last = height;
        out.push_back({height, QString::fromLatin1(round_label(t.value, t.value).c_str())});
    }
    return out;
}

// One value axis' labels beside the plot (left or right of it), noted for
// legibility checks with its 0 line.
void draw_value_labels(QPainter& p, const s_plot_rect& plot, const s_lcr_plot_inputs& in,
                       const s_drawn_axis& a, bool left_side)
{
    const s_value_range& range = a.range;
    const int h = p.fontMetrics().height();
    s_chart_axis axis =
        chart_axis(left_side ? QStringLiteral("left value") : QStringLiteral("right value"),
                   range.log ? 0 : (range.max - range.min) / (BODE_VALUE_TICKS - 1));
    for (const s_axis_label& l : axis_labels(a, plot.height(), h)) {
        const int y = plot.bottom - l.height;
        axis.labels.push_back(l.text);
        const QRect box = left_side ? QRect(plot.left - 60, y - h / 2, 50, h)
                                    : QRect(plot.right + 10, y - h / 2, 50, h);
        chart_text(p, box, (left_side ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, l.text,
                   LABEL_TEXT, in.surround);
    }
    axis.zero_inside = !range.log && range.min < 0 && range.max > 0;
    axis.zero_line =
        axis.zero_inside &&
        chart_zero_line(p, plot, -range.min * plot.height() / (range.max - range.min),
                        chart_pen(bode_qcolor(bode_palette(in.background).major_grid)));
    chart_note_axis(std::move(axis));
}

// The grid follows the left axis: its eighths, or its decades (major) and
// their marks (minor). The right axis' labels get short ticks of their own
// at the plot's right edge when its divisions are not the grid's.
void draw_value_axes(QPainter& p, const s_plot_rect& plot, const s_lcr_plot_inputs& in,
                     const s_bode_palette& pal, const s_drawn_axis (&axes)[2])
{
    const QPen minor =
        chart_pen(bode_qcolor(pal.minor_grid), 1, in.log_scaling ? Qt::SolidLine : Qt::DotLine);
    const QPen major = chart_pen(bode_qcolor(pal.major_grid));
    p.setPen(minor);
    if (!axes[0].range.log)
        for (int i = 1; i < BODE_VALUE_TICKS - 1; ++i) {
            const int y = plot.bottom - i * plot.height() / 8;
            p.drawLine(plot.left, y, plot.right - 1, y);
        }
    for (const s_log_tick& t : axes[0].ticks) {
        const int y = plot.bottom - lcr_value_height(t.value, axes[0].range, plot.height());
        p.setPen(t.decade ? major : minor);
        if (y > plot.top && y < plot.bottom - 1)
            p.drawLine(plot.left, y, plot.right - 1, y);
    }
    if (axes[0].range.log || axes[1].range.log) {
        p.setPen(major);
        for (const s_axis_label& l : axis_labels(axes[1], plot.height(), p.fontMetrics().height()))
            p.drawLine(plot.right - RIGHT_TICK, plot.bottom - l.height, plot.right - 1,
                       plot.bottom - l.height);
    }
    draw_value_labels(p, plot, in, axes[0], true);
    draw_value_labels(p, plot, in, axes[1], false);
}

void draw_freq_axis(QPainter& p, const s_plot_rect& plot, const s_lcr_plot_inputs& in,
                    const s_bode_palette& pal)
{
    const QPen minor =
        chart_pen(bode_qcolor(pal.minor_grid), 1, in.log_scaling ? Qt::SolidLine : Qt::DotLine);
    const QPen major = chart_pen(bode_qcolor(pal.major_grid));
    for (const s_freq_tick& t :
         bode_freq_ticks(in.freq, plot.width(), in.log_scaling, bode_style_lcr_view())) {
        const int x = plot.left + t.x;
        if (t.pen != grid_pen::none) {
            p.setPen(t.pen == grid_pen::major ? major : minor);
            p.drawLine(x, plot.bottom - 1, x, plot.top);
        }
        if (t.labelled)
            chart_text(p, QRect(x - 8, plot.bottom + 5, 60, 20), Qt::AlignLeft | Qt::AlignTop,
                       qt_from_ansi(format_engineering(t.value)), LABEL_TEXT, in.surround);
    }
}

void draw_trace(QPainter& p, const s_plot_rect& plot,
                const std::vector<std::vector<s_pixel>>& pieces, QColor color,
                Qt::PenStyle style = Qt::SolidLine)
{
    p.setPen(chart_pen(color, style == Qt::SolidLine ? 1 : 2, style));
    for (const std::vector<s_pixel>& px : pieces) {
        QPolygon poly(static_cast<int>(px.size()));
        for (size_t i = 0; i < px.size(); ++i)
            poly.setPoint(static_cast<int>(i), plot.left + px[i].x, plot.top + px[i].y);
        p.drawPolyline(poly);
    }
}

// The fitted model's curves, dashed, and a legend naming the model in the
// plot's top left corner.
void draw_model(QPainter& p, const s_plot_rect& plot, const s_lcr_plot_inputs& in,
                const s_drawn_axis (&axes)[2])
{
    const LcrResults& m = *in.model;
    const QColor back = plot_background(in.background);
    draw_trace(p, plot,
               lcr_trace(m, in.left_position, in.freq, axes[0].range, plot, in.log_scaling),
               chart_mark(QStringLiteral("left model"), QColor::fromRgb(LCR_LEFT_MODEL), back),
               Qt::DashLine);
    draw_trace(p, plot,
               lcr_trace(m, in.right_position, in.freq, axes[1].range, plot, in.log_scaling),
               chart_mark(QStringLiteral("right model"), QColor::fromRgb(LCR_RIGHT_MODEL), back),
               Qt::DashLine);
    p.setFont(chart_font(LABEL_PIXELS));
    const QString legend = QStringLiteral("- - - fitted: ") + qt_display_text(in.model_name);
    const QRect box(plot.left + 6, plot.top + 4, p.fontMetrics().horizontalAdvance(legend) + 4,
                    p.fontMetrics().height());
    chart_text(p, box, Qt::AlignLeft | Qt::AlignVCenter, legend,
               on_background(QColor(255, 255, 255), in.background), back);
}

void draw_cursors(QPainter& p, const QRect& client, const s_plot_rect& plot,
                  const s_lcr_plot_inputs& in, const s_drawn_axis (&axes)[2])
{
    const LcrResults& r = *in.results;
    const QColor texts[2] = {QColor(205, 100, 100), QColor(100, 100, 205)};
    p.setFont(chart_font(LABEL_PIXELS));
    for (int k = 0; k < 2; ++k) {
        const int i = lcr_cursor_index(in.cursor[k], r.count);
        if (i < 0)
            return;
        const LcrPoint& pt = r.points[static_cast<size_t>(i)];
        const int x = plot.left + bode_x_of(pt.v[0], in.freq, plot.width(), in.log_scaling);
        const int yl =
            plot.bottom - lcr_value_height(pt.v[in.left_position], axes[0].range, plot.height());
        const int yr =
            plot.bottom - lcr_value_height(pt.v[in.right_position], axes[1].range, plot.height());
        chart_cursor_marks(p, plot, x, yl, yr,
                           chart_mark(QStringLiteral("cursor %1").arg(k),
                                      lcr_cursor_color(k, in.background),
                                      plot_background(in.background)),
                           CURSOR_RADIUS);
        const QColor text = on_background(texts[k], in.background);
        const int left = k == 0 ? client.left() + 160 : client.right() + 1 - 290;
        const int top = client.bottom() + 1 - in.strip_height - (in.large_font ? 93 : 43);
        const auto lines = lcr_cursor_readout(r, i, in.left_position, in.right_position);
        for (size_t n = 0; n < lines.size(); ++n)
            chart_text(p, QRect(left, top + READOUT_LINE * static_cast<int>(n), 200, READOUT_LINE),
                       Qt::AlignLeft | Qt::AlignVCenter, qt_display_text(lines[n]), text,
                       in.surround);
    }
}

void draw_titles(QPainter& p, const QRect& client, const s_plot_rect& plot,
                 const s_lcr_plot_inputs& in)
{
    p.setFont(chart_font(TITLE_PIXELS));
    const int band_top = client.bottom() + 1 - in.strip_height - (in.large_font ? 130 : 70);
    chart_text(p, QRect(plot.left, band_top, plot.width(), 20), Qt::AlignCenter,
               QStringLiteral("FREQUENCY (Hz)"), LABEL_TEXT, in.surround);
    const int cy = (plot.top + plot.bottom) / 2;
    chart_rotated_text(p, QPoint(client.left() + 20, cy), -90, qt_display_text(in.left_title),
                       QColor(250, 0, 0), in.surround);
    chart_rotated_text(p, QPoint(client.right() + 1 - 20, cy), 90, qt_display_text(in.right_title),
                       QColor(0, 0, 200), in.surround);
}

} // namespace

QColor lcr_cursor_color(int cursor, bode_background background)
{
    return on_background(cursor == 0 ? QColor(255, 150, 150) : QColor(150, 150, 255), background);
}

void LcrPlot::draw(QPainter& p, const QRect& client, const s_lcr_plot_inputs& in) const
{
    const s_plot_rect plot =
        lcr_plot_area(client.width(), client.height(), in.strip_height, in.large_font);
    if (plot.width() <= 0 || plot.height() <= 0)
        return;
    const s_bode_palette pal = bode_palette(in.background);
    p.save();
    chart_frame(p, plot, plot_background(in.background));
    p.setFont(chart_font(LABEL_PIXELS));
    const int label_pixels = p.fontMetrics().height();
    const s_drawn_axis axes[2] = {drawn_axis(in.left, plot.height(), label_pixels),
                                  drawn_axis(in.right, plot.height(), label_pixels)};
    draw_value_axes(p, plot, in, pal, axes);
    draw_freq_axis(p, plot, in, pal);
    draw_titles(p, client, plot, in);
    if (in.results && in.results->count > 0) {
        const LcrResults& r = *in.results;
        const QColor back = plot_background(in.background);
        draw_trace(p, plot,
                   lcr_trace(r, in.left_position, in.freq, axes[0].range, plot, in.log_scaling),
                   chart_mark(QStringLiteral("left trace"), QColor::fromRgb(LCR_LEFT_TRACE), back));
        draw_trace(
            p, plot, lcr_trace(r, in.right_position, in.freq, axes[1].range, plot, in.log_scaling),
            chart_mark(QStringLiteral("right trace"), QColor::fromRgb(LCR_RIGHT_TRACE), back));
        if (in.model && in.model->count > 0)
            draw_model(p, plot, in, axes);
        draw_cursors(p, client, plot, in, axes);
    }
    p.restore();
}

QImage LcrPlot::render(QSize size, const s_lcr_plot_inputs& in, QColor window_background) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(window_background);
    QPainter p(&image);
    draw(p, QRect(QPoint(0, 0), size), in);
    return image;
}
