#include "lcr/ui/piezo_window.h"

#include "base/command_ids.h"
#include "base/number_format.h"
#include "base/ui/control_windows.h"
#include "base/ui/mode_window_parts.h"
#include "base/ui/mode_windows.h"
#include "base/ui/progress_dialog.h"
#include "base/ui/qt_seams.h"
#include "base/ui/remembered_folder.h"
#include "base/ui/shell_window.h"
#include "base/ui_seam.h"
#include "base/ui_status.h"
#include "config/ui/report_instrument.h"
#include "graph/ui/chart_file.h"
#include "graph/ui/report_printout.h"
#include "lcr/circuit_curve.h"
#include "lcr/lcr_sweep.h"
#include "lcr/piezo_import.h"
#include "lcr/piezo_view.h"
#include "lcr/ui/component_report.h"
#include "lcr/ui/fit_panel.h"
#include "lcr/ui/lcr_export_ui.h"
#include "sweep/sweep_core.h"
#include "sweep/ui/sweep_aim.h"

#include <QCheckBox>
#include <QPainter>
#include <ctime>

namespace {

constexpr const char* IMPORT_FOLDER_NAME = "PiezoImport";

const char* const PIEZO_WINDOW_CLASS = "QXTarvelo2PiezoWClass";
const QString BOX_STYLE = QStringLiteral("background: black; color: yellow;");
// The equivalent-circuit panel below the four values.
const QRect FIT_PANEL_PLACE{6, 350, 260, 0};

// The graph under the controls, over the whole client area.
class piezo_canvas : public QWidget {
public:
    piezo_canvas(QWidget* parent, const s_piezo_plot_inputs& in) : QWidget(parent), in_(in) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        PiezoPlot().draw(p, rect(), in_);
    }

private:
    const s_piezo_plot_inputs& in_;
};

QCheckBox* log_box()
{
    return qobject_cast<QCheckBox*>(control_by_id(CMD_PIEZO_LOG_IMPEDANCE));
}

} // namespace

void piezo_register_windows()
{
    set_mode_window_factory(PIEZO_WINDOW_CLASS, make_placed_window<piezo_window>);
}

piezo_window::piezo_window(QWidget* parent) : table_window(parent, PIEZO_WINDOW_CLASS, 2)
{
    plot_.results = results_.get();
    canvas_ = new piezo_canvas(client(), plot_);
    canvas_->lower();
    fit_panel_ = new fit_panel(client(), false, circuit_model::resonator);
    fit_panel_->setGeometry(FIT_PANEL_PLACE.adjusted(0, 0, 0, fit_panel::needed_height()));
    fit_panel_->changed = [this] {
        refit();
        canvas_->update();
    };
}

// The table's controls exist once the window is shown: the result boxes
// and their labels read yellow on black.
void piezo_window::showEvent(QShowEvent* event)
{
    table_window::showEvent(event);
    for (const int id : {CMD_PIEZO_R, CMD_PIEZO_C, CMD_PIEZO_CP, CMD_PIEZO_L})
        for (const int box : {id, id - 1})
            if (QWidget* w = control_by_id(box))
                w->setStyleSheet(BOX_STYLE);
    if (QCheckBox* log = log_box()) {
        log->setChecked(plot_.log_impedance);
        log->setAutoFillBackground(true);
    }
    canvas_->setGeometry(client()->rect());
}

void piezo_window::resizeEvent(QResizeEvent* event)
{
    table_window::resizeEvent(event);
    canvas_->setGeometry(client()->rect());
}

void piezo_window::on_command(int id, intptr_t lparam)
{
    if (id == CMD_PIEZO_START)
        start_or_clear();
    else if (id == CMD_PIEZO_IMPORT)
        held_ ? export_report() : import_file();
    else if (id == CMD_LCR_SWEEP_COMPLETE) {
        ui_status(sweep_outcome_status(sweep_outcome::done));
        analyse(ctx_->sweep);
    } else if (id == CMD_SWEEP_ENDED)
        sweep_ended(static_cast<sweep_outcome>(lparam));
    else if (id >= CMD_PIEZO_Z_TICKS_2 && id <= CMD_PIEZO_Z_TICKS_0)
        plot_.impedance_ticks = CMD_PIEZO_Z_TICKS_0 - id;
    else if (id >= CMD_PIEZO_PHASE_TICKS_2 && id <= CMD_PIEZO_PHASE_TICKS_0)
        plot_.phase_ticks = CMD_PIEZO_PHASE_TICKS_0 - id;
    else if (id == CMD_PIEZO_LOG_IMPEDANCE)
        plot_.log_impedance = log_box() && log_box()->isChecked();
    else
        table_window::on_command(id, lparam);
    canvas_->setGeometry(client()->rect());
    canvas_->update();
}

void piezo_window::start_or_clear()
{
    if (held_)
        clear();
    else
        start_sweep();
}

void piezo_window::start_sweep()
{
    // The dialog starts its worker a second after it opens: the block alone
    // does not show a dialog that is open but not yet running.
    if (sweeping_ || progress_block_busy(block_))
        return;
    held_ = true;
    results_->clear();
    values_.reset();
    show_values(nullptr);
    sweep_aim_context(*ctx_, this, this);
    lcr_context_arm_sweep(*ctx_);
    block_.title = SWEEP_TEXT_PERFORMING;
    block_.worker = run_on_context<PiezoSweepContext, piezo_sweep_worker>;
    block_.cancel = run_on_context<PiezoSweepContext, lcr_sweep_cancel>;
    block_.context = ctx_.get();
    set_button_texts();
    set_menus(false);
    sweeping_ = true;
    request_main_refresh(*this);
    run_progress_dialog(this, block_);
    sweeping_ = false;
    request_main_refresh(*this);
}

void piezo_window::clear()
{
    progress_wait_idle(block_);
    empty();
}

// A sweep that ended without its points leaves nothing to hold: the window
// is empty again at once, as after Clear (a worker still finishing a cancel
// writes only its own block). The sweep has said every ending but a cancel.
void piezo_window::sweep_ended(sweep_outcome outcome)
{
    if (outcome == sweep_outcome::done || !held_)
        return;
    ui_status(sweep_outcome_status(outcome));
    empty();
    if (outcome == sweep_outcome::cancelled)
        ui_message_box(this, SWEEP_TEXT_CANCELLED, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
}

void piezo_window::empty()
{
    held_ = false;
    values_.reset();
    results_->clear();
    plot_.impedance = {1, 100};
    show_values(nullptr);
    refit();
    set_button_texts();
    set_menus(true);
    request_main_refresh(*this);
}

void piezo_window::set_menus(bool enabled)
{
    // Configure, Display and the FRA, LCR and Capture modes are greyed from
    // a sweep until Clear.
    if (shell_window* shell = shell_of(this))
        shell->set_top_menus_enabled({"Configure", "Display", "FRA", "LCR", "Capture"}, enabled);
}

void piezo_window::import_file()
{
    ui_file_request request;
    request.caption = "Import";
    request.filters = "TEXT Files *.txt (*.txt)";
    request.default_suffix = "Text";
    request.start = remembered_folder(IMPORT_FOLDER_NAME);
    ui_file_choice choice;
    if (!ui_choose_file(this, request, choice))
        return;
    remember_folder_of(IMPORT_FOLDER_NAME, choice.path);
    auto read = std::make_unique<LcrResults>();
    std::string message;
    const s_piezo_import got = piezo_import_file(choice.path, *read, message);
    if (!message.empty())
        ui_message_box(this, message, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
    if (got.points == 0)
        return;
    held_ = true;
    set_button_texts();
    analyse(*read);
}

// The sweep or the import is kept whatever the analysis says; a refusal
// leaves the boxes empty.
void piezo_window::analyse(const LcrResults& source)
{
    *results_ = source;
    stamp_ = piezo_stamp(std::time(nullptr));
    plot_.phase_convention = results_->phase_convention;
    plot_.freq = piezo_freq_range(*results_, plot_.freq);
    plot_.impedance = piezo_impedance_range(*results_, plot_.impedance);
    const s_piezo_analysis a = piezo_analyse(*results_);
    values_ = a.values;
    show_values(a.values ? &*a.values : nullptr);
    refit();
    set_button_texts();
    if (!a.values)
        ui_message_box(this, a.refusal, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
}

void piezo_window::show_values(const s_piezo_values* v)
{
    // The engineering form ends in its prefix ("4.7000 m"); the unit follows.
    const auto text = [v](double x, const QString& unit) {
        return v ? qt_from_ansi(format_engineering(x)) + unit : QString();
    };
    set_control_text(CMD_PIEZO_R, text(v ? v->r : 0, QStringLiteral("\u03A9")));
    set_control_text(CMD_PIEZO_C, text(v ? v->c : 0, QStringLiteral("F")));
    set_control_text(CMD_PIEZO_CP, text(v ? v->cp : 0, QStringLiteral("F")));
    set_control_text(CMD_PIEZO_L, text(v ? v->l : 0, QStringLiteral("H")));
}

// The panel's model over the whole sweep, its curve laid over the graph.
void piezo_window::refit()
{
    fit_ = circuit_fit{};
    curve_->clear();
    plot_.model = nullptr;
    const s_fit_choice choice = fit_panel_->choice();
    if (!choice.fit || results_->count == 0) {
        fit_panel_->show_fit(nullptr);
        return;
    }
    const s_point_span span = fit_span(results_->count, false, 0, 0);
    fit_ = fit_choice_off_window(choice, span_samples(lcr_impedance(*results_), span));
    circuit_curve(*results_, fit_, span, *curve_);
    fit_panel_->show_fit(&fit_);
    plot_.model = curve_.get();
    plot_.model_name = circuit_model_name(fit_.model);
}

void piezo_window::set_button_texts()
{
    set_control_text(CMD_PIEZO_START,
                     held_ ? QStringLiteral("Clear") : QStringLiteral("Start Sweep"));
    set_control_text(CMD_PIEZO_IMPORT, held_ ? QStringLiteral("Export") : QStringLiteral("Import"));
}

void piezo_window::export_report()
{
    s_piezo_report_input input;
    input.results = results_.get();
    input.values = values_ ? &*values_ : nullptr;
    input.stamp = stamp_;
    input.pictures_folder = piezo_pictures_folder().toStdString();
    piezo_export_from_window(this, input, plot_);
}

QImage piezo_window::picture()
{
    return PiezoPlot().render(chart_export_size(client()->size()), plot_);
}

std::function<void(QPainter&, const QRect&)> piezo_window::picture_painter()
{
    return [this](QPainter& p, const QRect& r) { PiezoPlot().paint(p, r, plot_); };
}

// The component report of the resonator: the chart as the window draws it,
// on paper's white, and the analysis the boxes show.
s_printout piezo_window::printout()
{
    if (!held_ || results_->count <= 0)
        return printout_refused("The Piezo mode has no sweep to print yet.");
    auto kept = std::make_shared<const LcrResults>(*results_);
    s_piezo_plot_inputs chart = plot_;
    chart.results = kept.get();
    chart.white_background = true;
    chart.surround = Qt::white;
    chart.left_reserve = 0;
    s_component_report_input in;
    in.results = kept.get();
    in.piezo = true;
    in.chart = [chart](QPainter& p, const QRectF& r) { PiezoPlot().paint(p, r.toRect(), chart); };
    in.instrument = report_instrument_fields();
    in.circuit = component_report_fit_fields(fit_);
    return report_printout(component_report(in), kept);
}
