#include "lcr/ui/lcr_window.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "base/off_window.h"
#include "base/ui/control_windows.h"
#include "base/ui/display_text.h"
#include "base/ui/mode_windows.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "base/ui_status.h"
#include "lcr/circuit_curve.h"
#include "lcr/lcr_complete.h"
#include "lcr/lcr_details.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_limits.h"
#include "lcr/lcr_realtime.h"
#include "lcr/lcr_sweep.h"
#include "lcr/ui/fit_panel.h"
#include "lcr/ui/lcr_results_view.h"
#include "sweep/sweep_core.h"
#include "sweep/ui/verdict_panel.h"
#include "sweep/verdict_journal.h"

#include <QShortcut>
#include <QTreeWidget>
#include <algorithm>
#include <ctime>
#include <iterator>
#include <memory>

namespace {

const char* const LCR_WINDOW_CLASS = "QXTarvelo2LCRWClass";

lcr_export_hook g_export = nullptr;

// The LCR window posts START_SWEEP, so that the progress dialog does not
// open inside the SWEEP handler; CLEAR stops realtime readings too. Its
// sweeps are not stored in the database. Configure and the FRA, Piezo and
// Capture modes are greyed from the start of a sweep or series until CLEAR.
s_sweep_mode lcr_mode()
{
    return {.first_control = CMD_LCR_LIST,
            .busy_top_menus = {"Configure", "FRA", "Piezo", "Capture"},
            .view_commands = {CMD_LCR_VIEW_REDRAW, CMD_LCR_VIEW_NEW_SWEEP},
            .details_check = lcr_details_check_repeat,
            .rules = SWEEP_START_POSTED | SWEEP_CLEAR_STOPS_REALTIME};
}

} // namespace

void lcr_fill_list(QTreeWidget* list, const LcrResults& results)
{
    list->clear();
    QStringList headings;
    for (const std::string& h : lcr_list_headings(results.layout))
        headings << qt_display_text(h);
    list->setColumnCount(static_cast<int>(headings.size()));
    list->setHeaderLabels(headings);
    const std::vector<int> widths =
        lcr_column_widths(static_cast<int>(headings.size()), sweep_list_width(list));
    for (size_t c = 0; c < widths.size(); ++c)
        list->setColumnWidth(static_cast<int>(c), widths[c]);
    sweep_list_add_rows(list, lcr_table_rows(results));
}

void lcr_set_export_hook(lcr_export_hook hook)
{
    g_export = hook;
}

void lcr_register_windows()
{
    set_mode_window_factory(LCR_WINDOW_CLASS, make_placed_window<lcr_window>);
    set_mode_window_factory(LCR_RESULTS_VIEW_CLASS,
                            make_attached_view<lcr_window, lcr_results_view>);
}

lcr_window::lcr_window(QWidget* parent) : sweep_mode_window(parent, LCR_WINDOW_CLASS, lcr_mode())
{
    block_.worker = run_on_context<LcrSweepContext, lcr_sweep_worker>;
    block_.cancel = run_on_context<LcrSweepContext, lcr_sweep_cancel>;
    block_.context = ctx_.get();
    // At the bench Space sweeps the next part.
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), this);
    space->setContext(Qt::WindowShortcut);
    connect(space, &QShortcut::activated, this, [this] { next_part(); });
}

lcr_window::~lcr_window()
{
    shut_down();
}

lcr_results_view* lcr_window::view_window() const
{
    return static_cast<lcr_results_view*>(results_view());
}

void lcr_window::on_command(int id, intptr_t lparam)
{
    switch (id) {
    case CMD_LCR_REALTIME_READY: reading_arrived(); break;
    case CMD_LCR_REALTIME_FAILED:
        realtime_failed(lparam == LCR_REALTIME_REFUSED ? TEXT_LCR_REALTIME_UNSUPPORTED
                                                       : TEXT_REALTIME_FAILED);
        break;
    case CMD_LCR_SWEEP_COMPLETE: sweep_complete(); break;
    default: sweep_mode_window::on_command(id, lparam); break;
    }
}

void lcr_window::show_graph_controls(bool shown)
{
    if (lcr_results_view* view = view_window())
        view->show_graph_controls(shown);
}

bool lcr_window::export_available() const
{
    return g_export != nullptr;
}

void lcr_window::export_results()
{
    if (g_export)
        g_export(this, *results_, series_);
}

void lcr_window::clear_mode_results()
{
    results_->clear();
    fit_ = circuit_fit{};
    curve_->clear();
    if (lcr_results_view* view = view_window()) {
        view->results_cleared();
        view->fit()->show_fit(nullptr);
        view->set_model_curve(nullptr, {});
        view->verdict()->show_verdict(nullptr);
    }
}

const s_test_verdict* lcr_window::verdict() const
{
    const lcr_results_view* view = view_window();
    return view ? view->verdict()->shown() : nullptr;
}

void lcr_window::refit()
{
    lcr_results_view* view = view_window();
    if (!view)
        return;
    const s_fit_choice choice = view->fit()->choice();
    fit_ = circuit_fit{};
    curve_->clear();
    if (!choice.fit || results_->count == 0) {
        view->fit()->show_fit(nullptr);
        view->set_model_curve(nullptr, {});
        return;
    }
    const s_lcr_view_state& state = view->state();
    const s_point_span span =
        fit_span(results_->count, choice.between_cursors, state.cursor[0], state.cursor[1]);
    fit_ = fit_choice_off_window(choice, span_samples(lcr_impedance(*results_), span));
    circuit_curve(*results_, fit_, span, *curve_);
    view->fit()->show_fit(&fit_);
    view->set_model_curve(curve_.get(), circuit_model_name(fit_.model));
}

void lcr_window::arm_sweep()
{
    sweep_aim_context(*ctx_, this, this);
    lcr_context_arm_sweep(*ctx_);
}

// The reading and the type it was read as are taken together: a reading is
// never shown under the labels of another reply form.
void lcr_window::reading_arrived()
{
    const int type = ctx_->reading_type;
    const bool changed = lcr_realtime_accept(*ctx_, displayed_) || type != displayed_type_;
    displayed_type_ = type;
    reading_taken(changed);
}

void lcr_window::arm_realtime()
{
    // The last run's reading may have had another reply form.
    std::fill(std::begin(displayed_), std::end(displayed_), 0.0);
    displayed_type_ = LCR_READING_7_11;
    lcr_context_clear_reading(*ctx_);
    sweep_aim_context(*ctx_, realtime_owner(), this);
    ctx_->request = 1;
}

void lcr_window::run_realtime()
{
    lcr_realtime_thread(*ctx_, realtime_running_);
}

void lcr_window::sweep_complete()
{
    // The sweep file written on a worker; the window keeps its results
    // until they are whole.
    auto finished = std::make_unique<LcrResults>();
    s_lcr_outcome out;
    const std::string folder = current_app_paths().data_folder;
    const int number = series_.sweeps_done + 1;
    run_off_window("Storing the sweep\x85", [&](const std::atomic<bool>&) {
        out = lcr_complete_sweep(*ctx_, *finished, folder, number, std::time(nullptr));
        return true;
    });
    *results_ = *finished;
    if (!out.file_written)
        ui_message_box(this, lcr_file_failure_text(out), "Tarvelo2", MB_OK | MB_ICONINFORMATION);
    ui_status(sweep_kept_status(out.file_written, false, false));
    if (auto* list = qobject_cast<QTreeWidget*>(control_by_id(CMD_LCR_LIST)))
        lcr_fill_list(list, *results_);
    if (lcr_results_view* view = view_window())
        view->new_layout(results_->layout);
    sweep_counted();
    refit();
    judge();
}

// With a limit set chosen, the part is judged, shown large, counted in its
// bin and written to the bench's journal.
void lcr_window::judge()
{
    lcr_results_view* view = view_window();
    const limit_set* set = view ? view->verdict()->limits() : nullptr;
    if (!set || results_->count == 0)
        return;
    s_test_verdict verdict;
    run_off_window("Judging the part\x85", [&](const std::atomic<bool>&) {
        verdict = lcr_judge(*results_, *set);
        return true;
    });
    view->verdict()->show_verdict(&verdict);
    // The next Space sweeps the next part, wherever the focus was before
    // the sweep's dialog took it.
    view->setFocus();
    const int part = bin_tally_total(view->verdict()->tally());
    const std::string folder = current_app_paths().data_folder;
    std::string error;
    bool kept = false;
    run_off_window("Storing the verdict\x85", [&](const std::atomic<bool>&) {
        kept = verdict_journal_add(folder, part, std::time(nullptr), verdict, error);
        return true;
    });
    if (!kept)
        ui_message_box(this, error, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
}
