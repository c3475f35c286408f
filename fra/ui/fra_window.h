#pragma once
// The FRA window: the main window's work area in FRA mode. It selects one
// of three views (REALTIME, GRAPH, TABLE), starts and stops realtime
// readings, starts single sweeps and repeating tests, clears results, and
// receives the workers' commands. It owns the shared sweep block and the
// last sweep's results.

#include "base/progress_block.h"
#include "base/ui/table_window.h"
#include "db/ui/test_details_dialog.h"
#include "fra/sweep_context.h"
#include "fra/sweep_series.h"
#include "link/instrument_caps.h"

#include <atomic>

class fra_view;

enum fra_view_id : int { FRA_VIEW_REALTIME = 0, FRA_VIEW_GRAPH = 1, FRA_VIEW_TABLE = 2 };

class fra_window : public table_window {
    Q_OBJECT
public:
    explicit fra_window(QWidget* parent);
    ~fra_window() override;

    void on_command(int id, intptr_t lparam) override;
    void refresh_controls(bool enable, bool connected, bool running) override;
    bool is_running() const override;
    void select_graph_view() override;
    QImage picture() override;
    std::function<void(QPainter&, const QRect&)> picture_painter() override;

    const FraResults& results() const { return results_; }
    const s_fra_result& displayed() const { return displayed_; }
    int view() const { return view_; }
    const s_instrument_caps& instrument_caps() const;
    const s_fra_series& series() const { return series_; }

    // The FRA view made for this window by the control tables.
    void attach_view(fra_view* view) { view_window_ = view; }
    fra_view* view_window() const { return view_window_; }

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
    void toggle_realtime();
    bool start_realtime_thread();
    void realtime_ready();
    void realtime_failed();
    void fill_table(const std::vector<std::string>& rows);
    void set_series_labels(bool shown);
    void set_series_controls(bool enabled);
    void set_menus(bool enabled);

    FraSweepContext ctx_;
    FraResults results_;
    s_fra_series series_;
    s_progress_block block_;
    s_test_details details_;
    s_timer_hooks timers_;
    std::atomic<int> realtime_running_{0};
    s_fra_result displayed_;
    int view_ = FRA_VIEW_GRAPH;
    bool series_set_up_ = false;
    bool sweep_dialog_open_ = false;
    fra_view* view_window_ = nullptr;
};

// Registers the FRA window and its view with the main window's factories.
void fra_register_windows();
