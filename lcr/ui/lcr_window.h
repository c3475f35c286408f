#pragma once
// The LCR window: the main window's work area in LCR mode, a sweep-mode
// window whose sweeps and realtime readings are LCR ones. It owns the shared
// sweep block and the last sweep's results, which carry their own reply
// layout. CLEAR also stops realtime readings.

#include "lcr/equivalent_circuit.h"
#include "lcr/lcr_point.h"
#include "lcr/lcr_realtime.h"
#include "sweep/ui/sweep_mode_window.h"

#include <memory>

struct s_test_verdict;

class lcr_results_view;
class QTreeWidget;

enum lcr_view_id : int { LCR_VIEW_REALTIME = 0, LCR_VIEW_GRAPH = 1, LCR_VIEW_TABLE = 2 };

// What EXPORT runs: the LCR exports register it. Until one is registered
// EXPORT stays greyed.
using lcr_export_hook = void (*)(QWidget* owner, const LcrResults& results,
                                 const s_sweep_series& series);
void lcr_set_export_hook(lcr_export_hook hook);

class lcr_window : public sweep_mode_window {
    Q_OBJECT
public:
    explicit lcr_window(QWidget* parent);
    ~lcr_window() override;

    const LcrResults& results() const { return *results_; }
    const double* displayed() const { return displayed_; }
    // The type of the displayed reading (its labels and units).
    int reading_type() const { return displayed_type_; }

    void on_command(int id, intptr_t lparam) override;

    // The results view made for this window by the control tables.
    lcr_results_view* view_window() const;

    // Fits the panel's model to the sweep again (the choice or the cursors
    // changed) and lays its curve over the graph.
    void refit();
    const circuit_fit& fit_result() const { return fit_; }
    // The last sweep's verdict; null when it was not judged.
    const s_test_verdict* verdict() const;

private:
    void arm_sweep() override;
    void arm_realtime() override;
    std::thread& realtime_thread() override { return ctx_->realtime_thread; }
    void run_realtime() override;
    void clear_mode_results() override;
    void export_results() override;
    bool export_available() const override;
    void show_graph_controls(bool shown) override;
    void sweep_complete();
    void reading_arrived();
    void judge();

    std::unique_ptr<LcrSweepContext> ctx_ = std::make_unique<LcrSweepContext>();
    std::unique_ptr<LcrResults> results_ = std::make_unique<LcrResults>();
    double displayed_[LCR_READING_VALUES_MAX] = {};
    int displayed_type_ = LCR_READING_7_11;
    circuit_fit fit_;
    std::unique_ptr<LcrResults> curve_ = std::make_unique<LcrResults>();
};

// Fills the list (14700) with a results block: the layout's headings, the
// column widths for the list's client width (less a vertical scroll bar,
// shown or not) and one row a point, as the sweep file holds them.
void lcr_fill_list(QTreeWidget* list, const LcrResults& results);

// Registers the LCR window and its results view with the main window's
// factories.
void lcr_register_windows();
