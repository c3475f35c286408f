#include "review/ui/difference_view.h"

#include "base/ui/qt_seams.h"
#include "graph/bode_axes.h"
#include "graph/bode_labels.h"
#include "graph/bode_traces.h"
#include "graph/ui/chart_parts.h"
#include "review/ui/graph_overlay.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace {

constexpr int LABEL_PIXELS = 11;
constexpr int TITLE_PIXELS = 12;
constexpr int LEGEND_GAP_SCREEN = 60;
constexpr int LEGEND_GAP_FILE = 45;
const char* const TITLE_DIFFERENCE = "DIFFERENCE (dB)";

struct s_frame {
    s_bode_layout at;
    const graph_model& m;
    s_gain_range range;
    QColor text;
    QColor background; // fills the whole client
};

QColor contrast(const graph_model& m)
{
    return m.background == bode_background::white ? QColor(Qt::black) : QColor(Qt::white);
}

void draw_value_axis(QPainter& p, const s_frame& f)
{
    const s_plot_rect& plot = f.at.plot;
    const auto ticks = bode_gain_ticks(f.range, plot.height());
    p.setFont(chart_font(LABEL_PIXELS));
    const int h = p.fontMetrics().height();
    p.setPen(chart_pen(bode_qcolor(f.m.palette().minor_grid), 1,
                       f.m.log_scaling ? Qt::SolidLine : Qt::DotLine));
    for (int i = 1; i < BODE_VALUE_TICKS - 1; ++i)
        p.drawLine(plot.left, plot.bottom - ticks[i].y, plot.right - 1, plot.bottom - ticks[i].y);
    const double step = (f.range.gmax - f.range.gmin) / (BODE_VALUE_TICKS - 1);
    s_chart_axis axis = chart_axis(QStringLiteral("difference"), step);
    for (const s_value_tick& t : ticks) {
        axis.labels.push_back(qt_from_ansi(bode_value_label(t.value, step)));
        chart_text(
            p, QRect(f.at.gain_labels.left, plot.bottom - t.y - h / 2, f.at.gain_labels.width(), h),
            Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, axis.labels.back(), f.text,
            f.background);
    }
    // The 0 dB line itself is drawn with the traces, in the texts' colour.
    axis.zero_inside = axis.zero_line = f.range.gmin < 0 && f.range.gmax > 0;
    chart_note_axis(std::move(axis));
}

void draw_freq_axis(QPainter& p, const s_frame& f, const s_bode_style& style)
{
    const s_plot_rect& plot = f.at.plot;
    const s_bode_palette pal = f.m.palette();
    p.setFont(chart_font(LABEL_PIXELS));
    for (const s_freq_tick& t : bode_freq_ticks(f.m.freq, plot.width(), f.m.log_scaling, style)) {
        const int x = plot.left + t.x;
        if (t.pen != grid_pen::none) {
            p.setPen(
                chart_pen(bode_qcolor(t.pen == grid_pen::major ? pal.major_grid : pal.minor_grid)));
            p.drawLine(x, plot.bottom - 1, x, plot.top);
        }
        if (t.labelled)
            chart_text(p,
                       QRect(x - BODE_FREQ_LABEL_LEFT, f.at.freq_labels.top,
                             BODE_FREQ_LABEL_LEFT + BODE_FREQ_LABEL_RIGHT,
                             f.at.freq_labels.height()),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                       qt_from_ansi(bode_freq_label(t.value)), f.text, f.background);
    }
}

// The band edges at 100 kHz and 600 kHz, dashed, and the band names at the
// top of each band that shows.
void draw_bands(QPainter& p, const s_frame& f)
{
    const s_plot_rect& plot = f.at.plot;
    const auto x_of = [&](double hz) {
        return plot.left + bode_x_of(hz, f.m.freq, plot.width(), f.m.log_scaling);
    };
    p.setFont(chart_font(LABEL_PIXELS));
    const int h = p.fontMetrics().height();
    for (int b = 0; b < WINDING_BANDS; ++b) {
        const int x0 = std::max(plot.left, x_of(WINDING_BAND_EDGES[b]));
        const int x1 = std::min(plot.right, x_of(WINDING_BAND_EDGES[b + 1]));
        if (x1 <= x0)
            continue;
        if (b > 0 && x0 > plot.left) {
            p.setPen(chart_pen(f.text, 1, Qt::DashLine));
            p.drawLine(x0, plot.top, x0, plot.bottom - 1);
        }
        chart_text(p, QRect(x0, plot.top + 2, x1 - x0, h), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromLatin1(winding_band_name(b)).mid(2), f.text, f.background);
    }
}

void draw_traces(QPainter& p, const s_frame& f, const s_graph_comparison& c)
{
    const s_plot_rect& plot = f.at.plot;
    s_value_axis axis;
    axis.gain = f.range;
    const double zero = plot.bottom - bode_y_of_gain(0, f.range, plot.height());
    p.setPen(chart_pen(f.text));
    p.drawLine(QPointF(plot.left, zero), QPointF(plot.right - 1, zero));
    for (size_t i = 0; i < c.rows.size(); ++i) {
        const int slot = c.chart_slots[i];
        const PlotStyle& style = f.m.styles[slot];
        if (!style.gain_visible)
            continue;
        std::vector<double> freqs, values;
        for (const s_gain_sample& d : winding_difference(c.rows[i].result)) {
            freqs.push_back(d.frequency);
            values.push_back(d.gain);
        }
        const auto xs = bode_x_positions(freqs, f.m.freq, plot.width(), f.m.log_scaling);
        p.setPen(
            chart_pen(chart_mark(qt_from_ansi(c.rows[i].name), bode_qcolor(f.m.gain_colour(slot)),
                                 f.background, style.gain_colour == BODE_COLOR_CUSTOM),
                      style.gain_weight));
        for (const s_segment& s : bode_trace_clipped(xs, values, axis, plot))
            p.drawLine(QPointF(plot.left + s.x1, plot.top + s.y1),
                       QPointF(plot.left + s.x2, plot.top + s.y2));
    }
}

// One line of names the gap below the plot, raised where the client ends
// sooner.
void draw_legend(QPainter& p, const QSize& size, const s_frame& f, const s_graph_comparison& c,
                 bool for_file, const std::string& lead)
{
    const s_plot_rect& plot = f.at.plot;
    p.setFont(chart_font(LABEL_PIXELS));
    const QFontMetrics fm = p.fontMetrics();
    int x = plot.left;
    const int y = std::min(plot.bottom + (for_file ? LEGEND_GAP_FILE : LEGEND_GAP_SCREEN),
                           size.height() - fm.height() - 2);
    const auto put = [&](const QString& text, QColor colour) {
        const int w = fm.horizontalAdvance(text);
        chart_text(p, QRect(x, y, w, fm.height()), Qt::AlignLeft | Qt::AlignTop, text, colour,
                   f.background);
        x += w + 12;
    };
    put(lead.empty() ? QStringLiteral("Test - reference (") + qt_from_ansi(c.reference) +
                           QStringLiteral("):")
                     : qt_from_ansi(lead),
        f.text);
    for (size_t i = 0; i < c.rows.size(); ++i)
        put(qt_from_ansi(c.rows[i].name), bode_qcolor(f.m.gain_colour(c.chart_slots[i])));
}

} // namespace

void graph_paint_difference(QPainter& p, const QRect& area, const graph_model& m,
                            const s_graph_comparison& c, bool for_file,
                            const std::string& legend_lead)
{
    const s_bode_style style = for_file ? bode_style_graph_file() : bode_style_graph_screen();
    const s_bode_inputs in = graph_inputs(m);
    const QSize size = area.size();
    p.save();
    p.translate(area.topLeft());
    p.fillRect(QRect(QPoint(0, 0), size), bode_background_color(in));
    const s_frame f{BodePlot(style, bode_out_of_range::clip).layout(size), m,
                    graph_difference_range(c, m.freq), contrast(m), bode_background_color(in)};
    if (f.at.plot.width() > 0 && f.at.plot.height() > 0) {
        chart_frame(p, f.at.plot, bode_background_color(in));
        draw_value_axis(p, f);
        draw_freq_axis(p, f, style);
        draw_bands(p, f);
        draw_traces(p, f, c);
        p.setFont(chart_font(TITLE_PIXELS));
        chart_text(p, chart_qrect(f.at.freq_title), Qt::AlignCenter | Qt::TextDontClip,
                   qt_from_ansi(BODE_TITLE_FREQUENCY), f.text, f.background);
        chart_rotated_text(p, QPoint(style.axis_title_x, (f.at.plot.top + f.at.plot.bottom) / 2),
                           -90, QString::fromLatin1(TITLE_DIFFERENCE), f.text, f.background);
        draw_legend(p, size, f, c, for_file, legend_lead);
    }
    p.restore();
}

QImage graph_render_difference(const graph_model& m, const s_graph_comparison& c, QSize size,
                               bool for_file)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    graph_paint_difference(p, QRect(QPoint(0, 0), size), m, c, for_file);
    return image;
}
