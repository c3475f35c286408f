#include "review/ui/graph_dialog.h"

#include "base/off_window.h"
#include "base/ui/qt_seams.h"
#include "base/ui/window_geometry.h"
#include "base/ui_seam.h"
#include "config/config_current.h"
#include "fra/margins.h"
#include "graph/ui/chart_file.h"
#include "graph/ui/report_printout.h"
#include "review/ui/compare_box.h"
#include "review/ui/compare_report.h"
#include "review/ui/difference_view.h"
#include "review/ui/graph_overlay.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

const char* const CLASS_NAME = "QXTarvelo2GraphDialogClass";
constexpr int MIN_WIDTH = 1008;
constexpr int MIN_HEIGHT = 500;
constexpr const char* GEOMETRY_NAME = "Graph";
constexpr int PHASE_CONVENTION_PARAM = 6;
constexpr int GAIN_COLOUR_BASE = 32832;
constexpr int PHASE_COLOUR_BASE = 32852;

enum : int {
    T_GAIN_VISIBLE = 32802,
    T_PHASE_VISIBLE = 32803,
    T_GAIN_THIN = 32806,
    T_PHASE_THIN = 32810,
    T_GAIN_MARKERS = 32815,
    T_PHASE_MARKERS = 32816,
    T_HIDDEN = 32817,
    T_GAIN_MARKER_BLACK = 32820,
    T_PHASE_MARKER_BLACK = 32824,
    T_WHOLE_RANGE = 32828,
    T_FILTERED = 32829,
};

graph_dialog* g_current = nullptr;
void (*g_range_hook)(graph_range_dialog&) = nullptr;

// The chart: the dialog's current view.
class graph_chart : public QWidget {
public:
    graph_chart(QWidget* parent, const graph_dialog& dialog) : QWidget(parent), dialog_(dialog) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).drawImage(0, 0, dialog_.render(size(), false));
    }

private:
    const graph_dialog& dialog_;
};

} // namespace

graph_dialog::graph_dialog(QWidget* parent, graph_model model, std::vector<report_field> details)
    : QMainWindow(parent), model_(std::move(model)), report_details_(std::move(details))
{
    setObjectName(QString::fromLatin1(CLASS_NAME));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    setMinimumSize(MIN_WIDTH, MIN_HEIGHT);
    setWindowTitle(QStringLiteral("Graph"));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(6, 4, 6, 0);
    selected_ = new QComboBox(central);
    selected_->setProperty("control_id", GRAPH_SELECTED_PLOT);
    for (int i = 0; i < model_.count; ++i)
        selected_->addItem(qt_from_ansi(graph_menu_caption(model_.plots[i].test_name)));
    gain_bar_ = new QScrollBar(Qt::Horizontal, central);
    phase_bar_ = new QScrollBar(Qt::Horizontal, central);
    strip->addWidget(new QLabel(QStringLiteral("Selected Plot:"), central));
    strip->addWidget(selected_);
    strip->addSpacing(20);
    strip->addWidget(gain_bar_, 1);
    strip->addWidget(phase_bar_, 1);
    layout->addLayout(strip);
    chart_ = new graph_chart(central, *this);
    chart_->setObjectName(QStringLiteral("QXTarvelo2GraphChart"));
    layout->addWidget(chart_, 1);
    setCentralWidget(central);
    connect(selected_, &QComboBox::activated, this, [this](int i) {
        model_.select_plot(i);
        refresh_cursors();
        repaint_chart();
    });
    connect(gain_bar_, &QScrollBar::valueChanged, this, [this](int v) {
        model_.gain_cursor = v;
        repaint_chart();
    });
    connect(phase_bar_, &QScrollBar::valueChanged, this, [this](int v) {
        model_.phase_cursor = v;
        repaint_chart();
    });
    build_menus();
    refresh_cursors();
    window_geometry_restore(this, GEOMETRY_NAME, minimumSize(),
                            parent ? parent->window() : nullptr);
    g_current = this;
}

graph_dialog::~graph_dialog()
{
    window_geometry_save(this, GEOMETRY_NAME);
    if (g_current == this)
        g_current = nullptr;
}

graph_dialog* graph_dialog::current()
{
    return g_current;
}

void graph_dialog::set_range_dialog_hook(void (*hook)(graph_range_dialog&))
{
    g_range_hook = hook;
}

QAction* graph_dialog::action(int id) const
{
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void graph_dialog::build_menus()
{
    const auto add = [this](QMenu* menu, const char* text, int id, bool checkable = true) {
        QAction* a = menu->addAction(QString::fromLatin1(text));
        a->setCheckable(checkable);
        connect(a, &QAction::triggered, this, [this, id] { on_command(id, 0); });
        actions_[id] = a;
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    print_add_menu_items(file, [this](print_action action) { print(action); });
    file->addSeparator();
    add(file, "&Close", GRAPH_CMD_CLOSE, false);
    QMenu* display = menuBar()->addMenu(QStringLiteral("&Display"));
    add(display, "Save to &Bitmap...", GRAPH_CMD_SAVE_BMP, false);
    add(display, "&Copy to Clipboard", GRAPH_CMD_CLIPBOARD, false);
    QMenu* look = menuBar()->addMenu(QStringLiteral("&Graph Appearance"));
    QMenu* scaling = look->addMenu(QStringLiteral("Graph &Scaling"));
    add(scaling, "Lo&garithmic", GRAPH_CMD_LOG);
    add(scaling, "&Linear", GRAPH_CMD_LINEAR);
    QMenu* gain = look->addMenu(QStringLiteral("&Gain Range"));
    add(gain, "&Auto Scale", GRAPH_CMD_GAIN_AUTO);
    add(gain, "&Center to 0dB", GRAPH_CMD_GAIN_CENTRE);
    add(gain, "&Manual", GRAPH_CMD_GAIN_MANUAL);
    QMenu* freq = look->addMenu(QStringLiteral("&Frequency Range"));
    add(freq, "&Auto Scale", GRAPH_CMD_FREQ_AUTO);
    add(freq, "&Manual", GRAPH_CMD_FREQ_MANUAL);
    QMenu* back = look->addMenu(QStringLiteral("&Background Colour"));
    add(back, "&Black", GRAPH_CMD_BLACK);
    add(back, "&White", GRAPH_CMD_WHITE);
    add(back, "&Custom...", GRAPH_CMD_CUSTOM);
    QMenu* cursors = look->addMenu(QStringLiteral("&Cursor Visibility"));
    add(cursors, "&Gain", GRAPH_CMD_GAIN_CURSOR);
    add(cursors, "&Phase", GRAPH_CMD_PHASE_CURSOR);
    plot_menu_ = menuBar()->addMenu(QStringLiteral("Plot Appearance"));
    QMenu* analyze = menuBar()->addMenu(QStringLiteral("Analyze"));
    add(analyze, "Find Gain/Phase Margins", GRAPH_CMD_FIND_MARGINS, false);
    add(analyze, "Filter &Noise", GRAPH_CMD_FILTER_NOISE, false);
    add(analyze, "Go to &Gain Crossover", GRAPH_CMD_GO_GAIN_CROSSOVER, false)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    add(analyze, "Go to &Phase Crossover", GRAPH_CMD_GO_PHASE_CROSSOVER, false)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    build_view_menu();
    analyze->addSeparator();
    add(analyze, "", GRAPH_CMD_COMPARE, false)
        ->setText(QString::fromUtf8("Compare with Reference\u2026"));
    add(analyze, "&Difference", GRAPH_CMD_DIFFERENCE_VIEW); // a view of its own
    for (int id : {GRAPH_CMD_COMPARE, GRAPH_CMD_DIFFERENCE_VIEW})
        actions_[id]->setEnabled(graph_can_compare(model_));
    rebuild_plot_menu();
}

// The charts the dialog can show of its tests, in menu order. Another view
// joins with one line here and its case in graph_paint().
const graph_dialog::s_view_item graph_dialog::VIEWS[] = {
    {GRAPH_CMD_VIEW_BODE, "Bode", graph_view::bode},
    {GRAPH_CMD_VIEW_NYQUIST, "Nyquist", graph_view::nyquist},
    {GRAPH_CMD_VIEW_NICHOLS, "Nichols", graph_view::nichols},
};

void graph_dialog::build_view_menu()
{
    QMenu* views = menuBar()->addMenu(QStringLiteral("View"));
    for (const s_view_item& v : VIEWS) {
        QAction* a = views->addAction(QString::fromLatin1(v.text));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, id = v.id] { on_command(id, 0); });
        actions_[v.id] = a;
    }
}

bool graph_dialog::switch_view(int id)
{
    for (const s_view_item& v : VIEWS) {
        if (v.id == id) {
            model_.view = v.view;
            return true;
        }
    }
    return false;
}

// While the differences are drawn, no chart of the tests is checked.
void graph_dialog::update_view_checks()
{
    for (const s_view_item& v : VIEWS)
        if (QAction* a = action(v.id))
            a->setChecked(!difference_view_ && model_.view == v.view);
    // Axes, ranges and cursors of the Bode chart mean nothing on the others.
    const bool bode = model_.view == graph_view::bode;
    for (int id : {GRAPH_CMD_LINEAR, GRAPH_CMD_LOG, GRAPH_CMD_GAIN_AUTO, GRAPH_CMD_GAIN_CENTRE,
                   GRAPH_CMD_GAIN_MANUAL, GRAPH_CMD_FREQ_AUTO, GRAPH_CMD_FREQ_MANUAL,
                   GRAPH_CMD_GAIN_CURSOR, GRAPH_CMD_PHASE_CURSOR})
        if (QAction* a = action(id))
            a->setEnabled(bode);
    gain_bar_->setEnabled(bode);
    phase_bar_->setEnabled(bode);
}

void graph_dialog::rebuild_plot_menu()
{
    int base = 0, slot = 0;
    for (auto it = actions_.begin(); it != actions_.end();)
        it = graph_menu_split(it->first, base, slot) ? actions_.erase(it) : std::next(it);
    plot_menu_->clear();
    for (int i = 0; i < model_.count; ++i) {
        const auto add = [this, i](QMenu* menu, const QString& text, int base) {
            const int id = graph_menu_id(base, i);
            QAction* a = menu->addAction(text);
            a->setCheckable(true);
            connect(a, &QAction::triggered, this, [this, id] { on_command(id, 0); });
            actions_[id] = a;
        };
        QMenu* test =
            plot_menu_->addMenu(qt_from_ansi(graph_menu_caption(model_.plots[i].test_name)));
        QMenu* visible = test->addMenu(QStringLiteral("Visible"));
        add(visible, QStringLiteral("Gain "), T_GAIN_VISIBLE);
        add(visible, QStringLiteral("Phase"), T_PHASE_VISIBLE);
        QMenu* weight = test->addMenu(QStringLiteral("Weight"));
        const char* weights[] = {"Thin", "Regular", "Thick"};
        QMenu* gain_weight = weight->addMenu(QStringLiteral(" Gain"));
        QMenu* phase_weight = weight->addMenu(QStringLiteral("Phase"));
        for (int w = 0; w < 3; ++w) {
            add(gain_weight, QString::fromLatin1(weights[w]), T_GAIN_THIN + w);
            add(phase_weight, QString::fromLatin1(weights[w]), T_PHASE_THIN + w);
        }
        if (model_.styles[i].margins_available) {
            QMenu* margins = test->addMenu(QStringLiteral("Gain Phase Margins"));
            QMenu* vis = margins->addMenu(QStringLiteral("Visibility"));
            add(vis, QStringLiteral("Gain"), T_GAIN_MARKERS);
            add(vis, QStringLiteral("Phase"), T_PHASE_MARKERS);
            add(vis, QStringLiteral("Hidden"), T_HIDDEN);
            action(graph_menu_id(T_HIDDEN, i))
                ->setEnabled(model_.plots[i].zero_db.size() > 1 ||
                             model_.plots[i].zero_phase.size() > 1);
            QMenu* colour = margins->addMenu(QStringLiteral("Colour"));
            const char* marks[] = {"Black", "White", "Custom"};
            QMenu* gm = colour->addMenu(QStringLiteral("Gain"));
            QMenu* pm = colour->addMenu(QStringLiteral("Phase"));
            for (int c = 0; c < 3; ++c) {
                add(gm, QString::fromLatin1(marks[c]), T_GAIN_MARKER_BLACK + c);
                add(pm, QString::fromLatin1(marks[c]), T_PHASE_MARKER_BLACK + c);
            }
        }
        QMenu* colour = test->addMenu(QStringLiteral("Colour"));
        QMenu* gc = colour->addMenu(QStringLiteral("Gain"));
        QMenu* pc = colour->addMenu(QStringLiteral("Phase"));
        for (int c = 0; c <= BODE_COLOR_COUNT; ++c) {
            const QString name = c < BODE_COLOR_COUNT
                                     ? QString::fromLatin1(bode_color_table[c].name)
                                     : QStringLiteral("Custom...");
            add(gc, name, GAIN_COLOUR_BASE + c);
            add(pc, name, PHASE_COLOUR_BASE + c);
        }
    }
    update_checks();
}

void graph_dialog::update_checks()
{
    const auto check = [this](int id, bool on) {
        if (QAction* a = action(id))
            a->setChecked(on);
    };
    check(GRAPH_CMD_LOG, model_.log_scaling);
    check(GRAPH_CMD_LINEAR, !model_.log_scaling);
    check(GRAPH_CMD_GAIN_AUTO, model_.gain_mode == graph_range_mode::automatic);
    check(GRAPH_CMD_GAIN_CENTRE, model_.gain_mode == graph_range_mode::centre_zero);
    check(GRAPH_CMD_GAIN_MANUAL, model_.gain_mode == graph_range_mode::manual);
    check(GRAPH_CMD_FREQ_AUTO, model_.freq_mode == graph_range_mode::automatic);
    check(GRAPH_CMD_FREQ_MANUAL, model_.freq_mode == graph_range_mode::manual);
    check(GRAPH_CMD_BLACK, model_.background == bode_background::black);
    check(GRAPH_CMD_WHITE, model_.background == bode_background::white);
    check(GRAPH_CMD_CUSTOM, model_.background == bode_background::custom);
    check(GRAPH_CMD_GAIN_CURSOR, model_.gain_cursor_shown);
    check(GRAPH_CMD_PHASE_CURSOR, model_.phase_cursor_shown);
    check(GRAPH_CMD_DIFFERENCE_VIEW, difference_view_);
    update_view_checks();
    for (int i = 0; i < model_.count; ++i) {
        const PlotStyle& s = model_.styles[i];
        const auto id = [i](int base) { return graph_menu_id(base, i); };
        check(id(T_GAIN_VISIBLE), s.gain_visible);
        check(id(T_PHASE_VISIBLE), s.phase_visible);
        for (int w = 0; w < 3; ++w) {
            check(id(T_GAIN_THIN + w), s.gain_weight == w + 1);
            check(id(T_PHASE_THIN + w), s.phase_weight == w + 1);
        }
        check(id(T_GAIN_MARKERS), s.gain_markers);
        check(id(T_PHASE_MARKERS), s.phase_markers);
        check(id(T_HIDDEN), s.markers_hidden);
        for (int c = 0; c < 3; ++c) {
            check(id(T_GAIN_MARKER_BLACK + c), s.gain_marker_colour == c);
            check(id(T_PHASE_MARKER_BLACK + c), s.phase_marker_colour == c);
        }
        for (int c = 0; c <= BODE_COLOR_COUNT; ++c) {
            check(id(GAIN_COLOUR_BASE + c), s.gain_colour == c);
            check(id(PHASE_COLOUR_BASE + c), s.phase_colour == c);
        }
    }
}

void graph_dialog::go_to_crossover(bool gain)
{
    const margin_kind kind = gain ? margin_kind::zero_db : margin_kind::zero_phase;
    const bool found = model_.go_to_crossover(kind);
    rebuild_plot_menu();
    refresh_cursors();
    if (!found)
        ui_message_box(this, margin_none_text(kind), "Tarvelo2", MB_OK | MB_ICONINFORMATION);
}

void graph_dialog::refresh_cursors()
{
    const QSignalBlocker quiet_gain(gain_bar_);
    const QSignalBlocker quiet_phase(phase_bar_);
    gain_bar_->setRange(0, std::max(0, int(model_.gain_cursor_list().size()) - 1));
    phase_bar_->setRange(0, std::max(0, int(model_.phase_cursor_list().size()) - 1));
    gain_bar_->setValue(model_.gain_cursor);
    phase_bar_->setValue(model_.phase_cursor);
}

void graph_dialog::repaint_chart()
{
    update_checks();
    chart_->update();
}

bool graph_dialog::pick_colour(s_rgb& colour)
{
    QColorDialog dialog(bode_qcolor(colour), this);
    for (int i = 0; i < GRAPH_CUSTOM_RING; ++i)
        QColorDialog::setCustomColor(i, bode_qcolor(model_.custom_ring[i]));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QColor c = dialog.selectedColor();
    colour = s_rgb{uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
    return true;
}

void graph_dialog::choose_background()
{
    s_rgb colour = model_.custom_background;
    if (pick_colour(colour))
        model_.set_background(bode_background::custom, colour);
}

void graph_dialog::run_range_dialog(bool frequency)
{
    graph_range_dialog dialog(this, model_, frequency, [this] { repaint_chart(); });
    if (g_range_hook)
        g_range_hook(dialog);
    else
        dialog.exec();
}

void graph_dialog::save_bitmap()
{
    chart_save_as(
        this, "Save to Bitmap",
        [this](QPainter& p, const QRect& r) {
            if (difference_view_ && comparison_)
                graph_paint_difference(p, r, model_, *comparison_, true);
            else
                graph_paint(p, r, model_, true);
        },
        chart_->size());
}

void graph_dialog::per_test_command(int base, int slot)
{
    PlotStyle& s = model_.styles[slot];
    if (base == T_GAIN_VISIBLE)
        s.gain_visible = !s.gain_visible;
    else if (base == T_PHASE_VISIBLE)
        s.phase_visible = !s.phase_visible;
    else if (base >= T_GAIN_THIN && base < T_GAIN_THIN + 3)
        s.gain_weight = base - T_GAIN_THIN + 1;
    else if (base >= T_PHASE_THIN && base < T_PHASE_THIN + 3)
        s.phase_weight = base - T_PHASE_THIN + 1;
    else if (base == T_GAIN_MARKERS)
        s.gain_markers = !s.gain_markers;
    else if (base == T_PHASE_MARKERS)
        s.phase_markers = !s.phase_markers;
    else if (base == T_HIDDEN)
        s.markers_hidden = !s.markers_hidden;
    else if (base == T_WHOLE_RANGE || base == T_FILTERED)
        s.whole_range = base == T_WHOLE_RANGE;
    else if (base >= T_GAIN_MARKER_BLACK && base < T_GAIN_MARKER_BLACK + 3) {
        if (base - T_GAIN_MARKER_BLACK < GRAPH_MARKER_CUSTOM || pick_colour(s.custom_gain_marker))
            s.gain_marker_colour = base - T_GAIN_MARKER_BLACK;
    } else if (base >= T_PHASE_MARKER_BLACK && base < T_PHASE_MARKER_BLACK + 3) {
        if (base - T_PHASE_MARKER_BLACK < GRAPH_MARKER_CUSTOM || pick_colour(s.custom_phase_marker))
            s.phase_marker_colour = base - T_PHASE_MARKER_BLACK;
    } else if (base >= GAIN_COLOUR_BASE && base <= GAIN_COLOUR_BASE + BODE_COLOR_COUNT) {
        if (base - GAIN_COLOUR_BASE < BODE_COLOR_CUSTOM || pick_colour(s.custom_gain))
            s.gain_colour = base - GAIN_COLOUR_BASE;
    } else if (base >= PHASE_COLOUR_BASE && base <= PHASE_COLOUR_BASE + BODE_COLOR_COUNT) {
        if (base - PHASE_COLOUR_BASE < BODE_COLOR_CUSTOM || pick_colour(s.custom_phase))
            s.phase_colour = base - PHASE_COLOUR_BASE;
    }
    refresh_cursors();
}

void graph_dialog::on_command(int id, intptr_t)
{
    int base = 0, slot = 0;
    if (graph_menu_split(id, base, slot)) {
        if (slot < model_.count)
            per_test_command(base, slot);
        repaint_chart();
        return;
    }
    if (switch_view(id)) {
        difference_view_ = false; // a chart of the tests replaces the differences
        repaint_chart();
        return;
    }
    switch (id) {
    case GRAPH_CMD_CLOSE: close(); return;
    case GRAPH_CMD_SAVE_BMP: save_bitmap(); return;
    case GRAPH_CMD_CLIPBOARD:
        QApplication::clipboard()->setImage(render(chart_->size(), true));
        return;
    case GRAPH_CMD_LOG: model_.log_scaling = true; break;
    case GRAPH_CMD_LINEAR: model_.log_scaling = false; break;
    case GRAPH_CMD_GAIN_AUTO: model_.auto_gain_range(); break;
    case GRAPH_CMD_GAIN_CENTRE: model_.centre_gain_range(); break;
    case GRAPH_CMD_GAIN_MANUAL: run_range_dialog(false); break;
    case GRAPH_CMD_FREQ_AUTO: model_.auto_freq_range(); break;
    case GRAPH_CMD_FREQ_MANUAL: run_range_dialog(true); break;
    case GRAPH_CMD_BLACK: model_.set_background(bode_background::black); break;
    case GRAPH_CMD_WHITE: model_.set_background(bode_background::white); break;
    case GRAPH_CMD_CUSTOM: choose_background(); break;
    case GRAPH_CMD_GAIN_CURSOR: model_.gain_cursor_shown = !model_.gain_cursor_shown; break;
    case GRAPH_CMD_PHASE_CURSOR: model_.phase_cursor_shown = !model_.phase_cursor_shown; break;
    case GRAPH_CMD_FIND_MARGINS:
        model_.find_margins();
        rebuild_plot_menu();
        refresh_cursors();
        break;
    case GRAPH_CMD_FILTER_NOISE:
        model_.filter_noise();
        rebuild_plot_menu();
        refresh_cursors();
        break;
    case GRAPH_CMD_GO_GAIN_CROSSOVER:
    case GRAPH_CMD_GO_PHASE_CROSSOVER: go_to_crossover(id == GRAPH_CMD_GO_GAIN_CROSSOVER); break;
    case GRAPH_CMD_COMPARE: compare_with_reference(); return;
    case GRAPH_CMD_DIFFERENCE_VIEW:
        difference_view_ = !difference_view_ && graph_can_compare(model_);
        if (difference_view_)
            comparison();
        break;
    case 123: break;
    default: return;
    }
    repaint_chart();
}

QImage graph_dialog::render(QSize size, bool for_file) const
{
    if (difference_view_ && comparison_)
        return graph_render_difference(model_, *comparison_, size, for_file);
    return graph_render(model_, size, for_file);
}

graph_compare_box* graph_dialog::compare_box() const
{
    return compare_box_;
}

const s_graph_comparison& graph_dialog::comparison()
{
    if (!comparison_)
        comparison_ = graph_compare_with_reference(model_);
    return *comparison_;
}

void graph_dialog::compare_with_reference()
{
    if (!graph_can_compare(model_))
        return;
    delete compare_box_;
    compare_box_ = new graph_compare_box(this, comparison());
    compare_box_->setAttribute(Qt::WA_DeleteOnClose);
    compare_box_->show();
}

// The comparison report of the tests as the chart shows them now.
void graph_dialog::print(print_action action)
{
    print_run(this, action, report_printout(compare_report(model_, report_details_)));
}

void graph_dialog_open(QWidget* owner, const std::vector<int>& test_keys)
{
    if (graph_dialog* open = graph_dialog::current()) {
        open->close();
        delete open; // closed windows are deleted later; only one may exist
    }
    graph_model model;
    int32_t convention = 0;
    config_current().get_int(PHASE_CONVENTION_PARAM, convention);
    model.phase_base = bode_phase_base(convention);
    // Nine tests of many points are read while the window keeps answering;
    // Cancel opens no graph.
    int loaded = -1;
    std::vector<report_field> details;
    const exchange_outcome read =
        run_off_window("Reading the tests\x85", [&](const std::atomic<bool>&) {
            loaded = model.load(test_keys);
            if (loaded > 0)
                details = compare_report_details(test_keys.front());
            return loaded >= 0;
        });
    if (read != exchange_outcome::done || loaded < 0)
        return;
    auto* dialog = new graph_dialog(owner, std::move(model), std::move(details));
    dialog->show();
}
