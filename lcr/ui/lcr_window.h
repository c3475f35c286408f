#pragma once
// The LCR window: the main window's work area in LCR mode. It selects one
// of three views (REALTIME, GRAPH, TABLE), starts and stops realtime LCR
// readings, starts single sweeps and repeating tests, clears results, and
// receives the workers' commands. It owns the shared sweep block and the
// last sweep's results, which carry their own reply layout.
//
// The instrument has one link: a sweep (or series) and realtime readings
// never run together. SWEEP is refused and greyed while realtime runs,
// START while a sweep or series holds the instrument; CLEAR still stops
// realtime.

#include "base/progress_block.h"
#include "base/ui/table_window.h"
#include "db/ui/test_details_dialog.h"
#include "sweep/sweep_series.h"
#include "lcr/lcr_point.h"

#include <atomic>
#include <memory>

class lcr_results_view;
class QTreeWidget;

enum lcr_view_id : int { LCR_VIEW_REALTIME = 0, LCR_VIEW_GRAPH = 1, LCR_VIEW_TABLE = 2 };

// What EXPORT runs: the LCR exports register it. Until one is registered
// EXPORT stays greyed.
using lcr_export_hook = void (*)(QWidget* owner, const LcrResults& results,
                                 const s_sweep_series& series);
void lcr_set_export_hook(lcr_export_hook hook);

class lcr_window : public table_window {
    Q_OBJECT
public:
    explicit lcr_window(QWidget* parent);
    ~lcr_window() override;

    void on_command(int id, intptr_t lparam) override;
    void refresh_controls(bool enable, bool connected, bool running) override;
    bool is_running() const override;
    void select_graph_view() override;
    QImage picture() override;
    std::function<void(QPainter&, const QRect&)> picture_painter() override;

    const LcrResults& results() const { return *results_; }
    const double* displayed() const { return displayed_; }
    int reading_type() const { return ctx_->reading_type; }
    int view() const { return view_; }
    bool realtime_running() const { return realtime_running_ != 0; }
    const s_sweep_series& series() const { return series_; }

    // The results view made for this window by the control tables.
    void attach_view(lcr_results_view* view) { view_window_ = view; }
    lcr_results_view* view_window() const { return view_window_; }

    // Replaces the timer service for tests.
    void set_timer_hooks(const s_timer_hooks& hooks) { timers_ = hooks; }

private:
    void select_view(int view);
    void sweep_button();
    void start_series();
    void end_series();
    void clear_results();
    void start_sweep();
    void sweep_complete();
    void export_results();
    void toggle_realtime();
    void stop_realtime();
    void realtime_ready();
    void realtime_failed();
    void set_series_labels(bool shown);
    void set_series_controls(bool enabled);
    void set_menus(bool enabled);
    void set_realtime_menus(bool enabled);

    std::unique_ptr<LcrSweepContext> ctx_ = std::make_unique<LcrSweepContext>();
    std::unique_ptr<LcrResults> results_ = std::make_unique<LcrResults>();
    s_sweep_series series_;
    s_progress_block block_;
    s_test_details details_;
    s_timer_hooks timers_;
    std::atomic<int> realtime_running_{0};
    double displayed_[LCR_READING_VALUES_MAX] = {};
    int view_ = LCR_VIEW_GRAPH;
    bool series_set_up_ = false;
    bool sweep_dialog_open_ = false;
    lcr_results_view* view_window_ = nullptr;
};

// Fills the list (14700) with a results block: the layout's headings, the
// column widths for the list's client width (less a vertical scroll bar,
// shown or not) and one row a point, as the sweep file holds them.
void lcr_fill_list(QTreeWidget* list, const LcrResults& results);

// Registers the LCR window and its results view with the main window's
// factories.
void lcr_register_windows();
