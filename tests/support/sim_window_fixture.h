#pragma once
// A mode window inside the main window, against the simulated instrument
// on the loopback network: one application for the program, the Qt command
// dispatcher, a scripted user interface that records every message box, a
// temporary data folder, the simulator and an identified link to it.

#include "app/ui/main_window.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "link/identify.h"
#include "link/link.h"
#include "sim/server.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenuBar>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>

// One application for the program, never destroyed: Qt's own objects must
// not be torn down by the exit handlers after the platform is gone.
inline QApplication& window_test_app()
{
    static int argc = 1;
    static char name[] = "window_test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

inline bool wait_for(const std::function<bool()>& done, int ms = 30000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class sim_window_fixture : public ::testing::Test {
protected:
    // The simulator's options with an ephemeral loopback port and no
    // waiting on the wire.
    static sim::sim_options loopback_options()
    {
        sim::sim_options options;
        options.tcp_host = "127.0.0.1";
        options.tcp_port = 0;
        options.instrument.time_scale = 0;
        return options;
    }

    // Starts the simulator, registers the windows and opens the main window
    // connected to the simulator (start-up fills the connection record from
    // the settings: it is pointed at the simulator afterwards).
    void start_main(const sim::sim_options& options, const std::function<void()>& register_windows)
    {
        window_test_app();
        set_command_dispatcher(&dispatcher);
        ui_set_backend(&ui);
        char pattern[] = "/tmp/tarvelo-window-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        server = std::make_unique<sim::sim_server>(options);
        server->start();
        register_windows();
        main = std::make_unique<main_window>(dir, dir);
        link_set_tcp_port(server->tcp_port());
        g_link.interface = LINK_LAN;
        g_link.ip_address = "127.0.0.1";
        g_link.identified = connect_and_identify(nullptr, g_link, false);
        ASSERT_TRUE(g_link.identified);
        main->resize(1024, 700);
        main->show();
        QApplication::processEvents();
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
        if (!dir.empty())
            std::filesystem::remove_all(dir);
    }

    // With the environment variable dir_variable naming a folder, the main
    // window is saved there as name.png for a person to look at.
    void shot(const char* dir_variable, const char* name)
    {
        QApplication::processEvents();
        if (const char* out = std::getenv(dir_variable))
            main->grab().save(QString("%1/%2.png").arg(out, name));
    }

    // The titles of the menu bar's greyed menus, without their '&'.
    std::set<std::string> greyed_menus() const
    {
        std::set<std::string> greyed;
        for (QAction* a : main->menuBar()->actions())
            if (!a->isEnabled())
                greyed.insert(a->text().remove(QLatin1Char('&')).toStdString());
        return greyed;
    }

    qt_command_dispatcher dispatcher;
    scripted_ui ui;
    std::string dir;
    std::unique_ptr<sim::sim_server> server;
    std::unique_ptr<main_window> main;
};
