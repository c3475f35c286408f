#include "lcr/ui/component_report.h"

#include "base/number_format.h"
#include "base/ui/display_text.h"
#include "base/ui/qt_seams.h"
#include "lcr/circuit_curve.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_view.h"
#include "lcr/piezo_view.h"
#include "lcr/ui/lcr_plot.h"
#include "lcr/ui/piezo_plot.h"

#include <QPainter>
#include <algorithm>
#include <cstdio>

namespace {

QString engineering(double value, const char* unit)
{
    // The engineering form ends in its prefix ("4.7000 m"); the unit follows.
    return qt_from_ansi(format_engineering(value)) + qt_from_ansi(unit);
}

std::vector<int> cursors_of(const s_component_report_input& in)
{
    const int count = in.results->count;
    if (count <= 0)
        return {};
    std::vector<int> out;
    for (int c : in.cursors)
        out.push_back(std::clamp(c, 0, count - 1));
    if (out.empty())
        out = {0, count - 1};
    return out;
}

report_chart_painter piezo_chart(const LcrResults& results)
{
    s_piezo_plot_inputs plot;
    plot.results = &results;
    plot.phase_convention = results.phase_convention;
    plot.freq = piezo_freq_range(results, plot.freq);
    plot.impedance = piezo_impedance_range(results, plot.impedance);
    plot.white_background = true;
    plot.left_reserve = 0;
    plot.surround = Qt::white;
    return [plot](QPainter& p, const QRectF& area) { PiezoPlot().paint(p, area.toRect(), plot); };
}

report_chart_painter lcr_chart(const LcrResults& results, const std::vector<int>& cursors)
{
    s_lcr_view_state view;
    lcr_view_reset_quantities(view, results.layout);
    lcr_view_new_sweep(view, results);
    s_lcr_plot_inputs plot;
    plot.results = &results;
    plot.left_position = view.item[0] + 1;
    plot.right_position = view.item[1] + 1;
    const std::vector<std::string> items = lcr_box_items(results.layout);
    if (size_t(view.item[1]) < items.size()) {
        plot.left_title = items[size_t(view.item[0])];
        plot.right_title = items[size_t(view.item[1])];
    }
    plot.freq = view.freq;
    plot.left = view.left;
    plot.right = view.right;
    plot.background = bode_background::white;
    plot.surround = Qt::white;
    for (size_t i = 0; i < 2 && i < cursors.size(); ++i)
        plot.cursor[i] = cursors[i];
    return [plot](QPainter& p, const QRectF& area) {
        p.fillRect(area, Qt::white);
        LcrPlot().draw(p, area.toRect(), plot);
    };
}

std::vector<QStringList> point_rows(const LcrResults& r)
{
    const int values = lcr_layout(r.layout).values;
    std::vector<QStringList> rows;
    rows.reserve(size_t(std::max(r.count, 0)));
    char text[40];
    for (int i = 0; i < r.count; ++i) {
        QStringList row{QString::number(i + 1)};
        for (int v = 0; v < values; ++v) {
            std::snprintf(text, sizeof text, "%.6g", r.points[size_t(i)].v[v]);
            row << QString::fromLatin1(text);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void add_circuit(report_document& doc, const s_component_report_input& in)
{
    if (!in.piezo && in.circuit.empty())
        return;
    doc.add_heading(QStringLiteral("Equivalent circuit"));
    if (in.piezo) {
        const s_piezo_analysis a = in.analysis ? *in.analysis : piezo_analyse(*in.results);
        if (a.values)
            doc.add_fields(component_report_piezo_fields(*a.values));
        else
            doc.add_paragraph(qt_from_ansi(a.refusal));
    }
    if (!in.circuit.empty())
        doc.add_fields(in.circuit);
}

} // namespace

std::vector<QStringList> component_report_cursor_rows(const LcrResults& results,
                                                      const std::vector<int>& cursors)
{
    std::vector<QStringList> rows;
    const s_lcr_layout& layout = lcr_layout(results.layout);
    for (size_t q = 0; q < layout.quantities.size(); ++q) {
        const s_lcr_quantity& k = layout.quantities[q];
        QString name = qt_display_text(k.name);
        if (*k.unit)
            name += QStringLiteral(" (") + qt_from_ansi(k.unit) + QStringLiteral(")");
        QStringList row{name};
        for (int c : cursors)
            row << engineering(results.points[size_t(c)].v[q + 1], k.readout_unit);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<report_field> component_report_piezo_fields(const s_piezo_values& v)
{
    const QString ohm = QStringLiteral("\u03A9");
    const auto e = [](double x, const QString& unit) {
        return qt_from_ansi(format_engineering(x)) + unit;
    };
    return {{QStringLiteral("R"), e(v.r, ohm)},
            {QStringLiteral("L"), e(v.l, QStringLiteral("H"))},
            {QStringLiteral("C"), e(v.c, QStringLiteral("F"))},
            {QStringLiteral("Cp"), e(v.cp, QStringLiteral("F"))},
            {QStringLiteral("Fr (series resonance)"), e(v.fr, QStringLiteral("Hz"))},
            {QStringLiteral("Fa (parallel resonance)"), e(v.fa, QStringLiteral("Hz"))},
            {QStringLiteral("Zmin"), e(v.zmin, ohm)},
            {QStringLiteral("Zmax"), e(v.zmax, ohm)}};
}

std::vector<report_field> component_report_fit_fields(const circuit_fit& fit)
{
    if (fit.elements.empty() && fit.refusal.empty())
        return {};
    const std::vector<std::string> lines = circuit_fit_lines(fit);
    std::vector<report_field> fields{{QStringLiteral("Model"), qt_from_ansi(lines.front())}};
    for (size_t i = 1; i < lines.size(); ++i) {
        const QString line =
            qt_from_ansi(lines[i]).replace(QStringLiteral("Ohm"), QStringLiteral("\u03A9"));
        const qsizetype gap = line.indexOf(QStringLiteral("  "));
        if (gap < 0 || !fit.refusal.empty())
            fields.push_back({QString(), line});
        else
            fields.push_back({line.left(gap), line.mid(gap).trimmed()});
    }
    return fields;
}

report_document component_report(const s_component_report_input& in)
{
    report_document doc(QStringLiteral("Component Report"));
    doc.set_header(in.details);
    if (!in.details.empty()) {
        doc.add_heading(QStringLiteral("Component"));
        doc.add_fields(in.details);
    }
    if (!in.instrument.empty()) {
        doc.add_heading(QStringLiteral("Instrument"));
        doc.add_fields(in.instrument);
    }
    const std::vector<int> cursors = cursors_of(in);
    doc.add_heading(QStringLiteral("Chart"));
    if (in.chart)
        doc.add_chart(in.chart, in.chart_aspect);
    else
        doc.add_chart(in.piezo ? piezo_chart(*in.results) : lcr_chart(*in.results, cursors), 1.6);
    if (!cursors.empty()) {
        QStringList columns{QStringLiteral("Quantity")};
        for (size_t i = 0; i < cursors.size(); ++i)
            columns << QStringLiteral("Cursor %1 at %2")
                           .arg(i + 1)
                           .arg(engineering(in.results->points[size_t(cursors[i])].v[0], "Hz"));
        doc.add_heading(QStringLiteral("Quantities at the cursors"));
        doc.add_table(columns, component_report_cursor_rows(*in.results, cursors));
    }
    add_circuit(doc, in);
    if (in.verdict) {
        doc.add_heading(QStringLiteral("Verdict"));
        doc.add_fields(report_fields_of(verdict_fields(*in.verdict)));
    }
    if (in.with_points) {
        QStringList columns;
        for (const std::string& h : lcr_list_headings(in.results->layout))
            columns << qt_display_text(h);
        doc.add_heading(QStringLiteral("Points"));
        doc.add_table(columns, point_rows(*in.results));
    }
    return doc;
}
