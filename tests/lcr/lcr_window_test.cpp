// The LCR window and its results view inside the main window, against the
// simulator. With LCR_SCREENSHOT_DIR set, the REALTIME (11 and 14 values),
// GRAPH (both models, log/linear, both backgrounds) and TABLE views are
// saved there as PNG files for a person to look at.

#include "base/command_ids.h"
#include "base/control_table.h"
#include "base/ui/control_windows.h"
#include "db/ui/test_details_dialog.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_realtime.h"
#include "lcr/ui/lcr_plot.h"
#include "lcr/ui/lcr_results_view.h"
#include "lcr/ui/lcr_window.h"
#include "sweep/realtime_limits.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/sim_window_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

namespace {

// Answers the LCR Test Details dialog when it opens: a single sweep, or a
// repeating test of count sweeps; with a count the form rejects, the
// dialog is closed after its messages.
void answer_details(const char* count = nullptr)
{
    QTimer::singleShot(50, [count] {
        auto* d = qobject_cast<test_details_dialog*>(QApplication::activeModalWidget());
        if (!d) {
            answer_details(count);
            return;
        }
        if (count) {
            d->set_repeating(true);
            qobject_cast<QLineEdit*>(d->control(1064))->setText(count);
        }
        d->press_start();
        if (d->isVisible())
            d->reject();
    });
}

// The series timer fires after a second and a half instead of minutes.
int quick_timer(double, command_target* target, int message, command_target*, bool)
{
    QTimer::singleShot(1500, [target, message] { post_command(target, message); });
    return 1;
}
bool quick_cancel(int)
{
    return true;
}

bool enabled(int id)
{
    return control_by_id(id)->isEnabled();
}

class LcrWindow : public sim_window_fixture {
protected:
    void start(sim::sim_model model = sim::sim_model::hxm4100, int reading_values = 11)
    {
        sim::sim_options options = loopback_options();
        options.instrument.model = model;
        options.instrument.lcr_reading_values = reading_values;
        start_main(options, lcr_register_windows);
        post_command(main.get(), CMD_MODE_LCR);
        QApplication::processEvents();
        lcr = qobject_cast<lcr_window*>(main->mode_window(ROW_LCR));
        ASSERT_TRUE(lcr);
        ASSERT_TRUE(lcr->view_window());
        lcr->set_timer_hooks({quick_timer, quick_cancel});
    }
    void click(int id)
    {
        post_command(lcr, id, 0);
        QApplication::processEvents();
    }
    void sweep_once()
    {
        answer_details();
        click(CMD_LCR_SWEEP);
        ASSERT_TRUE(wait_for([this] { return lcr->results().count == 100; }));
        ASSERT_TRUE(wait_for([] { return !QApplication::activeModalWidget(); }));
        QApplication::processEvents();
    }
    void shot(const char* name) { sim_window_fixture::shot("LCR_SCREENSHOT_DIR", name); }

    lcr_window* lcr = nullptr;
};

} // namespace

TEST_F(LcrWindow, SweepFillsListAndGraphThenClearEmptiesThem)
{
    start();
    sweep_once();
    EXPECT_EQ(control_text(CMD_LCR_SWEEP), "CLEAR");
    EXPECT_EQ(lcr->results().layout, LCR_LAYOUT_STANDARD);
    auto* list = qobject_cast<QTreeWidget*>(control_by_id(CMD_LCR_LIST));
    ASSERT_EQ(list->topLevelItemCount(), 100);
    ASSERT_EQ(list->columnCount(), 9);
    EXPECT_EQ(list->headerItem()->text(4), "Impedance (Ohms)");
    EXPECT_EQ(list->headerItem()->text(3),
              QString::fromUtf8("tan \u03b4")); // shown, not the table byte
    EXPECT_EQ(list->topLevelItem(0)->text(1), "10.0000");
    EXPECT_LT(list->columnWidth(0), list->columnWidth(1));
    EXPECT_TRUE(std::filesystem::exists(main->paths().data_folder + "/sweep1.dat"));
    // The boxes offer the layout's quantities: Q on the left, tan delta right.
    EXPECT_EQ(qobject_cast<QComboBox*>(control_by_id(CMD_LCR_LEFT_QUANTITY))->currentText(), "Q");
    EXPECT_EQ(lcr->view_window()->state().cursor[1], 99);
    const std::set<std::string> others{"Configure", "FRA", "Piezo", "Capture"};
    EXPECT_EQ(greyed_menus(), others);
    shot("lcr_graph_4100");
    click(CMD_LCR_VIEW_TABLE);
    QApplication::processEvents();
    EXPECT_TRUE(list->isVisible());
    shot("lcr_table");
    click(CMD_LCR_VIEW_GRAPH);

    click(CMD_LCR_SWEEP);
    EXPECT_EQ(control_text(CMD_LCR_SWEEP), "SWEEP");
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(lcr->results().count, 0);
    EXPECT_TRUE(greyed_menus().empty());
    EXPECT_TRUE(ui.shown().empty());
}

// The graph's plot and labels stay clear of the controls in the band below
// them; the traces are drawn in their colours.
TEST_F(LcrWindow, GraphControlsLeaveThePlotFree)
{
    start(sim::sim_model::hxm6300);
    sweep_once();
    EXPECT_EQ(lcr->results().layout, LCR_LAYOUT_FULL);
    lcr_results_view* view = lcr->view_window();
    const s_plot_rect plot = view->plot_area();
    const QPoint origin = view->contentsRect().topLeft();
    for (int id = CMD_LCR_CURSOR_LEFT; id <= CMD_LCR_BACKGROUND; ++id) {
        QWidget* c = control_by_id(id);
        ASSERT_TRUE(c->isVisible()) << id;
        // The readouts sit 43 above the band, the frequency title 70.
        EXPECT_GE(c->geometry().top() - origin.y(), plot.bottom + 70) << id;
    }
    const QImage graph = view->render_graph(view->contentsRect().size());
    int red = 0;
    for (int x = plot.left; x < plot.right; ++x)
        for (int y = plot.top; y < plot.bottom; ++y)
            red += graph.pixel(x, y) == LCR_LEFT_TRACE;
    EXPECT_GT(red, plot.width() / 2);
    shot("lcr_graph_6300_log_black");
    auto* scaling = qobject_cast<QComboBox*>(control_by_id(CMD_LCR_SCALING));
    auto* background = qobject_cast<QComboBox*>(control_by_id(CMD_LCR_BACKGROUND));
    scaling->setCurrentIndex(1);
    background->setCurrentIndex(1);
    // The boxes report to the view they sit in.
    post_command(view, CMD_LCR_SCALING);
    post_command(view, CMD_LCR_BACKGROUND);
    QApplication::processEvents();
    EXPECT_EQ(view->state().scaling, 1);
    EXPECT_EQ(view->state().background, 1);
    EXPECT_EQ(lcr->picture().pixel(plot.left + 1, plot.top + 1), 0xFFFFFFFFu);
    // PNG and SVG files are painted by the same code as the picture.
    QImage painted(lcr->picture().size(), QImage::Format_RGB32);
    {
        QPainter p(&painted);
        lcr->picture_painter()(p, painted.rect());
    }
    EXPECT_EQ(painted, lcr->picture());
    shot("lcr_graph_6300_linear_white");
}

// One link, two threads: no sweep under realtime readings, no realtime
// under a sweep or series; each button is greyed while it would be refused,
// and the main window's panel and buttons with them.
TEST_F(LcrWindow, RealtimeAndSweepsExcludeEachOther)
{
    for (const int values : {11, 14}) {
        start(sim::sim_model::hxm6300, values);
        click(CMD_LCR_VIEW_REALTIME);
        click(CMD_LCR_START);
        EXPECT_EQ(control_text(CMD_LCR_START), "STOP");
        ASSERT_TRUE(wait_for([this] { return lcr->displayed()[0] > 0; }));
        pump();
        EXPECT_EQ(lcr->reading_type(), values == 14 ? 4 : 3);
        EXPECT_FALSE(enabled(CMD_LCR_SWEEP));
        EXPECT_FALSE(enabled(CMD_READ_HXM));
        EXPECT_FALSE(main->mode_window(ROW_CONFIG)->isEnabled());
        click(CMD_LCR_SWEEP); // refused: no dialog opens
        EXPECT_FALSE(QApplication::activeModalWidget());
        EXPECT_EQ(control_text(CMD_LCR_SWEEP), "SWEEP");
        const QImage cells = lcr->view_window()->grab().toImage();
        EXPECT_EQ(cells.pixel(cells.width() / 8, cells.height() * 2 / 7), 0xFF000000u);
        shot(values == 14 ? "lcr_realtime_14" : "lcr_realtime_11");
        click(CMD_LCR_START);
        EXPECT_EQ(control_text(CMD_LCR_START), "START");
        pump();
        EXPECT_TRUE(enabled(CMD_LCR_SWEEP));
        EXPECT_TRUE(enabled(CMD_READ_HXM));
        main.reset();
        server->stop();
    }
}

TEST_F(LcrWindow, SeriesGreysStartAndEndsAfterItsSweeps)
{
    start();
    answer_details("2");
    click(CMD_LCR_SWEEP);
    ASSERT_TRUE(wait_for([this] { return lcr->series().button_state == SWEEP_BUTTON_CANCEL; }));
    EXPECT_EQ(control_text(CMD_LCR_SWEEP), "CANCEL");
    EXPECT_TRUE(control_by_id(CMD_LCR_SWEEP_NO)->isVisible());
    ASSERT_TRUE(wait_for([] { return !QApplication::activeModalWidget(); }));
    pump();
    EXPECT_FALSE(enabled(CMD_LCR_START));
    click(CMD_LCR_START); // refused while the series runs
    EXPECT_FALSE(lcr->realtime_running());
    ASSERT_TRUE(wait_for([this] { return lcr->series().button_state == SWEEP_BUTTON_CLEAR; }));
    pump();
    EXPECT_EQ(control_text(CMD_LCR_SWEEP_NO), "2/2");
    EXPECT_EQ(control_text(CMD_LCR_SWEEP), "CLEAR");
    EXPECT_TRUE(enabled(CMD_LCR_START));
    EXPECT_TRUE(std::filesystem::exists(main->paths().data_folder + "/sweep2.dat"));
    click(CMD_LCR_SWEEP);
    EXPECT_FALSE(control_by_id(CMD_LCR_SWEEP_NO)->isVisible());
}

// The LCR form has no database part; a bad count shows its message and
// then the total-time one, and no sweep starts.
TEST_F(LcrWindow, TestDetailsRefusesBadCounts)
{
    start();
    const struct {
        const char* count;
        std::vector<std::string> texts;
    } cases[] = {
        {"1", {"Repeating tests must have more than one sweep", "Invalid Total Test Time"}},
        {"100", {"Repeating tests must have less than 99 sweeps", "Invalid Total Test Time"}},
        {"", {"Repeating tests must have more than one sweep", "Invalid Total Test Time"}},
    };
    for (const auto& c : cases) {
        ui.clear();
        answer_details(c.count);
        click(CMD_LCR_SWEEP);
        ASSERT_TRUE(wait_for([] { return !QApplication::activeModalWidget(); }));
        ASSERT_EQ(ui.shown().size(), c.texts.size()) << c.count;
        for (size_t i = 0; i < c.texts.size(); ++i)
            EXPECT_EQ(ui.shown()[i].text, c.texts[i]) << c.count;
        EXPECT_EQ(control_text(CMD_LCR_SWEEP), "SWEEP") << c.count;
    }
    s_test_details details;
    test_details_dialog form(nullptr, details, nullptr);
    EXPECT_FALSE(form.control(1005));
}

namespace {
int exported = -1;
void record_export(QWidget*, const LcrResults& results, const s_sweep_series&)
{
    exported = results.count;
}
} // namespace

// EXPORT stays greyed until an export registers; then it gets the results.
// A realtime run that gives up stops and says why.
TEST_F(LcrWindow, ExportHookAndRealtimeGivingUp)
{
    start();
    sweep_once();
    EXPECT_FALSE(enabled(CMD_LCR_EXPORT));
    lcr_set_export_hook(record_export);
    post_command(main.get(), CMD_MAIN_REFRESH);
    pump();
    EXPECT_TRUE(enabled(CMD_LCR_EXPORT));
    click(CMD_LCR_EXPORT);
    EXPECT_EQ(exported, 100);
    lcr_set_export_hook(nullptr);

    click(CMD_LCR_START);
    ASSERT_TRUE(lcr->realtime_running());
    post_command(lcr, CMD_LCR_REALTIME_FAILED);
    pump();
    EXPECT_FALSE(lcr->realtime_running());
    EXPECT_EQ(control_text(CMD_LCR_START), "START");
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, TEXT_REALTIME_FAILED);
}

// An accepted instrument without realtime LCR readings: START does not leave
// a thread idling for ever; realtime stops again and the user is told why.
TEST_F(LcrWindow, RealtimeRefusedWithoutReadingsOnTheInstrument)
{
    start();
    link_set_type(g_link, 10);
    click(CMD_LCR_START);
    ASSERT_TRUE(wait_for([this] { return !lcr->realtime_running(); }, 5000));
    pump();
    EXPECT_EQ(control_text(CMD_LCR_START), "START");
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, TEXT_LCR_REALTIME_UNSUPPORTED);
}
