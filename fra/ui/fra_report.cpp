#include "fra/ui/fra_report.h"

#include "base/sweep_numbers.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "db/db_access.h"
#include "graph/ui/chart_parts.h"
#include "graph/ui/stability_plot.h"

#include <QPainter>
#include <algorithm>
#include <cstdio>

namespace {

constexpr double BODE_ASPECT = 1.6;
constexpr double STABILITY_ASPECT = 1.25;
const QColor GAIN_MARK(0, 130, 0), PHASE_MARK(200, 0, 200);
constexpr int SQUARE = 8, DIAMOND = 10; // marker sizes, as the graph dialog draws them

QString number(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return QString::fromLatin1(text);
}

// -0.0 would print as "-0.00": a crossing exactly at 0 dB has no margin.
double negated(double v)
{
    return v == 0 ? 0.0 : -v;
}

struct s_main_crossings {
    std::optional<s_gain_phase_point> zero_db, zero_phase;
};

s_main_crossings main_crossings(std::span<const s_margin_sample> points)
{
    s_main_crossings c;
    const LList<s_gain_phase_point> db = margin_search(points, margin_kind::zero_db);
    const LList<s_gain_phase_point> phase = margin_search(points, margin_kind::zero_phase);
    if (const s_gain_phase_point* p = margin_main_crossing(db))
        c.zero_db = *p;
    if (const s_gain_phase_point* p = margin_main_crossing(phase))
        c.zero_phase = *p;
    return c;
}

s_bode_inputs chart_of(const s_fra_report_input& in)
{
    if (in.chart)
        return *in.chart;
    s_bode_inputs c;
    std::vector<double> freqs;
    std::vector<s_gain_sample> gains;
    std::vector<s_bode_point> pts;
    for (const s_margin_sample& p : in.points) {
        freqs.push_back(p.frequency);
        gains.push_back({p.frequency, p.gain});
        pts.push_back({p.frequency, p.gain, p.phase});
    }
    c.freq = bode_freq_range(freqs);
    c.gain = bode_gain_range(gains, c.freq, false);
    c.phase_base = bode_phase_base(in.phase_convention);
    c.log_scaling = in.log_scaling;
    c.background = bode_background::white;
    c.surround = Qt::white;
    c.series.push_back(bode_fra_series(std::move(pts)));
    return c;
}

// The main crossings marked where the margins are read: a square on the
// gain trace at 0 dB, a diamond on the phase trace at 0 degrees.
void draw_bode_marks(QPainter& p, const BodePlot& plot, const QRect& client,
                     const s_bode_inputs& in, const s_main_crossings& c)
{
    const s_plot_rect r = plot.layout(client.size()).plot;
    const QColor background = bode_background_color(in);
    const auto at = [&](double f, double height) {
        return QPointF(client.left() + r.left + bode_x_of(f, in.freq, r.width(), in.log_scaling),
                       client.top() + r.bottom - height);
    };
    const auto inside = [&](QPointF q) {
        return q.x() >= client.left() + r.left && q.x() <= client.left() + r.right &&
               q.y() >= client.top() + r.top && q.y() <= client.top() + r.bottom;
    };
    if (c.zero_db) {
        const QPointF q = at(c.zero_db->frequency, bode_y_of_gain(0, in.gain, r.height()));
        if (inside(q))
            chart_square(p, SQUARE, q, chart_mark("gain margin marker", GAIN_MARK, background));
    }
    if (c.zero_phase) {
        const QPointF q =
            at(c.zero_phase->frequency, bode_y_of_phase(0, in.phase_base, r.height()));
        if (inside(q))
            chart_diamond(p, DIAMOND, q, chart_mark("phase margin marker", PHASE_MARK, background));
    }
}

report_chart_painter bode_painter(const s_fra_report_input& in, const s_main_crossings& c)
{
    return [chart = chart_of(in), c](QPainter& p, const QRectF& area) {
        const BodePlot plot(bode_style_graph_file(), bode_out_of_range::clip);
        const QRect client = area.toRect();
        p.fillRect(client, chart.surround);
        plot.draw(p, client, chart);
        draw_bode_marks(p, plot, client, chart, c);
    };
}

void draw_stability_marks(QPainter& p, const StabilityPlot& chart, stability_view view,
                          const s_main_crossings& c, QColor background)
{
    if (c.zero_db) {
        const QPointF q = chart.to_pixel(stability_zero_db_mark(c.zero_db->phase, view));
        if (chart.inside(q))
            chart_square(p, SQUARE, q, chart_mark("gain margin marker", GAIN_MARK, background));
    }
    if (c.zero_phase) {
        const QPointF q = chart.to_pixel(stability_zero_phase_mark(c.zero_phase->gain, view));
        if (chart.inside(q))
            chart_diamond(p, DIAMOND, q, chart_mark("phase margin marker", PHASE_MARK, background));
    }
}

report_chart_painter stability_painter(const s_fra_report_input& in, stability_view view,
                                       const s_main_crossings& c)
{
    s_stability_inputs s;
    s.view = view;
    s.background = Qt::white;
    s_stability_series series;
    for (const s_margin_sample& p : in.points)
        series.points.push_back({p.frequency, p.gain, p.phase});
    series.color = QColor(200, 0, 0);
    s.series.push_back(std::move(series));
    return [s, c](QPainter& p, const QRectF& area) {
        const QRect client = area.toRect();
        p.fillRect(client, Qt::white);
        const BodePlot frame(bode_style_graph_file(), bode_out_of_range::clip);
        s_plot_rect r = frame.layout(client.size()).plot;
        r.left += client.left();
        r.right += client.left();
        r.top += client.top();
        r.bottom += client.top();
        const StabilityPlot chart(s, r);
        chart.draw(p);
        draw_stability_marks(p, chart, s.view, c, s.background);
    };
}

// A point as the FRA window's data table shows it.
QStringList point_row(int step, const s_margin_sample& p)
{
    return {QString::number(step), QString::fromStdString(sweep_format_fixed4(p.frequency)),
            QString::fromStdString(sweep_format_scientific5(p.gain)),
            QString::fromStdString(sweep_format_scientific5(p.phase))};
}

} // namespace

std::vector<s_margin_sample> fra_report_points(const FraResults& results)
{
    std::vector<s_margin_sample> out;
    const int count = std::clamp(results.count, 0, MAX_SWEEP_POINTS);
    for (int i = 0; i < count; ++i) {
        const s_fra_result& r = results.points[size_t(i)];
        out.push_back({r.frequency(), r.gain(), r.phase()});
    }
    return out;
}

std::vector<s_margin_sample> fra_report_points(const s_test& test)
{
    std::vector<s_margin_sample> out;
    for (const s_test_point& p : test.points)
        out.push_back({p.Frequency, p.Amplitude, p.Phase});
    return out;
}

std::vector<QStringList> fra_report_margin_rows(std::span<const s_margin_sample> points)
{
    const s_main_crossings c = main_crossings(points);
    std::vector<QStringList> rows;
    if (c.zero_phase)
        rows.push_back({QStringLiteral("Gain margin"),
                        number("%.2f dB", negated(c.zero_phase->gain)),
                        number("%.2f Hz", c.zero_phase->frequency)});
    else
        rows.push_back({QStringLiteral("Gain margin"), QStringLiteral("not found"), QString()});
    if (c.zero_db)
        rows.push_back({QStringLiteral("Phase margin"), number("%.2f deg", c.zero_db->phase),
                        number("%.2f Hz", c.zero_db->frequency)});
    else
        rows.push_back({QStringLiteral("Phase margin"), QStringLiteral("not found"), QString()});
    return rows;
}

std::vector<report_field> fra_report_details(const s_session& session, const s_test& test)
{
    const QString date =
        session.year > 0
            ? QStringLiteral("%1/%2/%3").arg(session.day).arg(session.month).arg(session.year)
            : QString();
    return {{QStringLiteral("Contract"), qt_from_ansi(session.Name)},
            {QStringLiteral("Unit"), qt_from_ansi(session.Unit)},
            {QStringLiteral("Date"), date},
            {QStringLiteral("Location"), qt_from_ansi(session.Location)},
            {QStringLiteral("Performed by"), qt_from_ansi(session.PerformedBy)},
            {QStringLiteral("Test"), qt_from_ansi(test.Name)},
            {QStringLiteral("Winding"), qt_from_ansi(test.Winding)},
            {QStringLiteral("Description"), qt_from_ansi(test.TestDescription)}};
}

report_document fra_report(const s_fra_report_input& in)
{
    report_document doc(QStringLiteral("FRA Test Report"));
    doc.set_header(fra_report_details(in.session, in.test));
    doc.add_heading(QStringLiteral("Session and test"));
    doc.add_fields(fra_report_details(in.session, in.test));
    doc.add_heading(QStringLiteral("Instrument"));
    if (in.instrument.empty())
        doc.add_paragraph(QStringLiteral("The instrument's identity and configuration are not "
                                         "recorded with a stored test."));
    else
        doc.add_fields(in.instrument);
    const s_main_crossings crossings = main_crossings(in.points);
    doc.add_heading(QStringLiteral("Bode chart"));
    doc.add_chart(bode_painter(in, crossings), BODE_ASPECT);
    doc.add_heading(QStringLiteral("Margins"));
    doc.add_table({QStringLiteral("Margin"), QStringLiteral("Value"), QStringLiteral("Frequency")},
                  fra_report_margin_rows(in.points));
    if (in.verdict) {
        doc.add_heading(QStringLiteral("Verdict"));
        doc.add_fields(report_fields_of(verdict_fields(*in.verdict)));
    }
    if (in.nyquist) {
        doc.add_heading(QStringLiteral("Nyquist chart"));
        doc.add_chart(stability_painter(in, stability_view::nyquist, crossings), STABILITY_ASPECT);
    }
    if (in.nichols) {
        doc.add_heading(QStringLiteral("Nichols chart"));
        doc.add_chart(stability_painter(in, stability_view::nichols, crossings), STABILITY_ASPECT);
    }
    if (in.with_points) {
        std::vector<QStringList> rows;
        rows.reserve(in.points.size());
        for (const s_margin_sample& p : in.points)
            rows.push_back(point_row(int(rows.size()) + 1, p));
        doc.add_heading(QStringLiteral("Points"));
        doc.add_table({QStringLiteral("Step"), QStringLiteral("Frequency (Hz)"),
                       QStringLiteral("Gain (dB)"), QStringLiteral("Phase (deg)")},
                      std::move(rows));
    }
    return doc;
}

bool fra_report_stored(int64_t test_no, s_fra_report_input& in)
{
    if (db_load_test(in.test, test_no) != 0 || in.test.TestNo != test_no)
        return false;
    in.session = s_session{};
    in.session.SessionNo = in.test.SessionNo;
    if (db_get_session(in.session) != 0)
        return false;
    in.points = fra_report_points(in.test);
    s_test_verdict verdict;
    bool found = false;
    if (db_read_verdict(test_no, verdict, found) != 0) {
        ui_message_box(nullptr, "The verdict of the test could not be read.", "Tarvelo2",
                       MB_OK | MB_ICONINFORMATION);
        return false;
    }
    in.verdict.reset();
    if (found)
        in.verdict = std::move(verdict);
    return true;
}
