// Tarvelo2 — the desktop companion of the HXM phase-sensitive multimeters.

#include "app/ui/qt_seams.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    qt_command_dispatcher dispatcher;
    qt_ui_backend ui;
    set_command_dispatcher(&dispatcher);
    ui_set_backend(&ui);

    QMainWindow window;
    window.setWindowTitle("Tarvelo2");
    window.resize(1024, 700);
    window.show();
    const int rc = app.exec();
    ui_set_backend(nullptr);
    set_command_dispatcher(nullptr);
    return rc;
}
