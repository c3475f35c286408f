#pragma once
// The piezo window: the main window's work area in piezo mode. It runs one
// impedance sweep (or imports a sweep file), analyses the resonator and
// shows R, L, C and Cp in four yellow-on-black boxes beside the
// impedance/phase graph. Clear returns it to empty.

#include "base/progress_block.h"
#include "base/ui/table_window.h"
#include "lcr/equivalent_circuit.h"
#include "lcr/piezo_analysis.h"
#include "lcr/ui/piezo_plot.h"
#include "sweep/sweep_core.h"

#include <memory>
#include <optional>
#include <string>

class fit_panel;

class piezo_window : public table_window {
public:
    explicit piezo_window(QWidget* parent);

    void on_command(int id, intptr_t lparam) override;
    QImage picture() override;
    std::function<void(QPainter&, const QRect&)> picture_painter() override;
    s_printout printout() override;
    // A piezo sweep holds the instrument while its progress dialog runs.
    bool is_running() const override { return sweeping_; }

    const LcrResults& results() const { return *results_; }
    bool holds_results() const { return held_; }
    const s_piezo_plot_inputs& plot_inputs() const { return plot_; }
    const circuit_fit& fit_result() const { return fit_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void start_or_clear();
    void start_sweep();
    void clear();
    void sweep_ended(sweep_outcome outcome);
    void empty();
    void import_file();
    void export_report();
    void analyse(const LcrResults& source);
    void show_values(const s_piezo_values* v);
    void set_button_texts();
    void set_menus(bool enabled);
    void refit();

    std::unique_ptr<PiezoSweepContext> ctx_ = std::make_unique<PiezoSweepContext>();
    std::unique_ptr<LcrResults> results_ = std::make_unique<LcrResults>();
    s_progress_block block_;
    s_piezo_plot_inputs plot_;
    s_piezo_stamp stamp_;
    std::optional<s_piezo_values> values_; // empty while none or refused
    bool held_ = false;
    bool sweeping_ = false;
    QWidget* canvas_ = nullptr;
    fit_panel* fit_panel_ = nullptr;
    circuit_fit fit_;
    std::unique_ptr<LcrResults> curve_ = std::make_unique<LcrResults>();
};

// Registers the piezo window with the main window's factories.
void piezo_register_windows();
