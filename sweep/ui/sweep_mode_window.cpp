#include "sweep/ui/sweep_mode_window.h"

#include "base/command_ids.h"
#include "base/ui/control_windows.h"
#include "base/ui/progress_dialog.h"
#include "base/ui/qt_seams.h"
#include "base/ui/shell_window.h"
#include "base/ui_seam.h"
#include "base/ui_status.h"
#include "sweep/realtime_limits.h"
#include "sweep/sweep_core.h"

#include <QStyle>
#include <QTreeWidget>
#include <system_error>

namespace {

// Offsets of the controls from the list in every mode's table.
enum : int {
    OFFSET_VIEW_REALTIME = 2,
    OFFSET_VIEW_TABLE = 4,
    OFFSET_START = 6,
    OFFSET_SWEEP = 7,
    OFFSET_EXPORT = 9,
    OFFSET_NEXT_CAPTION = 10,
    OFFSET_COUNTDOWN = 11,
    OFFSET_SWEEP_NO = 13,
};

// Menu commands greyed while realtime readings run.
const int REALTIME_MENU_IDS[] = {CMD_CONNECTION, CMD_MODE_FRA, CMD_MODE_LCR, CMD_MODE_PIEZO,
                                 CMD_MODE_CAPTURE};
// Controls greyed while a series runs, beside EXPORT and REALTIME.
const int SERIES_MAIN_CONTROLS[] = {CMD_DATABASE, CMD_READ_HXM, CMD_SET_UP_HXM};

} // namespace

int sweep_list_width(const QTreeWidget* list)
{
    return list->width() - 2 * list->frameWidth() -
           list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
}

void sweep_list_add_rows(QTreeWidget* list, const std::vector<std::string>& rows)
{
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<int>(rows.size()));
    for (const std::string& row : rows)
        items.append(new QTreeWidgetItem(qt_from_ansi(row).split('\t')));
    list->addTopLevelItems(items);
}

sweep_mode_window::sweep_mode_window(QWidget* parent, const char* class_name,
                                     const s_sweep_mode& mode)
    : table_window(parent, class_name, 2), mode_(mode), timers_(sweep_default_timer_hooks())
{
    block_.title = SWEEP_TEXT_PERFORMING;
}

void sweep_mode_window::shut_down()
{
    realtime_running_ = 0;
    if (realtime_thread().joinable())
        realtime_thread().join();
    sweep_series_cancel_timer(series_, timers_);
    progress_wait_idle(block_);
}

bool sweep_mode_window::is_running() const
{
    return series_.running != 0 || realtime_running_ != 0;
}

void sweep_mode_window::on_command(int id, intptr_t lparam)
{
    const int offset = id - mode_.first_control;
    if (id == CMD_START_SWEEP)
        start_sweep();
    else if (id == CMD_SWEEP_ENDED)
        sweep_ended(static_cast<sweep_outcome>(lparam));
    else if (id == CMD_SET_TEXT) {
        // A countdown text still queued when the timer was cancelled is late.
        if (series_.timer_id != 0)
            set_control_text(control_id(OFFSET_COUNTDOWN),
                             qt_from_ansi(*reinterpret_cast<std::string*>(lparam)));
    } else if (offset >= OFFSET_VIEW_REALTIME && offset <= OFFSET_VIEW_TABLE)
        select_view(offset - OFFSET_VIEW_REALTIME);
    else if (offset == OFFSET_START)
        toggle_realtime();
    else if (offset == OFFSET_SWEEP)
        sweep_button();
    else if (offset == OFFSET_EXPORT)
        export_results();
    else
        table_window::on_command(id, lparam);
}

void sweep_mode_window::select_view(int view)
{
    if (view == view_)
        return;
    view_ = view;
    set_selected_font(control_id(OFFSET_VIEW_REALTIME + view), control_id(OFFSET_VIEW_REALTIME),
                      control_id(OFFSET_VIEW_TABLE));
    request_main_refresh(*this);
    if (results_view_)
        post_command(results_view_, mode_.view_commands.redraw, 1);
}

void sweep_mode_window::select_graph_view()
{
    select_view(SWEEP_VIEW_GRAPH);
}

QImage sweep_mode_window::picture()
{
    return results_view_ ? results_view_->picture() : QImage();
}

std::function<void(QPainter&, const QRect&)> sweep_mode_window::picture_painter()
{
    return results_view_ ? results_view_->picture_painter() : nullptr;
}

void sweep_mode_window::refresh_controls(bool enable, bool, bool)
{
    // enable is clear while the connection dialog is open: the window shows
    // nothing and START waits. Each button is greyed while pressing it
    // would be refused.
    set_control_enabled(control_id(OFFSET_START), enable && series_.running == 0);
    set_control_enabled(control_id(OFFSET_SWEEP),
                        enable && (realtime_running_ == 0 || sweep_allowed_under_realtime()));
    set_control_enabled(control_id(OFFSET_EXPORT),
                        export_available() && series_.button_state != SWEEP_BUTTON_CANCEL);
    if (!enable) {
        for (int id = control_id(0); id <= control_id(OFFSET_SWEEP_NO); ++id)
            set_control_visible(id, false);
        if (results_view_)
            results_view_->setVisible(false);
        return;
    }
    for (int id = control_id(1); id < control_id(OFFSET_NEXT_CAPTION); ++id)
        set_control_visible(id, true);
    const bool table = view_ == SWEEP_VIEW_TABLE;
    set_control_visible(control_id(0), table);
    if (results_view_)
        results_view_->setVisible(!table);
    show_graph_controls(view_ == SWEEP_VIEW_GRAPH);
    set_series_labels(series_set_up_ || series_.sweeps_done > 0);
}

void sweep_mode_window::set_series_labels(bool shown)
{
    for (int id = control_id(OFFSET_NEXT_CAPTION); id <= control_id(OFFSET_SWEEP_NO); ++id)
        set_control_visible(id, shown);
}

void sweep_mode_window::set_series_controls(bool enabled)
{
    set_control_enabled(control_id(OFFSET_EXPORT), enabled && export_available());
    set_control_enabled(control_id(OFFSET_VIEW_REALTIME), enabled);
    for (int id : SERIES_MAIN_CONTROLS)
        set_control_enabled(id, enabled);
}

void sweep_mode_window::set_menus(bool enabled)
{
    const char* const* m = mode_.busy_top_menus;
    if (shell_window* shell = shell_of(this))
        shell->set_top_menus_enabled({m[0], m[1], m[2], m[3]}, enabled);
}

void sweep_mode_window::set_realtime_menus(bool enabled)
{
    if (shell_window* shell = shell_of(this))
        for (int id : REALTIME_MENU_IDS)
            shell->set_menu_item_enabled(id, enabled);
}

// One exchange with the instrument at a time: no sweep under realtime. A
// series cannot run under realtime, so what is left is CLEAR, which the mode
// may let stop realtime.
bool sweep_mode_window::sweep_allowed_under_realtime() const
{
    return rule(SWEEP_CLEAR_STOPS_REALTIME) && series_.button_state != SWEEP_BUTTON_SWEEP;
}

void sweep_mode_window::sweep_button()
{
    if (realtime_running_ && !sweep_allowed_under_realtime())
        return;
    switch (series_.button_state) {
    case SWEEP_BUTTON_SWEEP: start_series(); break;
    case SWEEP_BUTTON_CANCEL: end_series(); break;
    default: clear_results(); break;
    }
    request_main_refresh(*this);
}

int sweep_mode_window::run_details_dialog()
{
    details_ = s_test_details{};
    if (mode_.details_check)
        return test_details_dialog(this, details_, mode_.details_check).run();
    return test_details_dialog(this, details_).run();
}

void sweep_mode_window::start_series()
{
    const int rc = run_details_dialog();
    if (rc != TEST_DETAILS_CANCELLED)
        begin_series(rc);
}

void sweep_mode_window::next_part()
{
    QWidget* sweep = control_by_id(control_id(OFFSET_SWEEP));
    if (realtime_running_ || series_.running || sweep_dialog_open_ || progress_block_busy(block_) ||
        !sweep || !sweep->isVisible() || !sweep->isEnabled())
        return;
    if (series_.button_state == SWEEP_BUTTON_CLEAR)
        clear_results();
    details_.repeating = false;
    begin_series(TEST_DETAILS_NO_SAVE);
}

void sweep_mode_window::begin_series(int rc)
{
    series_.save_to_db = rule(SWEEP_SAVES_TO_DB) && rc == TEST_DETAILS_SAVE;
    if (rule(SWEEP_SAVES_TO_DB))
        series_.test = details_.test;
    series_.repeating = details_.repeating;
    series_.sweeps_total = details_.repeating || rule(SWEEP_SINGLE_COUNTS) ? details_.count : 0;
    series_.sweeps_done = 0;
    series_.interval_ms = details_.interval_ms;
    series_.running = 1;
    set_menus(false);
    const int sweep = control_id(OFFSET_SWEEP);
    if (series_.repeating) {
        series_set_up_ = true;
        set_series_labels(true);
        set_control_text(control_id(OFFSET_SWEEP_NO), QString("0/%1").arg(series_.sweeps_total));
        set_control_text(sweep, "CANCEL");
        set_series_controls(false);
        series_.button_state = SWEEP_BUTTON_CANCEL;
    } else {
        series_.button_state = SWEEP_BUTTON_CLEAR;
        set_control_text(sweep, "CLEAR");
    }
    request_main_refresh(*this);
    if (rule(SWEEP_START_POSTED))
        post_command(this, CMD_START_SWEEP);
    else
        send_command(this, CMD_START_SWEEP);
}

void sweep_mode_window::end_series()
{
    series_.running = 0;
    series_.button_state = SWEEP_BUTTON_CLEAR;
    sweep_series_cancel_timer(series_, timers_);
    // No sweep is due any more: the last countdown must not stay shown.
    set_control_text(control_id(OFFSET_COUNTDOWN), "");
    set_control_text(control_id(OFFSET_SWEEP), "CLEAR");
    series_.repeating = false;
    set_series_controls(true);
}

void sweep_mode_window::clear_results()
{
    series_.running = 0;
    series_.repeating = false;
    series_.button_state = SWEEP_BUTTON_SWEEP;
    if (rule(SWEEP_CLEAR_STOPS_REALTIME))
        stop_realtime();
    if (series_set_up_) {
        series_set_up_ = false;
        set_series_labels(false);
    }
    set_menus(true);
    series_.sweeps_done = 0;
    series_.sweeps_total = 0;
    set_control_text(control_id(OFFSET_SWEEP), "SWEEP");
    // The axes keep the last sweep's ranges: with no points left there is
    // nothing to work new ones out from.
    clear_mode_results();
    if (auto* list = qobject_cast<QTreeWidget*>(control_by_id(control_id(0))))
        list->clear();
    if (results_view_)
        post_command(results_view_, mode_.view_commands.redraw, 0);
}

void sweep_mode_window::start_sweep()
{
    // A timer's start still queued when the series ended is late.
    if (series_.running == 0)
        return;
    // The countdown text arrives here as CMD_SET_TEXT for the label beside
    // "Til Next Sweep:".
    sweep_series_before_sweep(series_, this, CMD_START_SWEEP, this, timers_);
    // The dialog starts its worker a second after it opens, so the block
    // alone does not show a dialog that is open but not yet running.
    if (sweep_dialog_open_ || progress_block_busy(block_))
        return;
    arm_sweep();
    sweep_dialog_open_ = true;
    run_progress_dialog(this, block_);
    sweep_dialog_open_ = false;
}

void sweep_mode_window::sweep_counted()
{
    const bool ended = sweep_series_after_sweep(series_, timers_);
    if (series_set_up_)
        set_control_text(control_id(OFFSET_SWEEP_NO),
                         qt_from_ansi(sweep_series_progress_text(series_)));
    if (ended)
        post_command(this, control_id(OFFSET_SWEEP), NOTIFY_CLICKED);
    request_main_refresh(*this);
    if (results_view_) {
        post_command(results_view_, mode_.view_commands.new_sweep);
        if (results_view_->isVisible())
            post_command(results_view_, mode_.view_commands.redraw, 0);
    }
}

// The sweep has said what went wrong (a cancel is said here). The run ends
// as CANCEL ends it; with no sweep of it kept the window is idle again, as
// after CLEAR.
void sweep_mode_window::sweep_ended(sweep_outcome outcome)
{
    if (outcome == sweep_outcome::done || series_.running == 0)
        return;
    ui_status(sweep_outcome_status(outcome));
    end_series();
    if (series_.sweeps_done == 0)
        clear_results();
    request_main_refresh(*this);
    if (outcome == sweep_outcome::cancelled)
        ui_message_box(this, SWEEP_TEXT_CANCELLED, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
}

void sweep_mode_window::toggle_realtime()
{
    if (realtime_running_) {
        stop_realtime();
    } else {
        if (series_.running)
            return; // a sweep or series holds the instrument
        realtime_running_ = 1;
        arm_realtime();
        if (!start_realtime_thread())
            return;
        set_realtime_menus(false);
        if (!rule(SWEEP_REALTIME_LABELS_BY_VIEW) || view_ == SWEEP_VIEW_REALTIME)
            set_control_text(control_id(OFFSET_START), "STOP");
    }
    request_main_refresh(*this);
}

bool sweep_mode_window::start_realtime_thread()
{
    try {
        realtime_thread() = std::thread([this] { run_realtime(); });
        return true;
    } catch (const std::system_error&) {
        realtime_running_ = 0;
        const bool chart = rule(SWEEP_REALTIME_LABELS_BY_VIEW) && view_ != SWEEP_VIEW_REALTIME;
        ui_message_box(this,
                       chart ? "The FRA sweep measurement thread failed!!"
                             : "The FRA realtime measurement thread failed!!",
                       "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return false;
    }
}

void sweep_mode_window::stop_realtime()
{
    if (!realtime_running_ && !realtime_thread().joinable())
        return;
    realtime_running_ = 0;
    if (realtime_thread().joinable())
        realtime_thread().join();
    set_realtime_menus(true);
    set_control_text(control_id(OFFSET_START), "START");
}

void sweep_mode_window::reading_taken(bool changed)
{
    if (changed && results_view_ && results_view_->isVisible())
        post_command(results_view_, mode_.view_commands.redraw, 0);
}

void sweep_mode_window::realtime_failed(const char* text)
{
    stop_realtime();
    request_main_refresh(*this);
    ui_message_box(this, text, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
}
