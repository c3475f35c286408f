#pragma once
// One base for the windows of the sweep modes (FRA and LCR): the main
// window's work area with three views (REALTIME, GRAPH, TABLE), START for
// realtime readings, SWEEP/CANCEL/CLEAR for single sweeps and repeating
// tests with their countdown and "n/N" labels, EXPORT, and the greying of
// menus while the instrument is held. A mode adds its controls table, its
// sweep and realtime workers, its list and its results view.
//
// The instrument has one link: a sweep (or series) and realtime readings
// never run together. START is greyed while a sweep or series holds the
// instrument, SWEEP while realtime runs (where the mode lets CLEAR stop
// realtime, CLEAR stays pressable).

#include "base/progress_block.h"
#include "base/ui/mode_window_parts.h"
#include "base/ui/table_window.h"
#include "db/ui/test_details_dialog.h"
#include "sweep/realtime_limits.h"
#include "sweep/sweep_core.h"
#include "sweep/sweep_series.h"
#include "sweep/ui/sweep_aim.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

class QTreeWidget;

enum sweep_view_id : int { SWEEP_VIEW_REALTIME = 0, SWEEP_VIEW_GRAPH = 1, SWEEP_VIEW_TABLE = 2 };

// Where the modes' series machines differ.
enum sweep_rule : unsigned {
    // SWEEP stores the series in the database when the dialog says so.
    SWEEP_SAVES_TO_DB = 1u << 0,
    // A single sweep records the dialog's count as the series total (an
    // export reads it); else a single sweep's total is 0.
    SWEEP_SINGLE_COUNTS = 1u << 1,
    // SWEEP posts CMD_START_SWEEP, so that the handler returns before the
    // progress dialog opens from the queue; else it sends it, and the
    // dialog runs inside the handler.
    SWEEP_START_POSTED = 1u << 2,
    // CLEAR also stops realtime readings (so CLEAR stays pressable under
    // realtime).
    SWEEP_CLEAR_STOPS_REALTIME = 1u << 3,
    // START reads "STOP", and a failed start speaks of realtime, only in
    // the REALTIME view; elsewhere a failed start speaks of the sweep
    // measurement.
    SWEEP_REALTIME_LABELS_BY_VIEW = 1u << 4,
};

// A mode's window. The controls keep one order in every mode's table: the
// list first, then at fixed offsets the view buttons, START, SWEEP, EXPORT
// and the series labels.
struct s_sweep_mode {
    int first_control = 0;              // the list
    const char* busy_top_menus[4] = {}; // titles greyed from a sweep's start until CLEAR
    struct {
        int redraw = 0;
        int new_sweep = 0;
    } view_commands;
    // The test details dialog's check of the repeat fields (none: the
    // dialog's own, with the database fields).
    details_repeat_check details_check = nullptr;
    unsigned rules = 0; // sweep_rule
};

class sweep_mode_window : public table_window {
    Q_OBJECT
public:
    sweep_mode_window(QWidget* parent, const char* class_name, const s_sweep_mode& mode);

    void on_command(int id, intptr_t lparam) override;
    void refresh_controls(bool enable, bool connected, bool running) override;
    bool is_running() const override;
    void select_graph_view() override;
    QImage picture() override;
    std::function<void(QPainter&, const QRect&)> picture_painter() override;

    int view() const { return view_; }
    bool realtime_running() const { return realtime_running_ != 0; }
    const s_sweep_series& series() const { return series_; }
    // What the Test Details dialog gave the last sweep (its test's names).
    const s_test_details& test_details() const { return details_; }

    // The next part at the bench: the part before cleared, one sweep
    // started without asking for the test details again. Nothing while a
    // sweep, a series or realtime readings run, or SWEEP is greyed.
    void next_part();

    // The results view made for this window by the control tables.
    void attach_view(table_window* view) { results_view_ = view; }

    // Replaces the timer service for tests.
    void set_timer_hooks(const s_timer_hooks& hooks) { timers_ = hooks; }

protected:
    // Stops realtime, the series timer and a running sweep: called by the
    // mode's destructor while its blocks still exist.
    void shut_down();
    table_window* results_view() const { return results_view_; }
    int control_id(int offset) const { return mode_.first_control + offset; }

    // The realtime readings' owner: the window the mode window sits in.
    command_target* realtime_owner() { return dynamic_cast<command_target*>(parentWidget()); }

    // A completed sweep, after the mode has taken its points: counts it in
    // the series, ends a series that has run all its sweeps and tells the
    // results view.
    void sweep_counted();
    // A realtime reading was taken: changed, the view shows it.
    void reading_taken(bool changed);
    // Realtime ended by itself: stopped, and the user told why.
    void realtime_failed(const char* text = TEXT_REALTIME_FAILED);

    s_sweep_series series_;
    s_progress_block block_;
    s_test_details details_;
    std::atomic<int> realtime_running_{0};

private:
    // The mode's part: arm its block for a sweep or for realtime, its
    // realtime thread and body, its results cleared, its export and its
    // graph controls shown or hidden.
    virtual void arm_sweep() = 0;
    virtual void arm_realtime() = 0;
    virtual std::thread& realtime_thread() = 0;
    virtual void run_realtime() = 0;
    virtual void clear_mode_results() = 0;
    virtual void export_results() = 0;
    virtual bool export_available() const { return true; }
    virtual void show_graph_controls(bool shown) = 0;

    void select_view(int view);
    bool sweep_allowed_under_realtime() const;
    void sweep_button();
    void start_series();
    void begin_series(int details_outcome);
    int run_details_dialog();
    void end_series();
    void clear_results();
    void start_sweep();
    void sweep_ended(sweep_outcome outcome);
    void toggle_realtime();
    bool start_realtime_thread();
    void stop_realtime();
    void set_series_labels(bool shown);
    void set_series_controls(bool enabled);
    void set_menus(bool enabled);
    void set_realtime_menus(bool enabled);
    bool rule(sweep_rule r) const { return (mode_.rules & r) != 0; }

    s_sweep_mode mode_;
    s_timer_hooks timers_;
    int view_ = SWEEP_VIEW_GRAPH;
    bool series_set_up_ = false;
    bool sweep_dialog_open_ = false;
    table_window* results_view_ = nullptr;
};

// The results view of a sweep-mode window W, made for its table row and
// attached to the window it sits in.
template <class W, class View>
table_window* make_attached_view(QWidget* parent, const s_control& row)
{
    W* owner = enclosing_window<W>(parent);
    auto* v = new View(parent, owner, control_frame(row));
    v->setGeometry(row.x, row.y, row.width, row.height);
    if (owner)
        owner->attach_view(v);
    return v;
}

// A list's client width less a vertical scroll bar, whether or not one
// shows yet: the same columns before and after the rows arrive.
int sweep_list_width(const QTreeWidget* list);
// One row an entry, its columns separated by tabs.
void sweep_list_add_rows(QTreeWidget* list, const std::vector<std::string>& rows);
