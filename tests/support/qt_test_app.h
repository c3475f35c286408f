#pragma once
// One QApplication for a window test program, with the Qt command
// dispatcher and a scripted user interface that records every message box.

#include "base/app_settings.h"
#include "base/profile_file.h"
#include "base/ui/interface_font.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"

#include <QApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <functional>
#include <string>

inline scripted_ui& test_ui()
{
    static scripted_ui ui;
    return ui;
}

inline void ensure_qt_app()
{
    static int argc = 1;
    static char name[] = "tarvelo-test";
    static char* argv[] = {name, nullptr};
    static QApplication* app = nullptr;
    if (app)
        return;
    app = new QApplication(argc, argv);
    use_interface_font(); // the windows look alike on every machine
    static qt_command_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    ui_set_backend(&test_ui());
}

// Runs the event loop until pred holds or timeout_ms pass; true when it held.
inline bool wait_until(const std::function<bool()>& pred, int timeout_ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeout_ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

inline void pump()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// A settings file under the data root that keeps the LAN search on the
// loopback network.
inline void prepare_test_settings(const std::string& data_root)
{
    const s_app_paths p = app_paths(data_root);
    std::filesystem::create_directories(p.data_folder);
    profile_write(p.settings_file, "Init", "Created", "00:00:00 1/1/2026");
    profile_write(p.settings_file, "Connect", "DiscoveryAddress", "127.255.255.255");
}

// A fresh folder under the system's temporary folder, removed afterwards.
class temp_folder {
public:
    explicit temp_folder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                (name + "_" + std::to_string(QCoreApplication::applicationPid())))
    {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~temp_folder() { std::filesystem::remove_all(path_); }
    std::string str() const { return path_.string(); }
    std::filesystem::path operator/(const std::string& rel) const { return path_ / rel; }

private:
    std::filesystem::path path_;
};
