// Tarvelo2 — the desktop companion of the HXM phase-sensitive multimeters.

#include "app/ui/main_window.h"
#include "base/ui/mode_windows.h"
#include "base/ui/qt_seams.h"
#include "config/ui/config_window.h"
#include "db/ui/db_form_windows.h"
#include "fra/ui/fra_window.h"
#include "graph/dialog/ui/graph_dialog.h"
#include "link/ui/connect_dialog.h"

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
