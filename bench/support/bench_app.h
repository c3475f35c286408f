#pragma once
// The one QApplication of a window benchmark program. It is never destroyed:
// a static QApplication would be torn down by the exit handlers after Qt's
// own globals and crash there. Painting and layout need no screen, so
// without a platform named the program runs offscreen and its figures do
// not depend on a display.

#include <QApplication>

inline QApplication& bench_app()
{
    static int argc = 1;
    static char name[] = "tarvelo-bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}
