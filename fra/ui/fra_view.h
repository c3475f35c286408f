#pragma once
// The FRA view: the child of the FRA window that draws either the realtime
// readout (a grid of large numeric tiles) or the Bode chart of the last
// sweep with its two cursors, and carries the graph controls.

#include "base/command_ids.h"
#include "fra/view_state.h"
#include "graph/ui/bode_plot.h"
#include "sweep/ui/sweep_result_view.h"

class fra_window;
class verdict_panel;

// The main window's Display menu puts the FRA view's cursors on the last
// sweep's crossovers: cursor 0 on the 0 dB one, cursor 1 on the 0-degree one.
enum : int {
    CMD_FRA_GO_GAIN_CROSSOVER = 14620,
    CMD_FRA_GO_PHASE_CROSSOVER = 14621,
};

class fra_view : public sweep_result_view {
    Q_OBJECT
public:
    fra_view(QWidget* parent, fra_window* owner, int frame);

    // CLEAR: the cursors and their scroll bars go back to the start; the
    // axes keep the last sweep's ranges.
    void results_cleared();
    const s_fra_view_state& state() const { return state_; }
    void on_command(int id, intptr_t lparam) override;
    QImage picture() override;
    s_printout printout() override;
    // The chart as the GRAPH view draws it, at the given size.
    QImage render_chart(QSize size) const;
    // Where the chart falls in the client area inside the border.
    s_bode_layout chart_layout() const;
    // The limits panel at the chart's right; the chart shows its masks.
    verdict_panel* verdict() const { return verdict_; }
    // The limits panel shows with the graph controls.
    void show_graph_controls(bool shown);

private:
    void cursor_moved(int which, int value) override;
    bool graph_shown() const override;
    void draw_graph(QPainter& p, const QRect& area) const override;
    void paint_readout(QPainter& p, const QRect& area) override;
    void new_sweep();
    void find_margins();
    void go_to_crossover(margin_kind kind);
    s_bode_inputs chart_inputs() const;

    fra_window* owner_;
    s_fra_view_state state_;
    BodePlot plot_;
    QSize font_size_; // the tile the fonts were fitted to
    QFont label_font_;
    QFont value_font_;
    verdict_panel* verdict_ = nullptr;
};

extern const char* const FRA_VIEW_CLASS;
