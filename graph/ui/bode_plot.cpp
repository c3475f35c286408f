#include "graph/ui/bode_plot.h"

#include "base/ui/qt_seams.h"
#include "graph/bmp_file.h"
#include "graph/bode_labels.h"
#include "graph/bode_traces.h"
#include "graph/ui/chart_parts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int LABEL_PIXELS = 11;
constexpr int TITLE_PIXELS = 12;
constexpr int CURSOR_RADIUS = 8;
constexpr int READOUT_GAP = 12;
const QColor LABEL_TEXT{0, 0, 0};

s_plot_rect moved(s_plot_rect r, QPoint by)
{
    return {r.left + by.x(), r.top + by.y(), r.right + by.x(), r.bottom + by.y()};
}

int widest(const QFontMetrics& fm, const char* const (&texts)[2])
{
    return std::max(fm.horizontalAdvance(QString::fromLatin1(texts[0])),
                    fm.horizontalAdvance(QString::fromLatin1(texts[1])));
}

// The widest label each value axis can show (gains of a few hundred dB, a
// phase of -360..360): the chart's side margins are made to fit these.
const char* const WIDEST_GAIN_LABELS[2] = {"-110.0", "-888.8"};
const char* const WIDEST_PHASE_LABELS[2] = {"-180", "-888"};

// Labels may be wider than their box in an unusual font: shown whole, never cut.
constexpr int LABEL_FLAGS = Qt::TextDontClip | Qt::TextSingleLine;

std::vector<double> column(const std::vector<s_bode_point>& pts, double s_bode_point::*field)
{
    std::vector<double> out(pts.size());
    for (size_t i = 0; i < pts.size(); ++i)
        out[i] = pts[i].*field;
    return out;
}

// Joins consecutive segments that meet into one polyline each: far fewer
// calls into the raster engine than one line per segment.
void draw_segments(QPainter& p, const s_plot_rect& plot, const std::vector<s_segment>& segs)
{
    QPolygon run;
    const auto flush = [&] {
        if (run.size() > 1)
            p.drawPolyline(run);
        run.clear();
    };
    for (const s_segment& g : segs) {
        const QPoint a(plot.left + static_cast<int>(std::lround(g.x1)),
                       plot.top + static_cast<int>(std::lround(g.y1)));
        const QPoint b(plot.left + static_cast<int>(std::lround(g.x2)),
                       plot.top + static_cast<int>(std::lround(g.y2)));
        if (run.isEmpty() || run.last() != a) {
            flush();
            run.append(a);
        }
        if (b != run.last())
            run.append(b);
    }
    flush();
}

int height_px(double y, int h)
{
    return std::isfinite(y) ? static_cast<int>(std::clamp(std::lround(y), 0L, static_cast<long>(h)))
                            : 0;
}

// A cursor's readout below the chart: frequency and gain on the first line
// (56 pixels above the client bottom), phase and slope on the last (14
// above). The FRA view's cursor scroll bars run between the two lines.
void draw_readout(QPainter& p, const QRect& client, int cursor,
                  const std::array<std::string, 4>& lines, QColor color, QColor behind)
{
    QString text[4];
    for (size_t i = 0; i < 4; ++i)
        text[i] = qt_from_ansi(lines[i]);
    const QFontMetrics fm = p.fontMetrics();
    const int first =
        std::max(fm.horizontalAdvance(text[0]), fm.horizontalAdvance(text[2])) + READOUT_GAP;
    const int width =
        first + std::max(fm.horizontalAdvance(text[1]), fm.horizontalAdvance(text[3]));
    const int left = cursor == 0 ? client.left() + 5 : client.right() + 1 - 5 - width;
    for (int row = 0; row < 2; ++row) {
        const int top = client.bottom() + 1 - 56 + 42 * row;
        chart_text(p, QRect(left, top, first, 13), Qt::AlignLeft | Qt::AlignVCenter, text[2 * row],
                   color, behind);
        chart_text(p, QRect(left + first, top, width - first, 13), Qt::AlignLeft | Qt::AlignVCenter,
                   text[2 * row + 1], color, behind);
    }
}

int clamp_index(int c, int count)
{
    return std::clamp(c, 0, count - 1);
}

} // namespace

QFont bode_label_font()
{
    return chart_font(LABEL_PIXELS);
}

QColor bode_qcolor(s_rgb c)
{
    return QColor(c.r, c.g, c.b);
}

QColor bode_background_color(const s_bode_inputs& in)
{
    switch (in.background) {
    case bode_background::white: return Qt::white;
    case bode_background::custom: return in.custom_background;
    default: return Qt::black;
    }
}

s_bode_series bode_fra_series(std::vector<s_bode_point> points)
{
    s_bode_series s;
    s.points = std::move(points);
    s.gain_color = bode_qcolor(BODE_GAIN_TRACE);
    s.phase_color = bode_qcolor(BODE_PHASE_TRACE);
    return s;
}

BodePlot::BodePlot(s_bode_style style, bode_out_of_range mode) : style_(style), mode_(mode) {}

QImage BodePlot::render(QSize size, const s_bode_inputs& in, QColor window_background) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(window_background);
    QPainter p(&image);
    draw(p, QRect(QPoint(0, 0), size), in);
    return image;
}

s_bode_layout BodePlot::layout(QSize client) const
{
    const QFontMetrics label(chart_font(LABEL_PIXELS));
    const QFontMetrics title(chart_font(TITLE_PIXELS));
    const s_bode_text_extents text{widest(label, WIDEST_GAIN_LABELS),
                                   widest(label, WIDEST_PHASE_LABELS), label.height(),
                                   title.height()};
    return bode_layout(client.width(), client.height(), style_, text);
}

void BodePlot::draw(QPainter& p, const QRect& client, const s_bode_inputs& in) const
{
    s_bode_layout at = layout(client.size());
    for (s_plot_rect* r :
         {&at.plot, &at.gain_labels, &at.phase_labels, &at.freq_labels, &at.freq_title})
        *r = moved(*r, client.topLeft());
    const s_plot_rect& plot = at.plot;
    if (plot.width() <= 0 || plot.height() <= 0)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    draw_frame(p, plot, in);
    draw_titles(p, client, at, in);
    draw_value_axes(p, at, in);
    draw_freq_axis(p, at, in);
    draw_series(p, plot, in);
    draw_masks(p, plot, in);
    if (in.show_cursors)
        draw_cursors(p, client.adjusted(0, 0, in.readout_extend, 0), plot, in);
    p.restore();
}

void BodePlot::draw_frame(QPainter& p, const s_plot_rect& plot, const s_bode_inputs& in) const
{
    chart_frame(p, plot, bode_background_color(in));
}

void BodePlot::draw_titles(QPainter& p, const QRect& client, const s_bode_layout& at,
                           const s_bode_inputs& in) const
{
    p.setFont(chart_font(TITLE_PIXELS));
    chart_text(p, chart_qrect(at.freq_title), Qt::AlignCenter | LABEL_FLAGS,
               qt_from_ansi(BODE_TITLE_FREQUENCY), LABEL_TEXT, in.surround);
    const int cy = (at.plot.top + at.plot.bottom) / 2;
    chart_rotated_text(p, QPoint(client.left() + style_.axis_title_x, cy), -90,
                       qt_from_ansi(BODE_TITLE_GAIN), in.gain_title_color, in.surround);
    chart_rotated_text(p, QPoint(client.right() + 1 - style_.axis_title_x, cy), 90,
                       qt_from_ansi(BODE_TITLE_PHASE), in.phase_title_color, in.surround);
}

void BodePlot::draw_value_axes(QPainter& p, const s_bode_layout& at, const s_bode_inputs& in) const
{
    const s_plot_rect& plot = at.plot;
    const s_bode_palette pal = bode_palette(in.background);
    const auto gains = bode_gain_ticks(in.gain, plot.height());
    const auto phases = bode_phase_ticks(in.phase_base, plot.height());
    p.setFont(chart_font(LABEL_PIXELS));
    const int h = p.fontMetrics().height();
    p.setPen(
        chart_pen(bode_qcolor(pal.minor_grid), 1, in.log_scaling ? Qt::SolidLine : Qt::DotLine));
    for (int i = 1; i < BODE_VALUE_TICKS - 1; ++i) {
        const int y = plot.bottom - gains[i].y;
        p.drawLine(plot.left, y, plot.right - 1, y);
    }
    const double step = (in.gain.gmax - in.gain.gmin) / (BODE_VALUE_TICKS - 1);
    s_chart_axis gain_axis = chart_axis(QStringLiteral("gain"), step, in.gain_typed);
    s_chart_axis phase_axis = chart_axis(QStringLiteral("phase"), 45);
    for (int i = 0; i < BODE_VALUE_TICKS; ++i) {
        const int y = plot.bottom - gains[i].y - h / 2;
        gain_axis.labels.push_back(qt_from_ansi(bode_value_label(gains[i].value, step)));
        phase_axis.labels.push_back(qt_from_ansi(bode_phase_label(phases[i].value)));
        chart_text(p, QRect(at.gain_labels.left, y, at.gain_labels.width(), h),
                   Qt::AlignRight | Qt::AlignVCenter | LABEL_FLAGS, gain_axis.labels.back(),
                   LABEL_TEXT, in.surround);
        chart_text(p, QRect(at.phase_labels.left, y, at.phase_labels.width(), h),
                   Qt::AlignLeft | Qt::AlignVCenter | LABEL_FLAGS, phase_axis.labels.back(),
                   LABEL_TEXT, in.surround);
    }
    // 0 dB and 0 degrees on the major pen wherever they lie inside the plot.
    const QPen zero_pen = chart_pen(bode_qcolor(pal.major_grid));
    gain_axis.zero_inside = in.gain.gmin < 0 && in.gain.gmax > 0;
    gain_axis.zero_line =
        chart_zero_line(p, plot, bode_y_of_gain(0, in.gain, plot.height()), zero_pen);
    phase_axis.zero_inside = in.phase_base < 0 && in.phase_base + 360 > 0;
    phase_axis.zero_line =
        chart_zero_line(p, plot, bode_y_of_phase(0, in.phase_base, plot.height()), zero_pen);
    chart_note_axis(std::move(gain_axis));
    chart_note_axis(std::move(phase_axis));
}

void BodePlot::draw_freq_axis(QPainter& p, const s_bode_layout& at, const s_bode_inputs& in) const
{
    const s_plot_rect& plot = at.plot;
    const s_bode_palette pal = bode_palette(in.background);
    const QPen minor =
        chart_pen(bode_qcolor(pal.minor_grid), 1, in.log_scaling ? Qt::SolidLine : Qt::DotLine);
    const QPen major = chart_pen(bode_qcolor(pal.major_grid));
    const auto ticks = bode_freq_ticks(in.freq, plot.width(), in.log_scaling, style_);
    p.setFont(chart_font(LABEL_PIXELS));
    const int label_width = BODE_FREQ_LABEL_LEFT + BODE_FREQ_LABEL_RIGHT;
    for (const s_freq_tick& t : ticks) {
        const int x = plot.left + t.x;
        if (t.pen != grid_pen::none) {
            p.setPen(t.pen == grid_pen::major ? major : minor);
            p.drawLine(x, plot.bottom - 1, x, plot.top);
        }
        if (t.labelled)
            chart_text(p,
                       QRect(x - BODE_FREQ_LABEL_LEFT, at.freq_labels.top, label_width,
                             at.freq_labels.height()),
                       Qt::AlignLeft | Qt::AlignTop | LABEL_FLAGS,
                       qt_from_ansi(bode_freq_label(t.value)), LABEL_TEXT, in.surround);
    }
}

void BodePlot::draw_series(QPainter& p, const s_plot_rect& plot, const s_bode_inputs& in) const
{
    s_value_axis axes[2];
    axes[0].gain = in.gain;
    axes[1].phase = true;
    axes[1].phase_base = in.phase_base;
    const QColor background = bode_background_color(in);
    for (const s_bode_series& s : in.series) {
        if (!s.visible || s.points.empty())
            continue;
        const auto xs = bode_x_positions(column(s.points, &s_bode_point::frequency), in.freq,
                                         plot.width(), in.log_scaling);
        for (int which = 0; which < 2; ++which) {
            const auto values =
                column(s.points, which ? &s_bode_point::phase : &s_bode_point::gain);
            const QColor wanted = which ? s.phase_color : s.gain_color;
            const QColor color =
                wanted.alpha() == 0
                    ? wanted
                    : chart_mark(s.name +
                                     (which ? QStringLiteral(" phase") : QStringLiteral(" gain")),
                                 wanted, background, which ? s.phase_picked : s.gain_picked);
            p.setPen(chart_pen(color, which ? s.phase_width : s.gain_width));
            if (mode_ == bode_out_of_range::clamp) {
                const auto px = bode_trace_clamped(xs, values, axes[which], plot);
                QPolygon poly(static_cast<int>(px.size()));
                for (size_t i = 0; i < px.size(); ++i)
                    poly.setPoint(static_cast<int>(i), plot.left + px[i].x, plot.top + px[i].y);
                p.drawPolyline(poly);
            } else {
                draw_segments(p, plot, bode_trace_clipped(xs, values, axes[which], plot));
            }
        }
    }
}

// Each straight piece of a mask line is followed in small steps, so that it
// bends as it should on a linear frequency axis too; what lies outside the
// plot is not drawn.
void BodePlot::draw_masks(QPainter& p, const s_plot_rect& plot, const s_bode_inputs& in) const
{
    constexpr int STEPS = 24;
    const QColor background = bode_background_color(in);
    for (const s_bode_mask& m : in.masks) {
        std::vector<double> hz, values;
        for (size_t i = 0; i + 1 < m.corners.size(); ++i) {
            const auto [f0, v0] = m.corners[i];
            const auto [f1, v1] = m.corners[i + 1];
            if (!(f0 > 0 && f1 > 0))
                continue;
            for (int k = 0; k <= STEPS; ++k) {
                const double t = static_cast<double>(k) / STEPS;
                hz.push_back(f0 * std::pow(f1 / f0, t));
                values.push_back(v0 + (v1 - v0) * t);
            }
        }
        if (hz.empty())
            continue;
        s_value_axis axis;
        axis.gain = in.gain;
        axis.phase = m.phase;
        axis.phase_base = in.phase_base;
        const QColor wanted = m.phase ? QColor(0, 200, 120) : QColor(255, 0, 255);
        p.setPen(chart_pen(chart_mark(m.name, wanted, background), 2, Qt::DashLine));
        draw_segments(
            p, plot,
            bode_trace_clipped(bode_x_positions(hz, in.freq, plot.width(), in.log_scaling), values,
                               axis, plot));
    }
}

void BodePlot::draw_cursors(QPainter& p, const QRect& client, const s_plot_rect& plot,
                            const s_bode_inputs& in) const
{
    if (in.series.empty() || in.series[0].points.empty())
        return;
    const auto& pts = in.series[0].points;
    const int count = static_cast<int>(pts.size());
    const s_bode_palette pal = bode_palette(in.background);
    const QColor pens[2] = {bode_qcolor(pal.cursor0_pen), bode_qcolor(pal.cursor1_pen)};
    const QColor texts[2] = {bode_qcolor(BODE_CURSOR0_TEXT), bode_qcolor(BODE_CURSOR1_TEXT)};
    std::vector<s_slope_sample> slope(pts.size());
    for (size_t i = 0; i < pts.size(); ++i)
        slope[i] = {pts[i].frequency, pts[i].gain};
    s_value_axis gain_axis;
    gain_axis.gain = in.gain;
    s_value_axis phase_axis;
    phase_axis.phase = true;
    phase_axis.phase_base = in.phase_base;
    const int h = plot.height();
    p.setFont(chart_font(LABEL_PIXELS));
    for (int k = 0; k < 2; ++k) {
        const int c = clamp_index(in.cursor[k], count);
        const s_bode_point& pt = pts[static_cast<size_t>(c)];
        const int x = plot.left + bode_x_of(pt.frequency, in.freq, plot.width(), in.log_scaling);
        const int yg = plot.bottom - height_px(gain_axis.y_of(pt.gain, h), h);
        const int yp = plot.bottom - height_px(phase_axis.y_of(pt.phase, h), h);
        chart_cursor_marks(
            p, plot, x, yg, yp,
            chart_mark(QStringLiteral("cursor %1").arg(k), pens[k], bode_background_color(in)),
            CURSOR_RADIUS);
        draw_readout(
            p, client, k,
            bode_cursor_readout(pt.frequency, pt.gain, pt.phase, bode_cursor_slope(slope, c)),
            texts[k], in.surround);
    }
}

s_bmp_image bode_bmp_image(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    s_bmp_image bmp{rgb.width(), rgb.height(), {}};
    bmp.rgb.resize(static_cast<size_t>(rgb.width()) * rgb.height() * 3);
    for (int y = 0; y < rgb.height(); ++y)
        std::copy_n(rgb.constScanLine(y), rgb.width() * 3,
                    bmp.rgb.begin() + static_cast<std::ptrdiff_t>(y) * rgb.width() * 3);
    return bmp;
}

int bode_save_bmp(const QImage& image, const QString& path)
{
    return bmp_write_file(path.toStdString(), bode_bmp_image(image));
}
