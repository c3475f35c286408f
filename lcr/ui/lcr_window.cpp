#include "lcr/ui/lcr_window.h"

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
#include "lcr/lcr_complete.h"
#include "lcr/lcr_details.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_realtime.h"
#include "lcr/lcr_sweep.h"
#include "lcr/ui/lcr_results_view.h"
#include "link/link.h"

#include <QStyle>
#include <QTreeWidget>
#include <ctime>
#include <system_error>

namespace {

const char* const LCR_WINDOW_CLASS = "QXTarvelo2LCRWClass";
// Menu commands greyed while realtime readings run.
const int REALTIME_MENU_IDS[] = {CMD_CONNECTION, CMD_MODE_FRA, CMD_MODE_LCR, CMD_MODE_PIEZO,
                                 CMD_MODE_CAPTURE};
// Controls greyed while a series runs, beside EXPORT and REALTIME.
const int SERIES_MAIN_CONTROLS[] = {CMD_SET_UP_HXM, CMD_READ_HXM, CMD_DATABASE};

lcr_export_hook g_export = nullptr;

table_window* make_lcr_view(QWidget* parent, const s_control& row)
{
    lcr_window* owner = enclosing_window<lcr_window>(parent);
    auto* v = new lcr_results_view(parent, owner, control_frame(row));
    v->setGeometry(row.x, row.y, row.width, row.height);
    if (owner)
        owner->attach_view(v);
    return v;
}

} // namespace

void lcr_fill_list(QTreeWidget* list, const LcrResults& results)
{
    list->clear();
    QStringList headings;
    for (const std::string& h : lcr_list_headings(results.layout))
        headings << qt_from_ansi(h);
    list->setColumnCount(static_cast<int>(headings.size()));
    list->setHeaderLabels(headings);
    // Widths from the client area less a vertical scroll bar, whether or
    // not one shows yet: the same columns before and after the rows arrive.
    const int width = list->width() - 2 * list->frameWidth() -
                      list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    const std::vector<int> widths = lcr_column_widths(static_cast<int>(headings.size()), width);
    for (size_t c = 0; c < widths.size(); ++c)
        list->setColumnWidth(static_cast<int>(c), widths[c]);
    QList<QTreeWidgetItem*> items;
    items.reserve(results.count);
    for (const std::string& row : lcr_table_rows(results))
        items.append(new QTreeWidgetItem(qt_from_ansi(row).split('\t')));
    list->addTopLevelItems(items);
}

void lcr_set_export_hook(lcr_export_hook hook)
{
    g_export = hook;
}

void lcr_register_windows()
{
    set_mode_window_factory(LCR_WINDOW_CLASS, make_placed_window<lcr_window>);
    set_mode_window_factory(LCR_RESULTS_VIEW_CLASS, make_lcr_view);
}

lcr_window::lcr_window(QWidget* parent)
    : table_window(parent, LCR_WINDOW_CLASS, 2), timers_(sweep_default_timer_hooks())
{
    block_.title = "Performing Sweep";
    block_.worker = run_on_context<LcrSweepContext, lcr_sweep_worker>;
    block_.cancel = run_on_context<LcrSweepContext, lcr_sweep_cancel>;
    block_.context = ctx_.get();
}

lcr_window::~lcr_window()
{
    realtime_running_ = 0;
    if (ctx_->realtime_thread.joinable())
        ctx_->realtime_thread.join();
    sweep_series_cancel_timer(series_, timers_);
    progress_wait_idle(block_);
}

bool lcr_window::is_running() const
{
    return series_.running != 0 || realtime_running_ != 0;
}

void lcr_window::on_command(int id, intptr_t lparam)
{
    switch (id) {
    case CMD_LCR_REALTIME_READY: realtime_ready(); break;
    case CMD_LCR_REALTIME_FAILED: realtime_failed(); break;
    case CMD_LCR_SWEEP_COMPLETE: sweep_complete(); break;
    case CMD_LCR_VIEW_REALTIME:
    case CMD_LCR_VIEW_GRAPH:
    case CMD_LCR_VIEW_TABLE: select_view(id - CMD_LCR_VIEW_REALTIME); break;
    case CMD_LCR_START: toggle_realtime(); break;
    case CMD_LCR_SWEEP: sweep_button(); break;
    case CMD_LCR_EXPORT: export_results(); break;
    case CMD_START_SWEEP: start_sweep(); break;
    case CMD_SET_TEXT:
        // A countdown text still queued when the timer was cancelled is late.
        if (series_.timer_id != 0)
            set_control_text(CMD_LCR_COUNTDOWN,
                             qt_from_ansi(*reinterpret_cast<std::string*>(lparam)));
        break;
    default: table_window::on_command(id, lparam); break;
    }
}

void lcr_window::select_view(int view)
{
    if (view == view_)
        return;
    view_ = view;
    set_selected_font(CMD_LCR_VIEW_REALTIME + view, CMD_LCR_VIEW_REALTIME, CMD_LCR_VIEW_TABLE);
    request_main_refresh(*this);
    if (view_window_)
        post_command(view_window_, CMD_LCR_VIEW_REDRAW, 1);
}

void lcr_window::select_graph_view()
{
    select_view(LCR_VIEW_GRAPH);
}

QImage lcr_window::picture()
{
    return view_window_ ? view_window_->picture() : QImage();
}

std::function<void(QPainter&, const QRect&)> lcr_window::picture_painter()
{
    return view_window_ ? view_window_->picture_painter() : nullptr;
}

void lcr_window::refresh_controls(bool enable, bool, bool)
{
    // enable is clear while the connection dialog is open. Each button is
    // greyed while pressing it would be refused: START while a sweep or
    // series holds the instrument, SWEEP (to start one) while realtime runs.
    set_control_enabled(CMD_LCR_START, enable && series_.running == 0);
    set_control_enabled(CMD_LCR_SWEEP, enable && (realtime_running_ == 0 ||
                                                  series_.button_state != SWEEP_BUTTON_SWEEP));
    set_control_enabled(CMD_LCR_EXPORT, g_export && series_.button_state != SWEEP_BUTTON_CANCEL);
    if (!enable) {
        for (int id = CMD_LCR_LIST; id <= CMD_LCR_SWEEP_NO; ++id)
            set_control_visible(id, false);
        if (view_window_)
            view_window_->setVisible(false);
        return;
    }
    for (int id = CMD_LCR_LIST + 1; id < CMD_LCR_NEXT_CAPTION; ++id)
        set_control_visible(id, true);
    const bool table = view_ == LCR_VIEW_TABLE;
    set_control_visible(CMD_LCR_LIST, table);
    if (view_window_) {
        view_window_->setVisible(!table);
        view_window_->show_graph_controls(view_ == LCR_VIEW_GRAPH);
    }
    set_series_labels(series_set_up_ || series_.sweeps_done > 0);
}

void lcr_window::set_series_labels(bool shown)
{
    for (int id = CMD_LCR_NEXT_CAPTION; id <= CMD_LCR_SWEEP_NO; ++id)
        set_control_visible(id, shown);
}

void lcr_window::set_series_controls(bool enabled)
{
    set_control_enabled(CMD_LCR_EXPORT, enabled && g_export);
    set_control_enabled(CMD_LCR_VIEW_REALTIME, enabled);
    for (int id : SERIES_MAIN_CONTROLS)
        set_control_enabled(id, enabled);
}

void lcr_window::set_menus(bool enabled)
{
    // Configure and the FRA, Piezo and Capture modes are greyed from the
    // start of a sweep or series until CLEAR.
    if (shell_window* shell = shell_of(this))
        shell->set_top_menus_enabled({0, 2, 4, 5}, enabled);
}

void lcr_window::set_realtime_menus(bool enabled)
{
    if (shell_window* shell = shell_of(this))
        for (int id : REALTIME_MENU_IDS)
            shell->set_menu_item_enabled(id, enabled);
}

void lcr_window::sweep_button()
{
    switch (series_.button_state) {
    case SWEEP_BUTTON_SWEEP:
        // One exchange with the instrument at a time: no sweep under realtime.
        if (realtime_running_ == 0)
            start_series();
        break;
    case SWEEP_BUTTON_CANCEL: end_series(); break;
    default: clear_results(); break;
    }
    request_main_refresh(*this);
}

void lcr_window::start_series()
{
    details_ = s_test_details{};
    test_details_dialog dialog(this, details_, lcr_details_check_repeat);
    if (dialog.run() == TEST_DETAILS_CANCELLED)
        return;
    series_.save_to_db = false;
    series_.repeating = details_.repeating;
    series_.sweeps_total = details_.repeating ? details_.count : 0;
    series_.sweeps_done = 0;
    series_.interval_ms = details_.interval_ms;
    series_.running = 2;
    set_menus(false);
    if (series_.repeating) {
        series_set_up_ = true;
        set_series_labels(true);
        set_control_text(CMD_LCR_SWEEP_NO, QString("0/%1").arg(series_.sweeps_total));
        set_control_text(CMD_LCR_SWEEP, "CANCEL");
        set_series_controls(false);
        series_.button_state = SWEEP_BUTTON_CANCEL;
    } else {
        series_.button_state = SWEEP_BUTTON_CLEAR;
        set_control_text(CMD_LCR_SWEEP, "CLEAR");
    }
    post_command(this, CMD_START_SWEEP);
}

void lcr_window::end_series()
{
    series_.running = 0;
    series_.button_state = SWEEP_BUTTON_CLEAR;
    sweep_series_cancel_timer(series_, timers_);
    // No sweep is due any more: the last countdown must not stay shown.
    set_control_text(CMD_LCR_COUNTDOWN, "");
    set_control_text(CMD_LCR_SWEEP, "CLEAR");
    series_.repeating = false;
    set_series_controls(true);
}

void lcr_window::clear_results()
{
    series_.running = 0;
    series_.repeating = false;
    series_.button_state = SWEEP_BUTTON_SWEEP;
    stop_realtime();
    if (series_set_up_) {
        series_set_up_ = false;
        set_series_labels(false);
    }
    set_menus(true);
    results_->clear();
    set_control_text(CMD_LCR_SWEEP, "SWEEP");
    series_.sweeps_done = 0;
    series_.sweeps_total = 0;
    if (auto* list = qobject_cast<QTreeWidget*>(control_by_id(CMD_LCR_LIST)))
        list->clear();
    if (view_window_) {
        view_window_->results_cleared();
        post_command(view_window_, CMD_LCR_VIEW_REDRAW, 0);
    }
}

void lcr_window::start_sweep()
{
    sweep_series_before_sweep(series_, this, CMD_START_SWEEP, this, timers_);
    // The dialog starts its worker a second after it opens, so the block
    // alone does not show a dialog that is open but not yet running.
    if (sweep_dialog_open_ || progress_block_busy(block_))
        return;
    ctx_->owner = this;
    ctx_->notify = this;
    ctx_->link = &g_link;
    ctx_->config = &config_current();
    lcr_context_arm_sweep(*ctx_);
    sweep_dialog_open_ = true;
    run_progress_dialog(this, block_);
    sweep_dialog_open_ = false;
}

void lcr_window::sweep_complete()
{
    lcr_complete_sweep(*ctx_, *results_, current_app_paths().data_folder, series_.sweeps_done + 1,
                       std::time(nullptr));
    if (auto* list = qobject_cast<QTreeWidget*>(control_by_id(CMD_LCR_LIST)))
        lcr_fill_list(list, *results_);
    const bool ended = sweep_series_after_sweep(series_, timers_);
    if (series_set_up_)
        set_control_text(CMD_LCR_SWEEP_NO, qt_from_ansi(sweep_series_progress_text(series_)));
    if (ended)
        post_command(this, CMD_LCR_SWEEP, NOTIFY_CLICKED);
    request_main_refresh(*this);
    if (view_window_) {
        view_window_->new_layout(results_->layout);
        post_command(view_window_, CMD_LCR_VIEW_NEW_SWEEP);
        if (view_window_->isVisible())
            post_command(view_window_, CMD_LCR_VIEW_REDRAW, 0);
    }
}

void lcr_window::export_results()
{
    if (g_export)
        g_export(this, *results_, series_);
}

void lcr_window::toggle_realtime()
{
    if (realtime_running_) {
        stop_realtime();
    } else {
        if (series_.running)
            return; // a sweep or series holds the instrument
        realtime_running_ = 1;
        lcr_context_clear_reading(*ctx_);
        ctx_->notify = this;
        ctx_->owner = dynamic_cast<command_target*>(parentWidget());
        ctx_->link = &g_link;
        ctx_->config = &config_current();
        ctx_->request = 1;
        try {
            ctx_->realtime_thread =
                std::thread([this] { lcr_realtime_thread(*ctx_, realtime_running_); });
        } catch (const std::system_error&) {
            realtime_running_ = 0;
            ui_message_box(this, "The FRA realtime measurement thread failed!!", "Tarvelo2",
                           MB_OK | MB_ICONINFORMATION);
            return;
        }
        set_realtime_menus(false);
        set_control_text(CMD_LCR_START, "STOP");
    }
    request_main_refresh(*this);
}

void lcr_window::stop_realtime()
{
    if (!realtime_running_ && !ctx_->realtime_thread.joinable())
        return;
    realtime_running_ = 0;
    if (ctx_->realtime_thread.joinable())
        ctx_->realtime_thread.join();
    set_realtime_menus(true);
    set_control_text(CMD_LCR_START, "START");
}

void lcr_window::realtime_ready()
{
    if (lcr_realtime_accept(*ctx_, displayed_) && view_window_ && view_window_->isVisible())
        post_command(view_window_, CMD_LCR_VIEW_REDRAW, 0);
}

void lcr_window::realtime_failed()
{
    stop_realtime();
    request_main_refresh(*this);
    ui_message_box(this, TEXT_REALTIME_FAILED, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
}
