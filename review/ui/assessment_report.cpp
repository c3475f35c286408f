#include "review/ui/assessment_report.h"

#include "base/ui/qt_seams.h"
#include "graph/ui/report_document.h"
#include "review/assessment_text.h"
#include "review/graph_compare.h"
#include "review/ui/difference_view.h"
#include "review/ui/graph_overlay.h"

#include <QPainter>
#include <memory>

namespace {

// A measurement's charts and tables fit the page it starts.
constexpr double OVERLAY_ASPECT = 2.5;
constexpr double DIFFERENCE_ASPECT = 3.3;
// The Difference view draws the pairs of phases from this chart slot on, in
// colours of their own (orange, indigo, turquoise) apart from the phases'.
constexpr int PAIR_SLOT = 3;
constexpr int PAIR_COLOURS[] = {8, 15, 16};

QStringList cells_of(const std::vector<std::string>& cells)
{
    QStringList out;
    for (const std::string& cell : cells)
        out << qt_from_ansi(cell);
    return out;
}

QString date_of(const s_session& session)
{
    return session.year > 0
               ? QStringLiteral("%1/%2/%3").arg(session.day).arg(session.month).arg(session.year)
               : QString();
}

// A reference session as the unit's fields name it: its name and date, or
// "none" when it is not used.
QString reference_of(const s_assessment_unit& reference)
{
    if (reference.session.SessionNo <= 0)
        return QStringLiteral("none");
    const QString date = date_of(reference.session);
    return qt_from_ansi(reference.session.Name) +
           (date.isEmpty() ? QString() : QStringLiteral(" (") + date + QStringLiteral(")"));
}

std::vector<report_field> page_head(const s_assessment_inputs& in)
{
    const s_session& s = in.unit.session;
    return {{QStringLiteral("Contract"), qt_from_ansi(s.Name)},
            {QStringLiteral("Unit"), qt_from_ansi(s.Unit)},
            {QStringLiteral("Location"), qt_from_ansi(s.Location)},
            {QStringLiteral("Date"), date_of(s)},
            {QStringLiteral("Vector group"), qt_from_ansi(in.transformer.vector_group)},
            {QStringLiteral("Tap"), qt_from_ansi(in.transformer.tap)}};
}

std::vector<report_field> unit_fields(const s_assessment_inputs& in)
{
    std::vector<report_field> fields = page_head(in);
    fields.insert(fields.begin() + 4,
                  {QStringLiteral("Performed by"), qt_from_ansi(in.unit.session.PerformedBy)});
    fields.push_back({QStringLiteral("Fingerprint"), reference_of(in.fingerprint)});
    fields.push_back({QStringLiteral("Sister unit"), reference_of(in.sister)});
    return fields;
}

void add_plan(report_document& doc, const std::vector<s_plan_step>& plan)
{
    std::vector<QStringList> rows;
    for (const s_plan_step& step : plan)
        rows.push_back({qt_from_ansi(step.name), qt_from_ansi(step.winding),
                        qt_from_ansi(plan_step_text(step))});
    doc.add_heading(QStringLiteral("Test plan"));
    doc.add_table(
        {QStringLiteral("Measurement"), QStringLiteral("Winding"), QStringLiteral("Connections")},
        std::move(rows));
}

void add_summary(report_document& doc, const s_assessment_inputs& in)
{
    std::vector<QStringList> rows;
    for (size_t i : assessment_worst_first(in.assessment))
        rows.push_back(cells_of(assessment_summary_cells(in.assessment.comparisons[i])));
    doc.add_heading(QStringLiteral("Summary"));
    if (rows.empty())
        doc.add_paragraph(QStringLiteral("No comparison could be made."));
    else
        doc.add_table(cells_of(assessment_summary_columns()), std::move(rows));
    doc.add_paragraph(qt_from_ansi(assessment_suspect_text(in.assessment, in.plan)));
    doc.add_paragraph(QString::fromLatin1(assessment_symmetry_note()));
    const std::string missing = assessment_missing_text(in.assessment);
    if (!missing.empty())
        doc.add_paragraph(qt_from_ansi(missing));
    doc.add_paragraph(QStringLiteral("The judgements are indicative: they rest on the "
                                     "correlation of the gain curves in three bands."));
}

std::vector<s_margin_sample> points_of(const s_measured& test)
{
    std::vector<s_margin_sample> points;
    points.reserve(test.curve.size());
    for (const s_gain_sample& s : test.curve)
        points.push_back({s.frequency, s.gain, 0});
    return points;
}

// A chart of gain curves for paper: white, no cursors, the phase traces
// (which a stored assessment does not compare) left out.
std::shared_ptr<graph_model> paper_model(const std::vector<const s_measured*>& tests,
                                         const std::vector<std::string>& names)
{
    auto m = std::make_shared<graph_model>();
    for (size_t i = 0; i < tests.size(); ++i)
        m->add(names[i], points_of(*tests[i]));
    for (PlotStyle& style : m->styles)
        style.phase_visible = false;
    for (int i = 0; i < 3; ++i)
        m->styles[size_t(PAIR_SLOT + i)].gain_colour = PAIR_COLOURS[i];
    m->auto_freq_range();
    m->auto_gain_range();
    m->set_background(bode_background::white);
    m->gain_cursor_shown = m->phase_cursor_shown = false;
    return m;
}

// A curve's or a difference's name on the charts (short, as the legend's
// cells are): "Fingerprint", "Sister", or the pair of phases "A-B".
std::string label_of(const s_assessment_comparison& c)
{
    switch (c.basis) {
    case assessment_basis::time_based: return "Fingerprint";
    case assessment_basis::type_based: return "Sister";
    case assessment_basis::phase_symmetry: break;
    }
    return c.pair;
}

std::vector<const s_assessment_comparison*>
comparisons_of(const s_assessment& a, const std::string& measurement, bool symmetry)
{
    std::vector<const s_assessment_comparison*> out;
    for (const s_assessment_comparison& c : a.comparisons)
        if (c.measurement == measurement &&
            (c.basis == assessment_basis::phase_symmetry) == symmetry)
            out.push_back(&c);
    return out;
}

// The overlay with its caption below, the Difference view of the
// comparisons (each in the colour of the chart slot given) and their
// indicator tables.
void add_charts(report_document& doc, const std::shared_ptr<const graph_model>& m,
                const std::string& caption,
                const std::vector<const s_assessment_comparison*>& comparisons,
                const std::vector<int>& places, const std::string& legend)
{
    doc.add_chart([m](QPainter& p, const QRectF& r) { graph_paint(p, r.toRect(), *m, true); },
                  OVERLAY_ASPECT);
    doc.add_paragraph(qt_from_ansi(caption));
    if (comparisons.empty())
        return;
    auto c = std::make_shared<s_graph_comparison>();
    for (size_t i = 0; i < comparisons.size(); ++i) {
        c->rows.push_back({label_of(*comparisons[i]), comparisons[i]->result});
        c->chart_slots.push_back(places[i]);
    }
    doc.add_chart(
        [m, c, legend](QPainter& p, const QRectF& r) {
            graph_paint_difference(p, r.toRect(), *m, *c, true, legend);
        },
        DIFFERENCE_ASPECT);
    for (const s_assessment_comparison* comparison : comparisons) {
        std::vector<QStringList> rows;
        for (const std::vector<std::string>& row : assessment_indicator_rows(*comparison))
            rows.push_back(cells_of(row));
        doc.add_paragraph(qt_from_ansi(assessment_heading_text(*comparison)));
        doc.add_table(cells_of(assessment_indicator_columns()), std::move(rows));
    }
}

// One measurement: the unit's curve with the fingerprint's and the
// sister's of the same measurement, and the comparisons against them.
void add_measurement(report_document& doc, const s_assessment_inputs& in, const s_plan_step& step)
{
    const s_measured* unit = assessment_find_test(in.unit.tests, step.name);
    if (!unit)
        return;
    std::vector<const s_measured*> tests{unit};
    std::vector<std::string> names{"Unit"};
    std::vector<int> places;
    std::vector<const s_assessment_comparison*> comparisons;
    for (const s_assessment_comparison* c : comparisons_of(in.assessment, step.name, false)) {
        const bool time = c->basis == assessment_basis::time_based;
        if (const s_measured* reference =
                assessment_find_test((time ? in.fingerprint : in.sister).tests, step.name)) {
            comparisons.push_back(c);
            places.push_back(int(tests.size()));
            tests.push_back(reference);
            names.push_back(label_of(*c));
        }
    }
    std::string caption = plan_step_text(step);
    if (comparisons.empty())
        caption += " Neither the fingerprint nor a sister unit holds a test of this measurement.";
    doc.add_page_heading(qt_from_ansi(step.name));
    add_charts(doc, paper_model(tests, names), caption, comparisons, places, "Unit - reference:");
}

// The three phases of a group against each other.
void add_symmetry(report_document& doc, const s_assessment_inputs& in, const std::string& group)
{
    const auto comparisons = comparisons_of(in.assessment, group, true);
    if (comparisons.empty())
        return;
    std::vector<const s_measured*> tests;
    std::vector<std::string> names;
    std::string caption;
    for (const s_plan_step& step : in.plan)
        if (step.group == group)
            if (const s_measured* t = assessment_find_test(in.unit.tests, step.name)) {
                tests.push_back(t);
                names.push_back(std::string("Phase ") + step.phase);
                caption += names.back() + ": " + step.name + ". ";
            }
    std::vector<int> places;
    for (size_t i = 0; i < comparisons.size(); ++i)
        places.push_back(PAIR_SLOT + int(i));
    doc.add_page_heading(QStringLiteral("Phase symmetry: ") + qt_from_ansi(group));
    add_charts(doc, paper_model(tests, names), caption, comparisons, places,
               "Second phase - first:");
}

void add_measurements(report_document& doc, const s_assessment_inputs& in)
{
    for (size_t i = 0; i < in.plan.size(); ++i) {
        add_measurement(doc, in, in.plan[i]);
        if (i + 1 == in.plan.size() || in.plan[i + 1].group != in.plan[i].group)
            add_symmetry(doc, in, in.plan[i].group);
    }
}

} // namespace

report_document assessment_report(const s_assessment_inputs& inputs, const s_assessment_text& text)
{
    report_document doc(QStringLiteral("Transformer Assessment"));
    doc.set_header(page_head(inputs));
    doc.add_heading(QStringLiteral("Unit"));
    doc.add_fields(unit_fields(inputs));
    add_plan(doc, inputs.plan);
    add_summary(doc, inputs);
    add_measurements(doc, inputs);
    doc.add_heading(QStringLiteral("Conclusion"));
    doc.add_paragraph(text.conclusion.isEmpty() ? QStringLiteral("(none given)") : text.conclusion);
    doc.add_fields({{QStringLiteral("Assessed by"), text.assessed_by}});
    return doc;
}
