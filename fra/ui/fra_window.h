#pragma once
// The FRA window: the main window's work area in FRA mode, a sweep-mode
// window whose sweeps and realtime readings are frequency response ones.
// It owns the shared sweep block and the last sweep's results.

#include "fra/sweep_context.h"
#include "link/instrument_caps.h"
#include "sweep/ui/sweep_mode_window.h"

class fra_view;

enum fra_view_id : int { FRA_VIEW_REALTIME = 0, FRA_VIEW_GRAPH = 1, FRA_VIEW_TABLE = 2 };

class fra_window : public sweep_mode_window {
    Q_OBJECT
public:
    explicit fra_window(QWidget* parent);
    ~fra_window() override;

    void on_command(int id, intptr_t lparam) override;

    const FraResults& results() const { return results_; }
    const s_fra_result& displayed() const { return displayed_; }
    const s_instrument_caps& instrument_caps() const;

    // The FRA view made for this window by the control tables.
    fra_view* view_window() const;

private:
    void arm_sweep() override;
    void arm_realtime() override;
    std::thread& realtime_thread() override { return ctx_.realtime_thread; }
    void run_realtime() override;
    void clear_mode_results() override;
    void export_results() override;
    void show_graph_controls(bool shown) override;
    void sweep_complete();
    void fill_table(const std::vector<std::string>& rows);

    FraSweepContext ctx_;
    FraResults results_;
    s_fra_result displayed_;
};

// Registers the FRA window and its view with the main window's factories.
void fra_register_windows();
