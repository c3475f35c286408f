#include "fra/ui/fra_window.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "base/off_window.h"
#include "base/ui/control_windows.h"
#include "base/ui/mode_windows.h"
#include "base/ui/qt_seams.h"
#include "base/ui_status.h"
#include "db/db_error.h"
#include "fra/realtime.h"
#include "fra/sweep_complete.h"
#include "fra/sweep_worker.h"
#include "fra/ui/fra_export_ui.h"
#include "fra/ui/fra_view.h"
#include "sweep/sweep_core.h"
#include "sweep/ui/verdict_panel.h"

#include <QTreeWidget>
#include <ctime>
#include <memory>

namespace {

const char* const FRA_WINDOW_CLASS = "QXTarvelo2FRAWClass";

// The FRA window sends START_SWEEP, so the progress dialog runs inside the
// SWEEP handler; CLEAR leaves realtime readings alone (SWEEP is refused
// while they run); a single sweep's count stays for the export. Configure
// and the LCR, Piezo and Capture modes are greyed while it sweeps.
s_sweep_mode fra_mode()
{
    return {.first_control = CMD_FRA_LIST,
            .busy_top_menus = {"Configure", "LCR", "Piezo", "Capture"},
            .view_commands = {CMD_FRA_VIEW_REDRAW, CMD_FRA_VIEW_NEW_SWEEP},
            .rules = SWEEP_SAVES_TO_DB | SWEEP_SINGLE_COUNTS | SWEEP_REALTIME_LABELS_BY_VIEW};
}

} // namespace

void fra_register_windows()
{
    set_mode_window_factory(FRA_WINDOW_CLASS, make_placed_window<fra_window>);
    set_mode_window_factory(FRA_VIEW_CLASS, make_attached_view<fra_window, fra_view>);
}

fra_window::fra_window(QWidget* parent) : sweep_mode_window(parent, FRA_WINDOW_CLASS, fra_mode())
{
    block_.worker = run_on_context<FraSweepContext, fra_sweep_worker>;
    block_.cancel = run_on_context<FraSweepContext, fra_sweep_cancel>;
    block_.context = &ctx_;
}

fra_window::~fra_window()
{
    shut_down();
}

const s_instrument_caps& fra_window::instrument_caps() const
{
    return g_link.caps;
}

fra_view* fra_window::view_window() const
{
    return static_cast<fra_view*>(results_view());
}

void fra_window::on_command(int id, intptr_t lparam)
{
    switch (id) {
    case CMD_FRA_REALTIME_READY: reading_taken(fra_realtime_accept(ctx_, displayed_)); break;
    case CMD_FRA_REALTIME_FAILED: realtime_failed(); break;
    case CMD_FRA_SWEEP_COMPLETE: sweep_complete(); break;
    default: sweep_mode_window::on_command(id, lparam); break;
    }
}

void fra_window::show_graph_controls(bool shown)
{
    for (int id = CMD_FRA_CURSOR_LEFT; id <= CMD_FRA_BACKGROUND; ++id)
        set_control_visible(id, shown);
    if (fra_view* view = view_window())
        view->show_graph_controls(shown);
}

void fra_window::export_results()
{
    const fra_view* view = view_window();
    fra_export_from_window(this, results_, series_, details_.count,
                           view ? view->verdict()->shown() : nullptr);
}

void fra_window::clear_mode_results()
{
    results_.clear();
    if (fra_view* view = view_window()) {
        view->results_cleared();
        view->verdict()->show_verdict(nullptr);
    }
}

void fra_window::arm_sweep()
{
    sweep_aim_context(ctx_, this, this);
    fra_context_arm_sweep(ctx_);
}

void fra_window::arm_realtime()
{
    fra_context_clear(ctx_);
    sweep_aim_context(ctx_, realtime_owner(), this);
    ctx_.request = 1;
}

void fra_window::run_realtime()
{
    fra_realtime_thread(ctx_, realtime_running_);
}

void fra_window::sweep_complete()
{
    fra_view* view = view_window();
    const s_sweep_store store{current_app_paths().data_folder, series_.sweeps_done + 1,
                              series_.save_to_db ? &series_.test : nullptr, std::time(nullptr),
                              view ? view->verdict()->limits() : nullptr};
    // The file written and the test stored (which may wait for another
    // program's lock on the database) on a worker; the window keeps its
    // results until they are whole.
    auto finished = std::make_unique<FraResults>();
    s_sweep_outcome out;
    run_off_window("Storing the sweep\x85", [&](const std::atomic<bool>&) {
        out = fra_complete_sweep(ctx_, *finished, store);
        return true;
    });
    results_ = *finished;
    if (store.test && !out.stored)
        db_report_sweep_kept(out.file);
    ui_status(sweep_kept_status(out.file_written, store.test != nullptr, out.stored));
    fill_table(out.rows);
    if (view && out.verdict)
        view->verdict()->show_verdict(&*out.verdict);
    sweep_counted();
}

void fra_window::fill_table(const std::vector<std::string>& rows)
{
    auto* list = qobject_cast<QTreeWidget*>(control_by_id(CMD_FRA_LIST));
    if (!list)
        return;
    list->clear();
    list->setColumnCount(7);
    list->setHeaderLabels({"Step", "Frequency (Hz)", "Magnitude 1 (V)", "Magnitude 2 (V)",
                           "Gain (dB)", qt_from_ansi("Phase (\xB0)"), "Delay (s)"});
    // A narrow step column; the others share the rest, so that the list
    // needs no horizontal scroll bar.
    const int width = sweep_list_width(list);
    const int step = width / 28;
    list->setColumnWidth(0, step);
    for (int c = 1; c < 7; ++c)
        list->setColumnWidth(c, (width - step) / 6);
    sweep_list_add_rows(list, rows);
}
