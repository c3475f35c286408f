#pragma once
// The offscreen Qt application of the commands that paint (charts, reports):
// no display needed, and Qt's own warnings come through on stderr as
// "[Qt] text" like every other message of the command line.

#include <QApplication>

class cli_painting_app {
public:
    cli_painting_app() = default;
    ~cli_painting_app();
    cli_painting_app(const cli_painting_app&) = delete;
    cli_painting_app& operator=(const cli_painting_app&) = delete;

private:
    // Before the application, whose start may already warn.
    static bool route_qt_messages();
    [[maybe_unused]] bool routed_ = route_qt_messages();

    static inline int argc = 3;
    static inline char arg0[] = "tarvelo2-cli", arg1[] = "-platform", arg2[] = "offscreen";
    static inline char* argv[] = {arg0, arg1, arg2, nullptr};
    QApplication app_{argc, argv};
};
