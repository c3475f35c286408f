#include "fra/ui/fra_window.h"

#include "base/app_settings.h"
#include "base/command_ids.h"
#include "base/ui/control_windows.h"
#include "base/ui/mode_window_parts.h"
#include "base/ui/mode_windows.h"
#include "base/ui/progress_dialog.h"
#include "base/ui/qt_seams.h"
#include "base/ui/shell_window.h"
#include "base/ui_seam.h"
#include "config/config_current.h"
#include "fra/realtime.h"
#include "fra/sweep_complete.h"
#include "fra/sweep_worker.h"
#include "fra/ui/fra_export_ui.h"
#include "fra/ui/fra_view.h"
#include "link/link.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <ctime>
#include <system_error>

namespace {

enum : int {
    ID_TABLE = 14500,
    ID_REALTIME = 14502,
    ID_GRAPH = 14503,
    ID_TABLE_VIEW = 14504,
    ID_START = 14506,
    ID_SWEEP = 14507,
    ID_EXPORT = 14509,
    ID_NEXT_CAPTION = 14510,
    ID_COUNTDOWN = 14511,
    ID_SWEEP_NO_CAPTION = 14512,
    ID_SWEEP_NO = 14513,
};

const char* const FRA_WINDOW_CLASS = "QXTarvelo2FRAWClass";
// Menu commands greyed while realtime readings run.
const int REALTIME_MENU_IDS[] = {CMD_CONNECTION, CMD_MODE_LCR, CMD_MODE_FRA, CMD_MODE_PIEZO,
                                 CMD_MODE_CAPTURE};
const int SERIES_MAIN_CONTROLS[] = {CMD_DATABASE, CMD_READ_HXM, CMD_SET_UP_HXM};

table_window* make_fra_view(QWidget* parent, const s_control& row)
{
    fra_window* owner = enclosing_window<fra_window>(parent);
    auto* v = new fra_view(parent, owner, control_frame(row));
    v->setGeometry(row.x, row.y, row.width, row.height);
    if (owner)
        owner->attach_view(v);
    return v;
}

} // namespace

void fra_register_windows()
{
    set_mode_window_factory(FRA_WINDOW_CLASS, make_placed_window<fra_window>);
    set_mode_window_factory(FRA_VIEW_CLASS, make_fra_view);
}

fra_window::fra_window(QWidget* parent)
    : table_window(parent, FRA_WINDOW_CLASS, 2), timers_(fra_default_timer_hooks())
{
    block_.title = FRA_TEXT_PERFORMING;
    block_.worker = run_on_context<FraSweepContext, fra_sweep_worker>;
    block_.cancel = run_on_context<FraSweepContext, fra_sweep_cancel>;
    block_.context = &ctx_;
}

fra_window::~fra_window()
{
    realtime_running_ = 0;
    if (ctx_.realtime_thread.joinable())
        ctx_.realtime_thread.join();
    fra_series_cancel_timer(series_, timers_);
    progress_wait_idle(block_);
}

const s_instrument_caps& fra_window::instrument_caps() const
{
    return g_link.caps;
}

bool fra_window::is_running() const
{
    return series_.running != 0 || realtime_running_ != 0;
}

void fra_window::on_command(int id, intptr_t lparam)
{
    switch (id) {
    case CMD_FRA_REALTIME_READY: realtime_ready(); break;
    case CMD_FRA_REALTIME_FAILED: realtime_failed(); break;
    case CMD_FRA_SWEEP_COMPLETE: sweep_complete(); break;
    case ID_REALTIME:
    case ID_GRAPH:
    case ID_TABLE_VIEW: select_view(id - ID_REALTIME); break;
    case ID_START: toggle_realtime(); break;
    case ID_SWEEP: sweep_button(); break;
    case ID_EXPORT: fra_export_from_window(this, results_, series_, details_.count); break;
    case CMD_FRA_START_SWEEP: start_sweep(); break;
    case CMD_SET_TEXT:
        // A countdown text still queued when the timer was cancelled is late.
        if (series_.timer_id != 0)
            set_control_text(ID_COUNTDOWN, qt_from_ansi(*reinterpret_cast<std::string*>(lparam)));
        break;
    default: table_window::on_command(id, lparam); break;
    }
}

void fra_window::select_view(int view)
{
    if (view == view_)
        return;
    view_ = view;
    set_selected_font(ID_REALTIME + view, ID_REALTIME, ID_TABLE_VIEW);
    request_main_refresh(*this);
    if (view_window_)
        post_command(view_window_, CMD_FRA_VIEW_REDRAW, 1);
}

void fra_window::select_graph_view()
{
    select_view(FRA_VIEW_GRAPH);
}

QImage fra_window::picture()
{
    return view_window_ ? view_window_->picture() : QImage();
}

std::function<void(QPainter&, const QRect&)> fra_window::picture_painter()
{
    return view_window_ ? view_window_->picture_painter() : nullptr;
}

void fra_window::refresh_controls(bool enable, bool, bool)
{
    // enable is clear while the connection dialog is open: the window shows
    // nothing and START waits. One exchange with the instrument at a time:
    // START is greyed while a sweep or series holds it, SWEEP while
    // realtime readings run.
    set_control_enabled(ID_START, enable && series_.running == 0);
    set_control_enabled(ID_SWEEP, enable && realtime_running_ == 0);
    if (!enable) {
        for (int id = ID_TABLE; id <= ID_SWEEP_NO; ++id)
            set_control_visible(id, false);
        if (view_window_)
            view_window_->setVisible(false);
        return;
    }
    for (int id = ID_TABLE + 1; id < ID_NEXT_CAPTION; ++id)
        set_control_visible(id, true);
    const bool table = view_ == FRA_VIEW_TABLE;
    set_control_visible(ID_TABLE, table);
    if (view_window_)
        view_window_->setVisible(!table);
    for (int id = 14601; id <= 14606; ++id)
        set_control_visible(id, view_ == FRA_VIEW_GRAPH);
    set_series_labels(series_set_up_ || series_.sweeps_done > 0);
}

void fra_window::set_series_labels(bool shown)
{
    for (int id = ID_NEXT_CAPTION; id <= ID_SWEEP_NO; ++id)
        set_control_visible(id, shown);
}

void fra_window::set_series_controls(bool enabled)
{
    set_control_enabled(ID_EXPORT, enabled);
    set_control_enabled(ID_REALTIME, enabled);
    for (int id : SERIES_MAIN_CONTROLS)
        set_control_enabled(id, enabled);
}

void fra_window::set_menus(bool enabled)
{
    // Configure and the LCR, Piezo and Capture modes are greyed while a sweep
    // or series is set up.
    if (shell_window* shell = shell_of(this))
        shell->set_top_menus_enabled({0, 3, 4, 5}, enabled);
}

void fra_window::sweep_button()
{
    if (realtime_running_)
        return; // one exchange with the instrument at a time
    switch (series_.button_state) {
    case FRA_BUTTON_SWEEP: start_series(); break;
    case FRA_BUTTON_CANCEL: end_series(); break;
    default: clear_results(); break;
    }
}

void fra_window::start_series()
{
    details_ = s_test_details{};
    test_details_dialog dialog(this, details_);
    const int rc = dialog.run();
    if (rc == TEST_DETAILS_CANCELLED) {
        request_main_refresh(*this);
        return;
    }
    series_.save_to_db = rc == TEST_DETAILS_SAVE;
    series_.test = details_.test;
    series_.repeating = details_.repeating;
    series_.sweeps_total = details_.count;
    series_.sweeps_done = 0;
    series_.interval_ms = details_.interval_ms;
    series_.running = 1;
    set_menus(false);
    if (series_.repeating) {
        series_set_up_ = true;
        set_series_labels(true);
        set_control_text(ID_SWEEP_NO, QString("0/%1").arg(series_.sweeps_total));
        set_control_text(ID_SWEEP, "CANCEL");
        set_series_controls(false);
        series_.button_state = FRA_BUTTON_CANCEL;
    } else {
        series_.button_state = FRA_BUTTON_CLEAR;
        set_control_text(ID_SWEEP, "CLEAR");
    }
    request_main_refresh(*this);
    send_command(this, CMD_FRA_START_SWEEP);
}

void fra_window::end_series()
{
    series_.running = 0;
    series_.button_state = FRA_BUTTON_CLEAR;
    fra_series_cancel_timer(series_, timers_);
    // No sweep is due any more: the last countdown must not stay shown.
    set_control_text(ID_COUNTDOWN, "");
    set_control_text(ID_SWEEP, "CLEAR");
    series_.repeating = false;
    set_series_controls(true);
    request_main_refresh(*this);
}

void fra_window::clear_results()
{
    series_.repeating = false;
    if (series_set_up_) {
        series_set_up_ = false;
        set_series_labels(false);
    }
    set_menus(true);
    series_.sweeps_done = 0;
    series_.sweeps_total = 0;
    series_.running = 0;
    set_control_text(ID_SWEEP, "SWEEP");
    series_.button_state = FRA_BUTTON_SWEEP;
    results_.clear();
    if (auto* list = qobject_cast<QTreeWidget*>(control_by_id(ID_TABLE)))
        list->clear();
    // The axes keep the last sweep's ranges: with no points left there
    // is nothing to work new ones out from.
    if (view_window_) {
        view_window_->results_cleared();
        post_command(view_window_, CMD_FRA_VIEW_REDRAW, 0);
    }
    request_main_refresh(*this);
}

void fra_window::start_sweep()
{
    // The countdown text arrives here as CMD_SET_TEXT for the label beside
    // "Til Next Sweep:".
    fra_series_before_sweep(series_, this, CMD_FRA_START_SWEEP, this, timers_);
    // The dialog starts its worker a second after it opens, so the block
    // alone does not show a dialog that is open but not yet running.
    if (sweep_dialog_open_ || progress_block_busy(block_))
        return;
    ctx_.owner = this;
    ctx_.notify = this;
    fra_context_arm_sweep(ctx_);
    ctx_.link = &g_link;
    ctx_.config = &config_current();
    sweep_dialog_open_ = true;
    run_progress_dialog(this, block_);
    sweep_dialog_open_ = false;
}

void fra_window::sweep_complete()
{
    const s_sweep_store store{current_app_paths().data_folder, series_.sweeps_done + 1,
                              series_.save_to_db ? &series_.test : nullptr, std::time(nullptr)};
    const s_sweep_outcome out = fra_complete_sweep(ctx_, results_, store);
    fill_table(out.rows);
    const bool ended = fra_series_after_sweep(series_, timers_);
    if (series_set_up_)
        set_control_text(ID_SWEEP_NO, qt_from_ansi(fra_series_progress_text(series_)));
    if (ended)
        post_command(this, ID_SWEEP, NOTIFY_CLICKED);
    request_main_refresh(*this);
    if (view_window_) {
        post_command(view_window_, CMD_FRA_VIEW_NEW_SWEEP);
        if (view_window_->isVisible())
            post_command(view_window_, CMD_FRA_VIEW_REDRAW, 0);
    }
}

void fra_window::fill_table(const std::vector<std::string>& rows)
{
    auto* list = qobject_cast<QTreeWidget*>(control_by_id(ID_TABLE));
    if (!list)
        return;
    list->clear();
    list->setColumnCount(7);
    list->setHeaderLabels({"Step", "Frequency (Hz)", "Magnitude 1 (V)", "Magnitude 2 (V)",
                           "Gain (dB)", qt_from_ansi("Phase (\xB0)"), "Delay (s)"});
    // Widths from the client area less a vertical scroll bar, whether or
    // not one shows yet: the same columns before and after the rows arrive.
    const int width = list->width() - 2 * list->frameWidth() -
                      list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    list->setColumnWidth(0, width / 28);
    for (int c = 1; c < 7; ++c)
        list->setColumnWidth(c, static_cast<int>(width / 6.15));
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<int>(rows.size()));
    for (const std::string& row : rows)
        items.append(new QTreeWidgetItem(qt_from_ansi(row).split('\t')));
    list->addTopLevelItems(items);
}

void fra_window::toggle_realtime()
{
    if (realtime_running_) {
        realtime_running_ = 0;
        if (ctx_.realtime_thread.joinable())
            ctx_.realtime_thread.join();
        set_control_text(ID_START, "START");
    } else {
        if (series_.running)
            return; // a sweep or series holds the instrument
        realtime_running_ = 1;
        fra_context_clear(ctx_);
        ctx_.notify = this;
        ctx_.owner = dynamic_cast<command_target*>(parentWidget());
        ctx_.link = &g_link;
        ctx_.config = &config_current();
        ctx_.request = 1;
        if (!start_realtime_thread())
            return;
        if (view_ == FRA_VIEW_REALTIME)
            set_control_text(ID_START, "STOP");
    }
    if (shell_window* shell = shell_of(this))
        for (int id : REALTIME_MENU_IDS)
            shell->set_menu_item_enabled(id, !realtime_running_);
    request_main_refresh(*this);
}

bool fra_window::start_realtime_thread()
{
    try {
        ctx_.realtime_thread =
            std::thread([this] { fra_realtime_thread(ctx_, realtime_running_); });
        return true;
    } catch (const std::system_error&) {
        realtime_running_ = 0;
        ui_message_box(this,
                       view_ == FRA_VIEW_REALTIME ? "The FRA realtime measurement thread failed!!"
                                                  : "The FRA sweep measurement thread failed!!",
                       "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return false;
    }
}

void fra_window::realtime_ready()
{
    if (fra_realtime_accept(ctx_, displayed_) && view_window_ && view_window_->isVisible())
        post_command(view_window_, CMD_FRA_VIEW_REDRAW, 0);
}

void fra_window::realtime_failed()
{
    if (realtime_running_)
        toggle_realtime();
    ui_message_box(this, FRA_TEXT_REALTIME_FAILED, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
}
