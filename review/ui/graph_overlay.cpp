#include "review/ui/graph_overlay.h"

#include "base/ui/qt_seams.h"
#include "graph/bode_traces.h"
#include "graph/ui/chart_parts.h"
#include "graph/ui/stability_plot.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <functional>
#include <optional>

namespace {

constexpr int LEGEND_GAP_SCREEN = 60;
constexpr int LEGEND_GAP_FILE = 45;
constexpr int SQUARE = 8;
constexpr int DIAMOND = 10;
constexpr int CIRCLE = 6;
constexpr int SAMPLE = 12; // a legend entry's trace sample
constexpr int READOUT_TOP = 115;
constexpr int READOUT_BOTTOM = 145;

struct s_mapper {
    s_plot_rect plot;
    const graph_model& m;
    double x(double f) const
    {
        return plot.left + bode_x_of(f, m.freq, plot.width(), m.log_scaling);
    }
    double y_gain(double g) const { return plot.bottom - bode_y_of_gain(g, m.gain, plot.height()); }
    double y_phase(double p) const
    {
        return plot.bottom - bode_y_of_phase(p, m.phase_base, plot.height());
    }
    bool inside(double px, double py) const
    {
        return px >= plot.left && px <= plot.right && py >= plot.top && py <= plot.bottom;
    }
};

// A test's trace colour as drawn on the background: a table colour made to
// stand out, the user's own kept.
QColor trace_colour(const graph_model& m, int slot, bool phase, QColor background)
{
    const PlotStyle& st = m.styles[slot];
    return chart_mark(qt_from_ansi(m.plots[slot].test_name) +
                          (phase ? QStringLiteral(" phase") : QStringLiteral(" gain")),
                      bode_qcolor(phase ? m.phase_colour(slot) : m.gain_colour(slot)), background,
                      (phase ? st.phase_colour : st.gain_colour) == BODE_COLOR_CUSTOM);
}

QColor marker_colour(const graph_model& m, int slot, bool phase, QColor background)
{
    const PlotStyle& st = m.styles[slot];
    return chart_mark(
        qt_from_ansi(m.plots[slot].test_name) +
            (phase ? QStringLiteral(" phase marker") : QStringLiteral(" gain marker")),
        bode_qcolor(phase ? m.phase_marker_colour(slot) : m.gain_marker_colour(slot)), background,
        (phase ? st.phase_marker_colour : st.gain_marker_colour) == GRAPH_MARKER_CUSTOM);
}

// One piece of a cursor path, left out where it leaves the plot.
void draw_clipped(QPainter& p, const s_plot_rect& plot, QPointF a, QPointF b)
{
    s_segment s{a.x() - plot.left, a.y() - plot.top, b.x() - plot.left, b.y() - plot.top};
    if (bode_clip_segment(s, plot.width(), plot.height()))
        p.drawLine(QPointF(s.x1 + plot.left, s.y1 + plot.top),
                   QPointF(s.x2 + plot.left, s.y2 + plot.top));
}

// Where a crossing's marker sits on the chart shown; empty when outside.
using s_mark_place = std::function<std::optional<QPointF>(const s_gain_phase_point&, margin_kind)>;

void draw_markers(QPainter& p, const graph_model& m, int slot, const s_mark_place& place,
                  QColor background)
{
    const PlotStyle& s = m.styles[slot];
    const s_margin_slot& ms = m.plots[slot];
    const auto each = [&](const LList<s_gain_phase_point>& list, margin_kind kind, auto draw) {
        const s_gain_phase_point* main = graph_main_crossing(list);
        for (auto* n = list.head; n; n = n->next)
            if (!s.markers_hidden || n->element == main)
                if (const std::optional<QPointF> at = place(*n->element, kind))
                    draw(*at);
    };
    if (s.gain_markers && s.gain_visible)
        each(ms.zero_db, margin_kind::zero_db, [&](QPointF at) {
            chart_square(p, SQUARE, at, marker_colour(m, slot, false, background));
        });
    if (s.phase_markers && s.phase_visible)
        each(ms.zero_phase, margin_kind::zero_phase, [&](QPointF at) {
            chart_diamond(p, DIAMOND, at, marker_colour(m, slot, true, background));
        });
}

s_mark_place bode_places(const s_mapper& map)
{
    return [&map](const s_gain_phase_point& c, margin_kind kind) -> std::optional<QPointF> {
        const QPointF at(map.x(c.frequency),
                         kind == margin_kind::zero_db ? map.y_gain(0) : map.y_phase(0));
        return map.inside(at.x(), at.y()) ? std::optional(at) : std::nullopt;
    };
}

s_mark_place stability_places(const StabilityPlot& chart, stability_view view)
{
    return [&chart, view](const s_gain_phase_point& c, margin_kind kind) -> std::optional<QPointF> {
        const QPointF at =
            chart.to_pixel(kind == margin_kind::zero_db ? stability_zero_db_mark(c.phase, view)
                                                        : stability_zero_phase_mark(c.gain, view));
        return chart.inside(at) ? std::optional(at) : std::nullopt;
    };
}

void draw_cursor(QPainter& p, const s_mapper& map, const s_cursor_entry& e, QColor colour,
                 bool gain)
{
    const s_plot_rect& plot = map.plot;
    const double x = map.x(e.frequency);
    const double yg = map.y_gain(e.gain);
    const double yp = map.y_phase(e.phase);
    p.setPen(QPen(colour, 1, Qt::DashLine));
    if (gain) {
        draw_clipped(p, plot, {double(plot.left), yg}, {x, yg});
        draw_clipped(p, plot, {x, yg}, {x, yp});
        draw_clipped(p, plot, {x, yp}, {double(plot.right), yp});
    } else {
        draw_clipped(p, plot, {double(plot.right), yp}, {x, yp});
        draw_clipped(p, plot, {x, yp}, {x, yg});
        draw_clipped(p, plot, {x, yg}, {double(plot.left), yg});
    }
    const double cy = gain ? yg : yp;
    p.setPen(QPen(colour, 1));
    if (map.inside(x, cy))
        p.drawEllipse(QPointF(x, cy), CIRCLE / 2.0, CIRCLE / 2.0);
}

void draw_readout(QPainter& p, const QRect& box, const std::string& text, QColor colour,
                  QColor background, QColor frame, bool crossing, bool gain)
{
    p.fillRect(box, background);
    p.setPen(frame);
    p.drawRect(box.adjusted(0, 0, -1, -1));
    const QRect inner = box.adjusted(4, 1, -4, -1);
    QString shown = qt_from_ansi(text);
    shown.replace(QLatin1Char('\t'), QLatin1String("   "));
    chart_text(p, inner, Qt::AlignLeft | Qt::AlignVCenter, shown, colour, background);
    if (!crossing)
        return;
    const QPointF mark(box.right() - 10, box.center().y());
    if (gain)
        chart_square(p, SQUARE, mark, colour);
    else
        chart_diamond(p, DIAMOND, mark, colour);
}

// A trace's legend entry: its name, made readable on the background, and a
// short sample of the trace in its own colour after it.
void draw_entry(QPainter& p, const QRect& room, const QString& name, QColor colour,
                QColor background)
{
    chart_text(p, room, Qt::AlignLeft, name, colour, background);
    const int x = room.left() + QFontMetrics(p.font()).horizontalAdvance(name) + 4;
    const int y = room.top() + room.height() / 2;
    if (x + SAMPLE > room.right())
        return;
    p.fillRect(QRect(x, y - 1, SAMPLE, 2), colour);
}

// The legend below the plot: a cell per test with its name and its traces'
// entries (gain and phase on the Bode chart, the one curve of a loop on the
// others). It stands the gap below the plot, raised where the client ends
// sooner, so that a saved chart shows it whole.
void draw_legend(QPainter& p, const QRect& client, const s_plot_rect& plot, int gap,
                 const graph_model& m, QColor background, bool bode)
{
    const int line = QFontMetrics(p.font()).height();
    const int height = (bode ? 3 : 2) * line + 6;
    const int top = std::min(plot.bottom + gap, client.bottom() - height);
    const bool dark = m.background != bode_background::white;
    const QRect box(plot.left, top,
                    graph_legend_cell(plot, m.count, top, height).left() - plot.left, height);
    p.fillRect(box, background);
    p.setPen(dark ? QColor(Qt::lightGray) : QColor(Qt::darkGray));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    p.drawRect(box.adjusted(1, 1, -2, -2));
    chart_record_box(p, box, QStringLiteral("legend"));
    const QColor name_colour = StabilityPlot::foreground(background);
    for (int i = 0; i < m.count; ++i) {
        const QRect cell = graph_legend_cell(plot, i, top, height).adjusted(4, 3, -2, -3);
        // The whole name where it fits the cell, else elided in its middle.
        const QString whole = qt_from_ansi(m.plots[i].test_name);
        const QString shown =
            QFontMetrics(p.font()).elidedText(whole, Qt::ElideMiddle, cell.width());
        chart_note_name(whole, shown);
        chart_text(p, QRect(cell.left(), cell.top(), cell.width(), line), Qt::AlignLeft, shown,
                   name_colour, background);
        const int mark_x = cell.left() + DIAMOND / 2;
        const int text_x = cell.left() + DIAMOND + 4;
        const int gain_y = cell.top() + line;
        const int phase_y = cell.top() + 2 * line;
        if (m.styles[i].gain_markers)
            chart_square(p, SQUARE, QPointF(mark_x, gain_y + line / 2.0),
                         marker_colour(m, i, false, background));
        draw_entry(p, QRect(text_x, gain_y, cell.right() - text_x, line), QStringLiteral("Gain "),
                   trace_colour(m, i, false, background), background);
        if (!bode)
            continue;
        if (m.styles[i].phase_markers)
            chart_diamond(p, DIAMOND, QPointF(mark_x, phase_y + line / 2.0),
                          marker_colour(m, i, true, background));
        draw_entry(p, QRect(text_x, phase_y, cell.right() - text_x, line), QStringLiteral("Phase"),
                   trace_colour(m, i, true, background), background);
    }
}

} // namespace

QRect graph_legend_cell(const s_plot_rect& plot, int slot, int legend_top, int height)
{
    const int width = 2 * plot.width() / 18;
    return QRect(plot.left + slot * width, legend_top, width, height);
}

s_plot_rect graph_plot_rect(const QRect& client, const s_bode_style& style)
{
    // The plot where BodePlot puts it: its side insets grow with the labels.
    s_plot_rect plot = BodePlot(style, bode_out_of_range::clip).layout(client.size()).plot;
    plot.left += client.left();
    plot.right += client.left();
    plot.top += client.top();
    plot.bottom += client.top();
    return plot;
}

s_bode_inputs graph_inputs(const graph_model& m)
{
    s_bode_inputs in;
    in.freq = m.freq;
    in.gain = m.gain;
    in.gain_typed = m.gain_mode == graph_range_mode::manual;
    in.phase_base = m.phase_base;
    in.log_scaling = m.log_scaling;
    in.background = m.background;
    in.custom_background = bode_qcolor(m.custom_background);
    in.surround = bode_background_color(in);
    for (int i = 0; i < m.count; ++i) {
        s_bode_series s;
        for (const s_margin_sample& p : m.drawn_points(i))
            s.points.push_back({p.frequency, p.gain, p.phase});
        const PlotStyle& st = m.styles[i];
        // A hidden trace keeps its place in the series with a pen that paints nothing.
        s.gain_color = st.gain_visible ? bode_qcolor(m.gain_colour(i)) : QColor(Qt::transparent);
        s.phase_color = st.phase_visible ? bode_qcolor(m.phase_colour(i)) : QColor(Qt::transparent);
        s.gain_width = st.gain_weight;
        s.phase_width = st.phase_weight;
        s.gain_picked = st.gain_colour == BODE_COLOR_CUSTOM;
        s.phase_picked = st.phase_colour == BODE_COLOR_CUSTOM;
        s.name = qt_from_ansi(m.plots[i].test_name);
        in.series.push_back(std::move(s));
    }
    if (m.count > 0) {
        in.gain_title_color = bode_qcolor(m.gain_colour(m.selected));
        in.phase_title_color = bode_qcolor(m.phase_colour(m.selected));
    }
    return in;
}

void graph_draw_overlay(QPainter& p, const QRect& client, const s_bode_style& style,
                        const graph_model& m, bool for_file)
{
    const s_plot_rect plot = graph_plot_rect(client, style);
    const s_bode_inputs in = graph_inputs(m);
    const QColor background = bode_background_color(in);
    const s_mapper map{plot, m};
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < m.count; ++i)
        draw_markers(p, m, i, bode_places(map), background);
    draw_legend(p, client, plot, for_file ? LEGEND_GAP_FILE : LEGEND_GAP_SCREEN, m, background,
                true);
    if (m.count > 0) {
        const auto gains = m.gain_cursor_list();
        const auto phases = m.phase_cursor_list();
        const QColor frame =
            m.background == bode_background::white ? QColor(Qt::darkGray) : QColor(Qt::lightGray);
        const int width = plot.width() / 3;
        const QRect gain_box(plot.left, plot.bottom + READOUT_TOP, width,
                             READOUT_BOTTOM - READOUT_TOP);
        const QRect phase_box(plot.right - width, plot.bottom + READOUT_TOP, width,
                              READOUT_BOTTOM - READOUT_TOP);
        if (m.gain_cursor_shown && !gains.empty()) {
            const s_cursor_entry& e =
                gains[size_t(std::clamp(m.gain_cursor, 0, int(gains.size()) - 1))];
            draw_cursor(p, map, e, marker_colour(m, m.selected, false, background), true);
            if (!for_file)
                draw_readout(p, gain_box, graph_cursor_readout(e),
                             bode_qcolor(m.gain_colour(m.selected)), background, frame, e.crossing,
                             true);
        }
        if (m.phase_cursor_shown && !phases.empty()) {
            const s_cursor_entry& e =
                phases[size_t(std::clamp(m.phase_cursor, 0, int(phases.size()) - 1))];
            draw_cursor(p, map, e, marker_colour(m, m.selected, true, background), false);
            if (!for_file)
                draw_readout(p, phase_box, graph_cursor_readout(e),
                             bode_qcolor(m.phase_colour(m.selected)), background, frame, e.crossing,
                             false);
        }
    }
    p.restore();
}

namespace {

// The chart's background without converting every trace.
QColor background_of(const graph_model& m)
{
    s_bode_inputs in;
    in.background = m.background;
    in.custom_background = bode_qcolor(m.custom_background);
    return bode_background_color(in);
}

} // namespace

s_stability_inputs graph_stability_inputs(const graph_model& m)
{
    s_stability_inputs in;
    in.view = m.view == graph_view::nichols ? stability_view::nichols : stability_view::nyquist;
    in.background = background_of(m);
    for (int i = 0; i < m.count; ++i) {
        s_stability_series s;
        for (const s_margin_sample& p : m.drawn_points(i))
            s.points.push_back({p.frequency, p.gain, p.phase});
        // A loop has one curve: it takes the gain trace's colour, weight and
        // visibility.
        s.color = trace_colour(m, i, false, in.background);
        s.width = m.styles[i].gain_weight;
        s.visible = m.styles[i].gain_visible;
        in.series.push_back(std::move(s));
    }
    return in;
}

namespace {

void graph_draw_stability(QPainter& p, const QRect& client, const s_bode_style& style,
                          const graph_model& m, bool for_file)
{
    const s_plot_rect plot = graph_plot_rect(client, style);
    const s_stability_inputs in = graph_stability_inputs(m);
    const StabilityPlot chart(in, plot);
    chart.draw(p);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < m.count; ++i)
        draw_markers(p, m, i, stability_places(chart, in.view), in.background);
    draw_legend(p, client, plot, for_file ? LEGEND_GAP_FILE : LEGEND_GAP_SCREEN, m, in.background,
                false);
    p.restore();
}

} // namespace

void graph_paint(QPainter& p, const QRect& client, const graph_model& m, bool for_file)
{
    const s_bode_style style = for_file ? bode_style_graph_file() : bode_style_graph_screen();
    p.fillRect(client, background_of(m));
    if (m.view != graph_view::bode) {
        graph_draw_stability(p, client, style, m, for_file);
        return;
    }
    BodePlot(style, bode_out_of_range::clip).draw(p, client, graph_inputs(m));
    graph_draw_overlay(p, client, style, m, for_file);
}

QColor graph_trace_colour(const graph_model& m, int slot, bool phase, QColor background)
{
    return trace_colour(m, slot, phase, background);
}

QImage graph_render(const graph_model& m, QSize size, bool for_file)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    graph_paint(p, QRect(QPoint(0, 0), size), m, for_file);
    return image;
}
