#include "review/ui/compare_report.h"

#include "base/ui/qt_seams.h"
#include "db/db_access.h"
#include "fra/margins.h"
#include "fra/ui/fra_report.h"
#include "graph/ui/chart_parts.h"
#include "graph/ui/report_document.h"
#include "review/graph_compare.h"
#include "review/ui/difference_view.h"
#include "review/ui/graph_overlay.h"

#include <QPainter>
#include <memory>

namespace {

constexpr double OVERLAY_ASPECT = 1.45;
constexpr double DIFFERENCE_ASPECT = 1.9;
constexpr int LEGEND_ROW = 26; // chart pixels per test in the legend
constexpr int LEGEND_SAMPLE = 40;
constexpr int LEGEND_FONT = 14;

void append_all(LList<s_gain_phase_point>& to, const LList<s_gain_phase_point>& from)
{
    for (const auto* n = from.head; n; n = n->next)
        to.append(*n->element);
}

// The chart's model for paper: the tests, their styles and the chart's
// ranges and view as shown, no cursors, a white background, and the main
// crossings of each kind marked where a test has them.
std::shared_ptr<graph_model> paper_model(const graph_model& shown)
{
    auto m = std::make_shared<graph_model>();
    m->count = shown.count;
    m->styles = shown.styles;
    m->log_scaling = shown.log_scaling;
    m->freq_mode = shown.freq_mode;
    m->gain_mode = shown.gain_mode;
    m->freq = shown.freq;
    m->gain = shown.gain;
    m->phase_base = shown.phase_base;
    m->view = shown.view;
    m->custom_background = shown.custom_background;
    m->background = shown.background;
    m->set_background(bode_background::white);
    m->gain_cursor_shown = m->phase_cursor_shown = false;
    for (int i = 0; i < shown.count; ++i) {
        s_margin_slot& slot = m->plots[i];
        slot.test_name = shown.plots[i].test_name;
        slot.points = shown.plots[i].points;
        append_all(slot.zero_db, margin_search(slot.points, margin_kind::zero_db));
        append_all(slot.zero_phase, margin_search(slot.points, margin_kind::zero_phase));
        PlotStyle& s = m->styles[i];
        s.margins_available = !slot.zero_db.empty() || !slot.zero_phase.empty();
        s.gain_markers = !slot.zero_db.empty();
        s.phase_markers = !slot.zero_phase.empty();
        s.markers_hidden = true;
    }
    return m;
}

// One row a test: its gain and phase traces' colours and its whole name.
void paint_legend(QPainter& p, const QRectF& area, const graph_model& m)
{
    p.fillRect(area, Qt::white);
    p.setFont(chart_font(LEGEND_FONT));
    for (int i = 0; i < m.count; ++i) {
        const double y = area.top() + LEGEND_ROW * (i + 0.5);
        double x = area.left() + 4;
        for (const bool phase : {false, true}) {
            p.setPen(QPen(graph_trace_colour(m, i, phase, Qt::white), 3));
            p.drawLine(QPointF(x, y), QPointF(x + LEGEND_SAMPLE, y));
            x += LEGEND_SAMPLE + 8;
        }
        p.setPen(Qt::black);
        const QRectF text(x, y - LEGEND_ROW / 2.0, area.right() - x, LEGEND_ROW);
        p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, qt_from_ansi(m.plots[i].test_name));
    }
}

std::vector<QStringList> margin_rows(const graph_model& m)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < m.count; ++i) {
        for (QStringList row : fra_report_margin_rows(m.plots[i].points)) {
            row.prepend(qt_from_ansi(m.plots[i].test_name));
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

void add_comparison(report_document& doc, const std::shared_ptr<const graph_model>& m)
{
    auto c = std::make_shared<const s_graph_comparison>(graph_compare_with_reference(*m));
    doc.add_heading(QStringLiteral("Comparison with the reference"));
    doc.add_fields({{QStringLiteral("Reference"), qt_from_ansi(c->reference)}});
    QStringList columns;
    for (const std::string& name : winding_table_columns())
        columns << qt_from_ansi(name);
    std::vector<QStringList> rows;
    for (const s_winding_row& row : c->rows) {
        QStringList cells;
        for (const std::string& cell : winding_table_cells(row, false))
            cells << qt_from_ansi(cell);
        rows.push_back(cells);
    }
    doc.add_table(columns, std::move(rows));
    doc.add_paragraph(QStringLiteral("The judgement is indicative: it rests on the correlation "
                                     "of the gain curves in three bands."));
    doc.add_heading(QStringLiteral("Difference view"));
    doc.add_chart([m, c](QPainter& p,
                         const QRectF& r) { graph_paint_difference(p, r.toRect(), *m, *c, true); },
                  DIFFERENCE_ASPECT);
}

} // namespace

std::vector<report_field> compare_report_details(int64_t reference_test_no)
{
    s_test test;
    if (db_get_test(test, reference_test_no, false) != 0 || test.TestNo != reference_test_no)
        return {};
    s_session session;
    session.SessionNo = test.SessionNo;
    if (db_get_session(session) != 0)
        return {};
    return fra_report_details(session, test);
}

report_document compare_report(const graph_model& model, std::vector<report_field> details)
{
    const std::shared_ptr<const graph_model> m = paper_model(model);
    report_document doc(QStringLiteral("Stored-test comparison"));
    doc.set_header(std::move(details));
    doc.add_heading(QStringLiteral("Tests"));
    doc.add_chart([m](QPainter& p, const QRectF& r) { graph_paint(p, r.toRect(), *m, true); },
                  OVERLAY_ASPECT);
    doc.add_chart([m](QPainter& p, const QRectF& r) { paint_legend(p, r, *m); },
                  REPORT_CHART_WIDTH / (LEGEND_ROW * std::max(1, m->count)));
    doc.add_heading(QStringLiteral("Margins"));
    doc.add_table({QStringLiteral("Test"), QStringLiteral("Margin"), QStringLiteral("Value"),
                   QStringLiteral("Frequency")},
                  margin_rows(*m));
    if (graph_can_compare(*m))
        add_comparison(doc, m);
    return doc;
}
