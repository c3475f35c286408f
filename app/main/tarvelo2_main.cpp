// Tarvelo2 — the desktop companion of the HXM phase-sensitive multimeters.

#include "app/command_line.h"
#include "app/ui/app_startup.h"
#include "base/ui/interface_font.h"
#include "base/ui/qt_seams.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <csignal>
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
    std::signal(SIGXFSZ, SIG_IGN); // a file size limit is a failed write, told as such
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(TARVELO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("tarvelo2")); // the installed menu entry
    use_interface_font();
    qt_command_dispatcher dispatcher;
    qt_ui_backend ui;
    set_command_dispatcher(&dispatcher);
    ui_set_backend(&ui);

    int rc = 0;
    {
        const QString data_root =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        const auto window = app_start(data_root.toStdString(), QDir::currentPath().toStdString());
        rc = app.exec();
    }
    ui_set_backend(nullptr);
    set_command_dispatcher(nullptr);
    return rc;
}
