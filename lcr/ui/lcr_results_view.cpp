#include "lcr/ui/lcr_results_view.h"

#include "base/command_ids.h"
#include "base/control_table.h"
#include "base/ui/control_windows.h"
#include "base/ui/display_text.h"
#include "base/ui/fit_font.h"
#include "base/ui/qt_seams.h"
#include "config/ui/report_instrument.h"
#include "graph/ui/chart_file.h"
#include "graph/ui/chart_parts.h"
#include "graph/ui/report_printout.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_realtime.h"
#include "lcr/ui/component_report.h"
#include "lcr/ui/fit_panel.h"
#include "lcr/ui/lcr_window.h"
#include "sweep/ui/verdict_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

const char* const LCR_RESULTS_VIEW_CLASS = "QXTarvelo2LCRResultsWClass";

namespace {

const QString FIT_LABEL = QStringLiteral("8Magnitude 18");
const QString FIT_VALUE = QStringLiteral(" -8.8888E88 Hz ");
const QString OHM = QString(QChar(0x03A9));
// The drawn ohm sign's room at the right of a value: wider for the
// 11-value reading's larger cells.
constexpr int OHM_ROOM_14 = 50;
constexpr int OHM_ROOM_11 = 70;
// The bench panels' column at the graph's right.
constexpr int SIDE_WIDTH = 262;

const s_graph_controls LCR_GRAPH_CONTROLS{CMD_LCR_CURSOR_LEFT,   false,
                                          CMD_LCR_LEFT_QUANTITY, CMD_LCR_SCALING,
                                          CMD_LCR_BACKGROUND,    CMD_LCR_RIGHT_LOG};

QComboBox* combo(int id)
{
    return qobject_cast<QComboBox*>(control_by_id(id));
}

} // namespace

int lcr_plot_height_with_settings(bool settings_hidden)
{
    const s_control& area = control_table(TABLE_LCR)[0];
    const int client =
        area.cur_height - 2 * control_frame(area) - (settings_hidden ? layout_settings_freed() : 0);
    const int band = graph_controls_band(CMD_LCR_CURSOR_LEFT, CMD_LCR_RIGHT_LOG);
    return lcr_plot_area(area.cur_width, client, band, false).height();
}

lcr_results_view::lcr_results_view(QWidget* parent, lcr_window* owner, int frame)
    : sweep_result_view(parent, LCR_RESULTS_VIEW_CLASS, frame, LCR_GRAPH_CONTROLS), owner_(owner)
{
    auto* side = new QWidget(this);
    side->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(side);
    column->setContentsMargins(0, 0, 0, 0);
    fit_ = new fit_panel(side, true, std::nullopt);
    fit_->setFixedHeight(fit_panel::needed_height());
    verdict_ = new verdict_panel(side, "LCR", true);
    column->addWidget(fit_);
    column->addWidget(verdict_, 1);
    if (owner_)
        fit_->changed = [this] { owner_->refit(); };
    // Space, the next part's sweep, must not land in a field of the panel.
    verdict_->chosen = [this] { setFocus(); };
    verdict_->load_remembered();
    set_side_panel(side, SIDE_WIDTH);
}

void lcr_results_view::set_model_curve(const LcrResults* curve, const std::string& name)
{
    model_ = curve;
    model_name_ = name;
    update();
}

void lcr_results_view::controls_hooked()
{
    new_layout(0);
    bars().place(state_.cursor, 0);
}

void lcr_results_view::on_command(int id, intptr_t lparam)
{
    hook_controls();
    switch (id) {
    case CMD_LCR_VIEW_REDRAW:
        if (lparam == 1)
            cell_size_ = QSize();
        update();
        break;
    case CMD_LCR_VIEW_NEW_SWEEP: new_sweep(); break;
    case CMD_LCR_LEFT_QUANTITY:
    case CMD_LCR_RIGHT_QUANTITY: quantity_changed(id - CMD_LCR_LEFT_QUANTITY); break;
    case CMD_LCR_LEFT_LOG:
    case CMD_LCR_RIGHT_LOG: log_changed(id - CMD_LCR_LEFT_LOG); break;
    case CMD_LCR_SCALING:
    case CMD_LCR_BACKGROUND:
        if (QComboBox* c = combo(id))
            (id == CMD_LCR_SCALING ? state_.scaling : state_.background) = c->currentIndex();
        update();
        break;
    default: table_window::on_command(id, lparam); break;
    }
}

void lcr_results_view::new_layout(int layout)
{
    const std::vector<std::string> items = lcr_box_items(layout);
    // The user's choices stay while the sweeps keep their layout.
    const bool kept = layout == layout_ && state_.item[0] < static_cast<int>(items.size()) &&
                      state_.item[1] < static_cast<int>(items.size());
    layout_ = layout;
    if (!kept)
        lcr_view_reset_quantities(state_, layout);
    fill_box(CMD_LCR_LEFT_QUANTITY, items, state_.item[0]);
    fill_box(CMD_LCR_RIGHT_QUANTITY, items, state_.item[1]);
    show_log_choices();
}

// The Log Scale boxes show each axis' scaling without telling the view.
void lcr_results_view::show_log_choices()
{
    for (int side = 0; side < 2; ++side)
        if (QCheckBox* box = qobject_cast<QCheckBox*>(control_by_id(CMD_LCR_LEFT_LOG + side))) {
            const QSignalBlocker block(box);
            box->setChecked(state_.log[side]);
        }
}

void lcr_results_view::log_changed(int side)
{
    if (QCheckBox* box = qobject_cast<QCheckBox*>(control_by_id(CMD_LCR_LEFT_LOG + side)))
        state_.log[side] = box->isChecked();
    lcr_view_set_quantity(state_, owner_->results(), side, state_.item[side]);
    update();
}

void lcr_results_view::new_sweep()
{
    lcr_view_new_sweep(state_, owner_->results());
    bars().place(state_.cursor, owner_->results().count);
    update();
}

void lcr_results_view::quantity_changed(int side)
{
    if (QComboBox* c = combo(CMD_LCR_LEFT_QUANTITY + side))
        lcr_view_set_quantity(state_, owner_->results(), side, std::max(c->currentIndex(), 0));
    show_log_choices();
    update();
}

void lcr_results_view::results_cleared()
{
    hook_controls();
    bars().reset(state_.cursor);
}

void lcr_results_view::show_graph_controls(bool shown)
{
    hook_controls();
    graph_controls_ = shown;
    for (int id = CMD_LCR_CURSOR_LEFT; id <= CMD_LCR_RIGHT_LOG; ++id)
        set_control_visible(id, shown);
    show_side_panel(shown);
}

void lcr_results_view::cursor_moved(int which, int value)
{
    if (lcr_view_move_cursor(state_, which, value, owner_->results().count)) {
        post_command(this, CMD_LCR_VIEW_REDRAW, 0);
        if (fit_->choice().between_cursors)
            owner_->refit();
    }
    bars().settle(which, value, state_.cursor[which]);
}

int lcr_results_view::strip_height() const
{
    return graph_controls_ ? controls_band() : 0;
}

s_lcr_plot_inputs lcr_results_view::graph_inputs() const
{
    s_lcr_plot_inputs in;
    in.results = &owner_->results();
    in.left_position = state_.item[0] + 1;
    in.right_position = state_.item[1] + 1;
    const std::vector<std::string> items = lcr_box_items(layout_);
    // A logarithmic axis without a positive value to show is drawn linear, and says so.
    const auto title = [&](int side, const s_value_range& range) {
        const int item = state_.item[side];
        const std::string name =
            item >= 0 && item < static_cast<int>(items.size()) ? items[item] : std::string();
        const bool fell_back = state_.log[side] && !range.log && owner_->results().count > 0;
        return fell_back ? name + " - linear, none above 0" : name;
    };
    in.left_title = title(0, state_.left);
    in.right_title = title(1, state_.right);
    in.freq = state_.freq;
    in.left = state_.left;
    in.right = state_.right;
    in.log_scaling = state_.scaling == 0;
    in.background = state_.background == 1 ? bode_background::white : bode_background::black;
    in.cursor[0] = state_.cursor[0];
    in.cursor[1] = state_.cursor[1];
    in.strip_height = strip_height();
    in.model = model_;
    in.model_name = model_name_;
    return in;
}

s_plot_rect lcr_results_view::plot_area() const
{
    const QSize size = contentsRect().size();
    return lcr_plot_area(size.width() - side_room(), size.height(), strip_height(), false);
}

QImage lcr_results_view::render_graph(QSize size) const
{
    return LcrPlot().render(size, graph_inputs(), SWEEP_VIEW_BACKGROUND);
}

QImage lcr_results_view::picture()
{
    return render_graph(chart_export_size(contentsRect().size()));
}

// The component report of the last sweep: the graph as the GRAPH view
// draws it, on paper's white, and the quantities at the two cursors.
s_printout lcr_results_view::printout()
{
    if (owner_->results().count <= 0)
        return printout_refused("The LCR mode has no sweep to print yet.");
    auto kept = std::make_shared<const LcrResults>(owner_->results());
    s_lcr_plot_inputs chart = graph_inputs();
    chart.results = kept.get();
    chart.background = bode_background::white;
    chart.surround = Qt::white;
    chart.strip_height = 0;
    s_component_report_input in;
    in.results = kept.get();
    in.chart = [chart](QPainter& p, const QRectF& r) { LcrPlot().draw(p, r.toRect(), chart); };
    in.cursors = {state_.cursor[0], state_.cursor[1]};
    in.instrument = report_instrument_fields();
    in.circuit = component_report_fit_fields(owner_->fit_result());
    if (const s_test_verdict* verdict = owner_->verdict())
        in.verdict = *verdict;
    return report_printout(component_report(in), kept);
}

bool lcr_results_view::graph_shown() const
{
    return owner_->view() == LCR_VIEW_GRAPH;
}

void lcr_results_view::draw_graph(QPainter& p, const QRect& area) const
{
    LcrPlot().draw(p, area, graph_inputs());
}

// The ohm sign at the left of its room; the admittance's carries a raised
// "-1" in a smaller size.
void lcr_results_view::draw_ohm(QPainter& p, const QRect& room, bool inverse) const
{
    p.setFont(ohm_font_);
    const QFontMetrics m(ohm_font_);
    const int top = room.top() + (room.height() - m.height()) / 2;
    const int advance = m.horizontalAdvance(OHM);
    chart_text(p, QRect(room.left(), top, advance, m.height()), Qt::AlignLeft | Qt::AlignTop, OHM,
               Qt::yellow, Qt::black);
    if (!inverse)
        return;
    QFont small = ohm_font_;
    small.setPixelSize(std::max(QFontInfo(ohm_font_).pixelSize() / 2, 1));
    p.setFont(small);
    const QFontMetrics s(small);
    const QString power = QStringLiteral("-1");
    chart_text(p, QRect(room.left() + advance, top, s.horizontalAdvance(power), s.height()),
               Qt::AlignLeft | Qt::AlignTop, power, Qt::yellow, Qt::black);
}

void lcr_results_view::fit_cell_fonts(const QRect& cell, int values)
{
    const QSize key(cell.width() * 100 + values, cell.height());
    if (key == cell_size_)
        return;
    cell_size_ = key;
    const int label_h = cell.height() / 2 - 1;
    label_font_ =
        fit_font(this, nullptr, FIT_LABEL, QRect(0, 0, cell.width(), label_h - 4), 0, false);
    const QRect value(0, 0, cell.width() - 4, cell.height() - label_h - 4);
    value_font_ = fit_font(this, nullptr, FIT_VALUE, value, 0, false);
    ohm_font_ = value_font_;
    ohm_font_.setWeight(QFont::Black);
}

void lcr_results_view::paint_readout(QPainter& p, const QRect& area)
{
    const int type = owner_->reading_type();
    const int n = lcr_reading_count(type);
    const s_tile_grid g = lcr_cell_grid(n);
    const int cw = area.width() / g.columns;
    const int ch = area.height() / g.rows;
    const int label_h = ch / 2 - 1;
    fit_cell_fonts(QRect(0, 0, cw, ch), n);
    const auto labels = lcr_reading_labels(type);
    const int ohm_room = std::min(n == 14 ? OHM_ROOM_14 : OHM_ROOM_11, cw / 4);
    for (int i = 0; i < n; ++i) {
        const QRect cell(area.left() + (i % g.columns) * cw, area.top() + (i / g.columns) * ch, cw,
                         ch);
        const QRect label(cell.left(), cell.top(), cw, label_h);
        QRect value(cell.left() + 2, cell.top() + label_h + 2, cw - 4, ch - label_h - 2);
        p.setFont(label_font_);
        chart_text(p, label, Qt::AlignCenter, qt_display_text(labels[static_cast<size_t>(i)]),
                   Qt::black, SWEEP_VIEW_BACKGROUND);
        p.fillRect(value, Qt::black);
        const s_lcr_cell_unit unit = lcr_reading_unit(type, i);
        if (unit.kind != lcr_unit_kind::text) {
            const QRect sign(value.right() + 1 - ohm_room, value.top(), ohm_room, value.height());
            draw_ohm(p, sign, unit.kind == lcr_unit_kind::inverse_ohm);
            value.setRight(sign.left() - 1);
        }
        p.setFont(value_font_);
        chart_text(p, value, Qt::AlignCenter,
                   qt_from_ansi(lcr_reading_value_text(type, i, owner_->displayed()[i])),
                   Qt::yellow, Qt::black);
    }
}
