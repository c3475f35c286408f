#include "fra/ui/fra_view.h"

#include "base/command_ids.h"
#include "base/ui/control_windows.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "config/ui/report_instrument.h"
#include "db/db_access.h"
#include "fra/margins.h"
#include "fra/realtime.h"
#include "fra/ui/fra_report.h"
#include "fra/ui/fra_window.h"
#include "graph/bode_geometry.h"
#include "graph/ui/chart_file.h"
#include "graph/ui/chart_parts.h"
#include "graph/ui/report_printout.h"
#include "sweep/ui/verdict_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPainter>
#include <algorithm>

const char* const FRA_VIEW_CLASS = "QXTarvelo2FRAResultsWClass";

namespace {

const char* const FIT_LABEL = "8Magnitude 18";
const char* const FIT_VALUE = " -8.8888E88 Hz ";

// The largest font, from start pixels down, whose text fits the width.
QFont fit(const QString& text, int start, int width)
{
    QFont f;
    for (int px = std::max(start, 2); px > 1; --px) {
        f.setPixelSize(px);
        if (QFontMetrics(f).horizontalAdvance(text) < width)
            break;
    }
    return f;
}

const s_graph_controls FRA_GRAPH_CONTROLS{CMD_FRA_CURSOR_LEFT, true,
                                          CMD_FRA_MARGINS,     CMD_FRA_SCALING,
                                          CMD_FRA_BACKGROUND,  CMD_FRA_BACKGROUND};

// The FRA view's chart: the graph controls are anchored to the view's
// bottom, so the band they take (from the lowest to the top of the highest)
// is kept free of the plot and its labels.
s_bode_style chart_style()
{
    s_bode_style style = bode_style_fra_view();
    style.reserved_bottom = std::max(style.reserved_bottom,
                                     graph_controls_band(CMD_FRA_CURSOR_LEFT, CMD_FRA_BACKGROUND));
    return style;
}

// The limits panel's width at the chart's right.
constexpr int LIMITS_WIDTH = 220;

// Every mask line of the set, its bins' too.
std::vector<s_bode_mask> mask_lines(const limit_set& set)
{
    std::vector<s_bode_mask> out;
    const auto add = [&out](const std::vector<limit_check>& checks) {
        for (const limit_check& c : checks) {
            if (c.kind != limit_kind::mask)
                continue;
            const bool phase = c.name == "phase";
            const QString name = QString::fromStdString(c.name);
            out.push_back({phase, c.upper, name + QStringLiteral(" upper")});
            out.push_back({phase, c.lower, name + QStringLiteral(" lower")});
        }
    };
    add(set.checks);
    for (const limit_bin& b : set.bins)
        add(b.checks);
    return out;
}

} // namespace

fra_view::fra_view(QWidget* parent, fra_window* owner, int frame)
    : sweep_result_view(parent, FRA_VIEW_CLASS, frame, FRA_GRAPH_CONTROLS), owner_(owner),
      plot_(chart_style(), bode_out_of_range::clamp)
{
    verdict_ = new verdict_panel(this, "FRA", false);
    verdict_->setAutoFillBackground(true);
    verdict_->load_remembered();
    verdict_->chosen = [this] { update(); };
    set_side_panel(verdict_, LIMITS_WIDTH);
}

void fra_view::show_graph_controls(bool shown)
{
    show_side_panel(shown);
}

void fra_view::on_command(int id, intptr_t lparam)
{
    hook_controls();
    switch (id) {
    case CMD_FRA_VIEW_NEW_SWEEP: new_sweep(); break;
    case CMD_FRA_MARGINS: find_margins(); break;
    case CMD_FRA_GO_GAIN_CROSSOVER: go_to_crossover(margin_kind::zero_db); break;
    case CMD_FRA_GO_PHASE_CROSSOVER: go_to_crossover(margin_kind::zero_phase); break;
    case CMD_FRA_VIEW_REDRAW:
        if (lparam == 1)
            font_size_ = QSize();
        update();
        break;
    case CMD_FRA_CENTRE:
        if (auto* box = qobject_cast<QCheckBox*>(control_by_id(CMD_FRA_CENTRE)))
            state_.centre_zero = box->isChecked();
        // Without points there is no gain to centre: the axes stay as drawn.
        if (owner_->results().count > 0)
            fra_view_gain_range(state_, owner_->results());
        update();
        break;
    case CMD_FRA_SCALING:
    case CMD_FRA_BACKGROUND:
        if (auto* combo = qobject_cast<QComboBox*>(control_by_id(id)))
            (id == CMD_FRA_SCALING ? state_.scaling : state_.background) = combo->currentIndex();
        update();
        break;
    default: table_window::on_command(id, lparam); break;
    }
}

void fra_view::new_sweep()
{
    fra_view_new_sweep(state_, owner_->results());
    bars().place(state_.cursor, owner_->results().count);
}

void fra_view::results_cleared()
{
    hook_controls();
    bars().reset(state_.cursor);
}

void fra_view::cursor_moved(int which, int value)
{
    if (fra_view_move_cursor(state_, which, value, owner_->results().count))
        post_command(this, CMD_FRA_VIEW_REDRAW, 0);
    bars().settle(which, value, state_.cursor[which]);
}

void fra_view::go_to_crossover(margin_kind kind)
{
    if (!fra_view_go_to_crossover(state_, owner_->results(), kind)) {
        ui_message_box(this, margin_none_text(kind), "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return;
    }
    bars().place(state_.cursor, owner_->results().count);
    update();
}

void fra_view::find_margins()
{
    const FraResults& r = owner_->results();
    for (margin_kind kind : {margin_kind::zero_db, margin_kind::zero_phase}) {
        LList<s_gain_phase_point> found = margin_search(r.points.data(), r.count, kind);
        ui_message_box(this, margin_report(found, kind), "Tarvelo2", MB_OK | MB_ICONINFORMATION);
    }
}

s_bode_inputs fra_view::chart_inputs() const
{
    const FraResults& r = owner_->results();
    s_bode_inputs in;
    in.freq = state_.freq;
    in.gain = state_.gain;
    in.phase_base = bode_phase_base(r.phase_convention);
    in.log_scaling = state_.scaling == 0;
    in.background = state_.background == 1 ? bode_background::white : bode_background::black;
    std::vector<s_bode_point> pts(static_cast<size_t>(std::clamp(r.count, 0, MAX_SWEEP_POINTS)));
    for (size_t i = 0; i < pts.size(); ++i)
        pts[i] = {r.points[i].frequency(), r.points[i].gain(), r.points[i].phase()};
    in.show_cursors = !pts.empty();
    in.series.push_back(bode_fra_series(std::move(pts)));
    in.cursor[0] = state_.cursor[0];
    in.cursor[1] = state_.cursor[1];
    if (const limit_set* set = verdict_->limits())
        in.masks = mask_lines(*set);
    return in;
}

s_bode_layout fra_view::chart_layout() const
{
    return plot_.layout(contentsRect().size() - QSize(side_room(), 0));
}

QImage fra_view::render_chart(QSize size) const
{
    return plot_.render(size, chart_inputs(), SWEEP_VIEW_BACKGROUND);
}

QImage fra_view::picture()
{
    return render_chart(chart_export_size(contentsRect().size()));
}

// The FRA test report of the last sweep as the GRAPH view scales it, with the
// details it was swept with and the instrument that swept it.
s_printout fra_view::printout()
{
    const FraResults& results = owner_->results();
    if (results.count <= 0)
        return printout_refused("The FRA mode has no sweep to print yet.");
    s_fra_report_input in;
    in.test = owner_->test_details().test;
    in.session.SessionNo = in.test.SessionNo;
    // A sweep kept out of the database, or a session since deleted, prints
    // without the session's details.
    if (in.session.SessionNo <= 0 || db_get_session(in.session) != 0)
        in.session = s_session{};
    in.points = fra_report_points(results);
    in.phase_convention = results.phase_convention;
    in.log_scaling = state_.scaling == 0;
    // The view's ranges and scaling on paper's white, without the cursors.
    s_bode_inputs chart = chart_inputs();
    chart.background = bode_background::white;
    chart.surround = Qt::white;
    chart.show_cursors = false;
    in.chart = std::move(chart);
    in.instrument = report_instrument_fields();
    if (const s_test_verdict* shown = verdict_->shown())
        in.verdict = *shown;
    return report_printout(fra_report(in));
}

bool fra_view::graph_shown() const
{
    return owner_->view() == FRA_VIEW_GRAPH;
}

void fra_view::draw_graph(QPainter& p, const QRect& area) const
{
    s_bode_inputs in = chart_inputs();
    in.readout_extend = painted_side_room();
    plot_.draw(p, area, in);
}

void fra_view::paint_readout(QPainter& p, const QRect& area)
{
    const s_instrument_caps& caps = owner_->instrument_caps();
    const int tiles = fra_tile_count(caps);
    const s_tile_grid g = fra_tile_grid(tiles, area.width(), area.height());
    const int tw = area.width() / g.columns;
    const int th = area.height() / g.rows;
    const int label_h = th / 2 - 1;
    // Fitted to the tile, which changes with the view's size and with the
    // number of tiles (a third input measured or not).
    if (font_size_ != QSize(tw, th)) {
        font_size_ = QSize(tw, th);
        label_font_ = fit(FIT_LABEL, label_h - 4, tw);
        value_font_ = fit(FIT_VALUE, th - label_h - 2 - 2, tw - 4);
    }
    const auto labels = fra_tile_labels(caps);
    const s_fra_result& r = owner_->displayed();
    for (int i = 0; i < tiles; ++i) {
        const QRect tile(area.left() + (i % g.columns) * tw, area.top() + (i / g.columns) * th, tw,
                         th);
        const QRect label(tile.left(), tile.top(), tw, label_h);
        const QRect value(tile.left() + 2, tile.top() + label_h + 2, tw - 4, th - label_h - 2);
        p.setFont(label_font_);
        chart_text(p, label, Qt::AlignCenter, qt_from_ansi(labels[static_cast<size_t>(i)]),
                   Qt::black, SWEEP_VIEW_BACKGROUND);
        p.fillRect(value, Qt::black);
        p.setFont(value_font_);
        chart_text(p, value, Qt::AlignCenter, qt_from_ansi(fra_tile_value(i, r.v[i])), Qt::yellow,
                   Qt::black);
    }
}
