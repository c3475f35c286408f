#pragma once
// The monkey's hands: one random user action, drawn from a number, done on
// the window thread on whatever a user can reach at that moment (the open
// modal dialog, or else every shown window). Each action is noted for the
// watchdog's report before it is done.

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

// connect: a deliberate connection to the simulator through the Connect
// dialog, so that random choices there do not keep the program from it;
// sweep: MEASURE, SWEEP and Start Sweep, each pressed when it is usable.
enum class monkey_action { click, type, key, menu, connect, sweep, instrument, pause };

class monkey_hands {
public:
    // act runs a function on the window thread later and lets it run (an
    // action that opens a modal dialog returns when the dialog closes).
    using poster = std::function<void(const std::function<void()>&)>;
    monkey_hands(std::string folder, poster act);

    // click, type, key, menu, connect or sweep, drawn from draw.
    void act(monkey_action action, uint64_t draw);
    // Escape on the open modal dialog (the folder chooser is cancelled).
    void dismiss_dialog();

private:
    void type(uint64_t draw);

    std::string folder_;
    poster act_;
    QPointer<QWidget> field_; // window thread only
};

// True while a modal dialog is open (window thread only).
bool monkey_dialog_open();
