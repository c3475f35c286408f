#pragma once
// The graph dialog ("QXTarvelo2GraphDialogClass"): up to nine stored tests
// on one Bode chart, with menus for scaling, ranges, background, cursor
// visibility, each test's visibility, weights, colours and margin markers,
// the margin search and the noise filter, and bitmap/clipboard copies.
// Only one exists at a time.
#include "base/command_seam.h"
#include "base/ui/print_actions.h"
#include "graph/ui/report_document.h"
#include "review/graph_compare.h"
#include "review/graph_model.h"
#include "review/ui/graph_range_dialog.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <optional>

class QComboBox;
class QMenu;
class QScrollBar;
class graph_compare_box;

enum : int {
    GRAPH_SELECTED_PLOT = 15221,
    GRAPH_CMD_CLOSE = 32798,
    GRAPH_CMD_SAVE_BMP = 32797,
    GRAPH_CMD_CLIPBOARD = 32796,
    GRAPH_CMD_LINEAR = 32789,
    GRAPH_CMD_LOG = 32790,
    GRAPH_CMD_GAIN_AUTO = 32779,
    GRAPH_CMD_GAIN_CENTRE = 32780,
    GRAPH_CMD_GAIN_MANUAL = 32781,
    GRAPH_CMD_FREQ_AUTO = 32782,
    GRAPH_CMD_FREQ_MANUAL = 32783,
    GRAPH_CMD_BLACK = 32785,
    GRAPH_CMD_WHITE = 32786,
    GRAPH_CMD_CUSTOM = 32787,
    GRAPH_CMD_GAIN_CURSOR = 32792,
    GRAPH_CMD_PHASE_CURSOR = 32793,
    GRAPH_CMD_FIND_MARGINS = 32794,
    GRAPH_CMD_FILTER_NOISE = 32795,
    // The winding comparison (the first test is the reference); below the
    // per-test ids, which the plot menu rebuild clears from 32802 up.
    GRAPH_CMD_COMPARE = 32740,
    GRAPH_CMD_DIFFERENCE_VIEW = 32741,
    // The cursors onto the selected test's main crossings (Ctrl+G,
    // Ctrl+Shift+P; Ctrl+P prints).
    GRAPH_CMD_GO_GAIN_CROSSOVER = 32742,
    GRAPH_CMD_GO_PHASE_CROSSOVER = 32743,
    // The "View" menu (above the per-test ids of nine slots).
    GRAPH_CMD_VIEW_BODE = 33600,
    GRAPH_CMD_VIEW_NYQUIST = 33601,
    GRAPH_CMD_VIEW_NICHOLS = 33602,
};

class graph_dialog : public QMainWindow, public command_target {
    Q_OBJECT
public:
    // Shows the tests that model holds (loaded from the database); details
    // head the pages of its report.
    graph_dialog(QWidget* parent, graph_model model, std::vector<report_field> details = {});
    ~graph_dialog() override;

    void on_command(int id, intptr_t lparam) override;
    graph_model& model() { return model_; }
    QWidget* chart() const { return chart_; }
    QAction* action(int id) const;
    QComboBox* selected_plot() const { return selected_; }
    QScrollBar* cursor_bar(int which) const { return which == 0 ? gain_bar_ : phase_bar_; }
    // Set by tests: the range dialog opened by Manual, before it runs.
    static void set_range_dialog_hook(void (*hook)(graph_range_dialog&));

    static graph_dialog* current();

    // The chart as shown: the Bode chart, or the Difference view when on.
    QImage render(QSize size, bool for_file) const;
    bool difference_view() const { return difference_view_; }
    graph_compare_box* compare_box() const;

private:
    struct s_view_item {
        int id;
        const char* text;
        graph_view view;
    };
    static const s_view_item VIEWS[];

    void build_menus();
    void build_view_menu();
    bool switch_view(int id);
    void update_view_checks();
    void rebuild_plot_menu();
    void update_checks();
    void per_test_command(int base, int slot);
    void refresh_cursors();
    void go_to_crossover(bool gain);
    void run_range_dialog(bool frequency);
    void choose_background();
    bool pick_colour(s_rgb& colour);
    void save_bitmap();
    void repaint_chart();
    const s_graph_comparison& comparison();
    void compare_with_reference();
    void print(print_action action);

    graph_model model_;
    QWidget* chart_ = nullptr;
    QComboBox* selected_ = nullptr;
    QScrollBar* gain_bar_ = nullptr;
    QScrollBar* phase_bar_ = nullptr;
    QMenu* plot_menu_ = nullptr;
    std::map<int, QAction*> actions_;
    std::optional<s_graph_comparison> comparison_; // made on first use
    bool difference_view_ = false;
    QPointer<graph_compare_box> compare_box_;
    std::vector<report_field> report_details_;
};

// Opens the graph of the given tests (closing any open one); when a test
// cannot be read the database error box has said why and no graph opens.
void graph_dialog_open(QWidget* owner, const std::vector<int>& test_keys);
