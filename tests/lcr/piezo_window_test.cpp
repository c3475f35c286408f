// The piezo window inside the main window, against the simulator. With
// PIEZO_SCREENSHOT_DIR set, the window after a sweep and after a refused
// sweep is saved there as PNG files for a person to look at.

#include "base/command_ids.h"
#include "base/control_table.h"
#include "base/ui/control_windows.h"
#include "db/ui/export_tests_dialog.h"
#include "lcr/ui/piezo_window.h"
#include "tests/support/sim_window_fixture.h"

#include <QAbstractButton>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>

namespace {

class PiezoWindow : public sim_window_fixture {
protected:
    void start(const char* dut)
    {
        sim::sim_options options = loopback_options();
        std::string error;
        if (dut)
            options.instrument.lcr = *sim::parse_lcr_dut(dut, error);
        start(options);
    }
    void start(const sim::sim_options& options)
    {
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
    const std::set<std::string> others{"Configure", "Display", "FRA", "LCR", "Capture"};
    EXPECT_EQ(greyed_menus(), others);
    shot("piezo_sweep");
    // Log Impedance, on at first, switches the impedance axis to linear.
    auto* log = qobject_cast<QAbstractButton*>(control_by_id(CMD_PIEZO_LOG_IMPEDANCE));
    ASSERT_TRUE(log && log->isChecked() && piezo->plot_inputs().log_impedance);
    log->click();
    QApplication::processEvents();
    EXPECT_FALSE(piezo->plot_inputs().log_impedance);
    // Export opens the dialog's piezo form: no format choice; Cancel ends it.
    ASSERT_TRUE(control_by_id(CMD_PIEZO_IMPORT)->isEnabled());
    bool asked = false;
    QTimer::singleShot(100, [&] {
        auto* d = qobject_cast<export_tests_dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        asked = true;
        EXPECT_FALSE(d->control(EXPORT_EXCEL)->isVisible());
        EXPECT_FALSE(d->control(EXPORT_REMOVE_ZEROS)->isEnabled());
        if (const char* out = std::getenv("PIEZO_SCREENSHOT_DIR"))
            d->grab().save(QString("%1/piezo_export_form.png").arg(out));
        d->control(2)->click();
    });
    post_command(piezo, CMD_PIEZO_IMPORT);
    ASSERT_TRUE(wait_for([&] { return asked; }));
    EXPECT_TRUE(ui.shown().empty());
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

// The link lost in the middle of a sweep that forced the measured quantity
// (137) from Capacitance to Impedance: the window says that it could not be
// set back, and to which value it has to go.
TEST_F(PiezoWindow, ALostLinkSaysTheMeasuredQuantityToSetBack)
{
    sim::sim_options options = loopback_options();
    options.instrument.model = sim::sim_model::hxm6300;
    options.faults.disconnect_on = {"DAV?"};
    start(options);
    server->instrument().execute("config,137,1");
    post_command(piezo, CMD_PIEZO_START);
    const auto told = [this] {
        for (const ui_shown_box& box : ui.shown())
            if (box.text.find("(137) could not be set back") != std::string::npos)
                return box.text;
        return std::string();
    };
    ASSERT_TRUE(wait_for([&] { return !told().empty(); })) << ui.shown().size();
    EXPECT_NE(told().find("it is left at Impedance.\nSet it back to Capacitance (1)"),
              std::string::npos)
        << told();
    EXPECT_EQ(server->instrument().execute("config,137?").lines, std::vector<std::string>{"3"});
    EXPECT_TRUE(wait_for([] { return !QApplication::activeModalWidget(); }));
}
