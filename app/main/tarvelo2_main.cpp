// Tarvelo2 — the desktop companion of the HXM phase-sensitive multimeters.

#include "app/command_line.h"
#include "app/ui/main_window.h"
#include "base/ui/interface_font.h"
#include "base/ui/mode_windows.h"
#include "base/ui/qt_seams.h"
#include "config/ui/capture_window.h"
#include "config/ui/config_window.h"
#include "db/ui/db_form_windows.h"
#include "fra/ui/fra_window.h"
#include "lcr/ui/lcr_export_ui.h"
#include "lcr/ui/lcr_window.h"
#include "lcr/ui/piezo_window.h"
#include "link/ui/connect_dialog.h"
#include "office/ui/desktop_opener.h"
#include "review/ui/graph_dialog.h"
#include "review/ui/tests_export_ui.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>

namespace {

// Answers --help, --version and a bad command line without a display; -1
// when the window should open.
int answer_command_line(int argc, char** argv)
{
    const s_app_command_line cl = app_parse_command_line({argv + 1, argv + argc});
    switch (cl.action) {
    case app_start::help: std::printf("%s", app_usage("tarvelo2").c_str()); return 0;
    case app_start::version: std::printf("tarvelo2 %s\n", TARVELO_VERSION); return 0;
    case app_start::usage_error:
        std::fprintf(stderr, "tarvelo2: %s\n%s", cl.message.c_str(), app_usage("tarvelo2").c_str());
        return 2;
    default: return -1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (const int rc = answer_command_line(argc, argv); rc >= 0)
        return rc;
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(TARVELO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tarvelo2")); // the installed menu entry
    use_interface_font();
    qt_command_dispatcher dispatcher;
    qt_ui_backend ui;
    set_command_dispatcher(&dispatcher);
    ui_set_backend(&ui);

    set_connection_dialog(run_connect_dialog);
    set_mode_window_factory("QXTarvelo2ConfigWClass", make_config_window);
    fra_register_windows();
    lcr_register_windows();
    piezo_register_windows();
    review_register_exporters();
    lcr_register_exporters();
    capture_register_window();
    office_use_desktop_opener();
    db_register_windows();
    db_set_graph_opener(graph_dialog_open);

    int rc = 0;
    {
        const QString data_root =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        main_window window(data_root.toStdString(), QDir::currentPath().toStdString());
        window.show();
        rc = app.exec();
    }
    ui_set_backend(nullptr);
    set_command_dispatcher(nullptr);
    return rc;
}
