// The piezo window inside the main window, against the simulator. With
// PIEZO_SCREENSHOT_DIR set, the window after a sweep and after a refused
// sweep is saved there as PNG files for a person to look at.

#include "base/command_ids.h"
#include "base/control_table.h"
#include "base/ui/control_windows.h"
#include "lcr/ui/piezo_window.h"
#include "tests/support/sim_window_fixture.h"

#include <QMenuBar>
#include <QPainter>

namespace {

class PiezoWindow : public sim_window_fixture {
protected:
    void start(const char* dut)
    {
        sim::sim_options options = loopback_options();
        std::string error;
        if (dut)
            options.instrument.lcr = *sim::parse_lcr_dut(dut, error);
        start_main(options, piezo_register_windows);
        post_command(main.get(), CMD_MODE_PIEZO);
        QApplication::processEvents();
        piezo = dynamic_cast<piezo_window*>(main->mode_window(ROW_PIEZO));
        ASSERT_TRUE(piezo);
    }
    void sweep()
    {
        post_command(piezo, CMD_PIEZO_START);
        ASSERT_TRUE(wait_for([this] { return piezo->results().count == 100; }));
        ASSERT_TRUE(wait_for([] { return !QApplication::activeModalWidget(); }));
        QApplication::processEvents();
    }
    void shot(const char* name) { sim_window_fixture::shot("PIEZO_SCREENSHOT_DIR", name); }

    piezo_window* piezo = nullptr;
};

} // namespace

TEST_F(PiezoWindow, SweepAnalysesThenClearEmpties)
{
    start(nullptr);
    EXPECT_EQ(control_text(15241), "Start Sweep");
    sweep();
    EXPECT_EQ(control_text(15241), "Clear");
    EXPECT_EQ(control_text(15242), "Export");
    for (const int box : {15245, 15247, 15249, 15251})
        EXPECT_FALSE(control_text(box).isEmpty()) << box;
    EXPECT_TRUE(ui.shown().empty());
    // Only the piezo mode stays open until Clear.
    const QList<QAction*> menus = main->menuBar()->actions();
    for (const int position : {0, 1, 2, 3, 4, 5})
        EXPECT_EQ(menus[position]->isEnabled(), position == 4) << position;
    shot("piezo_sweep");
    // PNG and SVG files are painted by the same code as the picture.
    QImage painted(piezo->picture().size(), QImage::Format_RGB32);
    {
        QPainter p(&painted);
        piezo->picture_painter()(p, painted.rect());
    }
    EXPECT_EQ(painted, piezo->picture());
    post_command(piezo, CMD_PIEZO_START);
    QApplication::processEvents();
    EXPECT_EQ(control_text(15241), "Start Sweep");
    EXPECT_TRUE(control_text(15245).isEmpty());
    EXPECT_EQ(piezo->results().count, 0);
    for (QAction* menu : main->menuBar()->actions())
        EXPECT_TRUE(menu->isEnabled());
}

TEST_F(PiezoWindow, RefusedSweepKeepsThePointsAndSaysWhy)
{
    start("parallel:R=1k,C=100n");
    sweep();
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].caption, "Tarvelo2");
    EXPECT_NE(ui.shown()[0].text.find("No resonance found in the sweep"), std::string::npos);
    for (const int box : {15245, 15247, 15249, 15251})
        EXPECT_TRUE(control_text(box).isEmpty()) << box;
    EXPECT_EQ(piezo->results().count, 100);
    shot("piezo_refused");
}
