// The piezo window inside the main window, against the simulator. With
// PIEZO_SCREENSHOT_DIR set, the window after a sweep and after a refused
// sweep is saved there as PNG files for a person to look at.

#include "app/ui/main_window.h"
#include "base/command_ids.h"
#include "base/control_table.h"
#include "base/ui/control_windows.h"
#include "base/ui/qt_seams.h"
#include "db/ui/export_tests_dialog.h"
#include "lcr/ui/piezo_window.h"
#include "link/identify.h"
#include "link/link.h"
#include "sim/server.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "piezo_window_test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

bool wait_for(const std::function<bool()>& done, int ms = 30000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QString text_of(int id)
{
    if (auto* b = qobject_cast<QAbstractButton*>(control_by_id(id)))
        return b->text();
    if (auto* e = qobject_cast<QLineEdit*>(control_by_id(id)))
        return e->text();
    return "?";
}

class PiezoWindow : public ::testing::Test {
protected:
    void start(const char* dut)
    {
        app();
        set_command_dispatcher(&dispatcher);
        ui_set_backend(&ui);
        char pattern[] = "/tmp/tarvelo-piezo-ui-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        sim::sim_options options;
        options.tcp_host = "127.0.0.1";
        options.tcp_port = 0;
        options.instrument.time_scale = 0;
        std::string error;
        if (dut)
            options.instrument.lcr = *sim::parse_lcr_dut(dut, error);
        server = std::make_unique<sim::sim_server>(options);
        server->start();
        piezo_register_windows();
        main = std::make_unique<main_window>(dir, dir);
        link_set_tcp_port(server->tcp_port());
        g_link.interface = LINK_LAN;
        g_link.ip_address = "127.0.0.1";
        g_link.identified = connect_and_identify(nullptr, g_link, false);
        ASSERT_TRUE(g_link.identified);
        main->resize(1024, 700);
        main->show();
        post_command(main.get(), CMD_MODE_PIEZO);
        QApplication::processEvents();
        piezo = dynamic_cast<piezo_window*>(main->mode_window(ROW_PIEZO));
        ASSERT_TRUE(piezo);
    }
    void TearDown() override
    {
        main.reset();
        if (server)
            server->stop();
        g_link = s_link{};
        link_set_tcp_port(LINK_DEFAULT_TCP_PORT);
        ui_set_backend(nullptr);
        set_command_dispatcher(nullptr);
        std::filesystem::remove_all(dir);
    }
    void sweep()
    {
        post_command(piezo, 15241);
        ASSERT_TRUE(wait_for([this] { return piezo->results().count == 100; }));
        ASSERT_TRUE(wait_for([] { return !QApplication::activeModalWidget(); }));
        QApplication::processEvents();
    }
    void shot(const char* name)
    {
        QApplication::processEvents();
        if (const char* out = std::getenv("PIEZO_SCREENSHOT_DIR"))
            main->grab().save(QString("%1/%2.png").arg(out, name));
    }

    qt_command_dispatcher dispatcher;
    scripted_ui ui;
    std::string dir;
    std::unique_ptr<sim::sim_server> server;
    std::unique_ptr<main_window> main;
    piezo_window* piezo = nullptr;
};

} // namespace

TEST_F(PiezoWindow, SweepAnalysesThenClearEmpties)
{
    start(nullptr);
    EXPECT_EQ(text_of(15241), "Start Sweep");
    sweep();
    EXPECT_EQ(text_of(15241), "Clear");
    EXPECT_EQ(text_of(15242), "Export");
    for (const int box : {15245, 15247, 15249, 15251})
        EXPECT_FALSE(text_of(box).isEmpty()) << box;
    EXPECT_TRUE(ui.shown().empty());
    shot("piezo_sweep");
    // Export opens the dialog's piezo form: no format choice; Cancel ends it.
    ASSERT_TRUE(control_by_id(15242)->isEnabled());
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
    post_command(piezo, 15242);
    ASSERT_TRUE(wait_for([&] { return asked; }));
    EXPECT_TRUE(ui.shown().empty());
    post_command(piezo, 15241);
    QApplication::processEvents();
    EXPECT_EQ(text_of(15241), "Start Sweep");
    EXPECT_TRUE(text_of(15245).isEmpty());
    EXPECT_EQ(piezo->results().count, 0);
}

TEST_F(PiezoWindow, RefusedSweepKeepsThePointsAndSaysWhy)
{
    start("parallel:R=1k,C=100n");
    sweep();
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].caption, "Tarvelo2");
    EXPECT_NE(ui.shown()[0].text.find("No resonance found in the sweep"), std::string::npos);
    for (const int box : {15245, 15247, 15249, 15251})
        EXPECT_TRUE(text_of(box).isEmpty()) << box;
    EXPECT_EQ(piezo->results().count, 100);
    shot("piezo_refused");
}
