#ifdef TARVELO_CLI_RENDER

#include "cli/painting_app.h"

#include <cstdio>

namespace {

void print_qt_message(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        std::fprintf(stderr, "[Qt] %s\n", text.toLocal8Bit().constData());
}

} // namespace

bool cli_painting_app::route_qt_messages()
{
    qInstallMessageHandler(print_qt_message);
    return true;
}

cli_painting_app::~cli_painting_app()
{
    qInstallMessageHandler(nullptr);
}

#endif
