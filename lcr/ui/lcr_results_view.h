#pragma once
// The LCR results view: the child of the LCR window that draws either the
// realtime readout (the last LCR reading in a grid of large yellow-on-black
// cells) or the graph of two quantities of the last sweep against
// frequency with two cursors, and carries the graph controls: the cursor
// bars 14801/14802, the quantity boxes 14803/14804, the scaling 14805, the
// background 14806 and the boxes' Log Scale choices 14807/14808.

#include "base/command_ids.h"
#include "lcr/lcr_view.h"
#include "lcr/ui/lcr_plot.h"
#include "sweep/ui/sweep_result_view.h"

#include <QFont>
#include <string>

class lcr_window;
class fit_panel;
class verdict_panel;

class lcr_results_view : public sweep_result_view {
    Q_OBJECT
public:
    lcr_results_view(QWidget* parent, lcr_window* owner, int frame);

    void on_command(int id, intptr_t lparam) override;
    QImage picture() override;
    s_printout printout() override;

    const s_lcr_view_state& state() const { return state_; }
    // The quantity boxes take the items of a sweep's layout (left the
    // first, right the second; the user's choices while the layout stays
    // the same); before any sweep they offer the impedance and the phase.
    void new_layout(int layout);
    // CLEAR: the cursors and their bars go back to the start; the axes keep
    // the last sweep's ranges.
    void results_cleared();
    // The graph controls show in the GRAPH view only.
    void show_graph_controls(bool shown);
    // The graph as the GRAPH view draws it, at the given size, and the
    // plot's place in the client area.
    QImage render_graph(QSize size) const;
    s_plot_rect plot_area() const;
    // The height of the band the graph controls take below the graph.
    int strip_height() const;

    // The bench panels at the right of the graph: the equivalent circuit
    // and the limits.
    fit_panel* fit() const { return fit_; }
    verdict_panel* verdict() const { return verdict_; }
    // The fitted model's curve drawn over the sweep (null: none).
    void set_model_curve(const LcrResults* curve, const std::string& name);

private:
    void controls_hooked() override;
    void cursor_moved(int which, int value) override;
    bool graph_shown() const override;
    void draw_graph(QPainter& p, const QRect& area) const override;
    void paint_readout(QPainter& p, const QRect& area) override;
    void new_sweep();
    void quantity_changed(int side);
    void log_changed(int side);
    void show_log_choices();
    void fit_cell_fonts(const QRect& cell, int values);
    void draw_ohm(QPainter& p, const QRect& room, bool inverse) const;
    s_lcr_plot_inputs graph_inputs() const;

    lcr_window* owner_;
    s_lcr_view_state state_;
    int layout_ = 0;
    bool graph_controls_ = true;
    QSize cell_size_;
    QFont label_font_;
    QFont value_font_;
    QFont ohm_font_;
    fit_panel* fit_ = nullptr;
    verdict_panel* verdict_ = nullptr;
    const LcrResults* model_ = nullptr;
    std::string model_name_;
};

extern const char* const LCR_RESULTS_VIEW_CLASS;

// The height of the LCR graph's plot as the main window is laid out now,
// were the settings panel shown (`settings_hidden`: it is not).
int lcr_plot_height_with_settings(bool settings_hidden);
