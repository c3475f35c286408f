// Tarvelo2 — the desktop companion of the HXM phase-sensitive multimeters.

#include "app/ui/main_window.h"
#include "base/ui/mode_windows.h"
#include "base/ui/qt_seams.h"
#include "config/ui/capture_window.h"
#include "config/ui/config_window.h"
#include "fra/ui/fra_export_ui.h"
#include "fra/ui/fra_window.h"
#include "link/ui/connect_dialog.h"
#include "office/ui/desktop_opener.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    qt_command_dispatcher dispatcher;
    qt_ui_backend ui;
    set_command_dispatcher(&dispatcher);
    ui_set_backend(&ui);

    set_connection_dialog(run_connect_dialog);
    set_mode_window_factory("QXTarvelo2ConfigWClass", make_config_window);
    fra_register_windows();
    fra_register_exporters();
    capture_register_window();
    office_use_desktop_opener();

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
