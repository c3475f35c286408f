#pragma once
// The timer service: delayed commands and live countdown texts.
//
// A timer posts a command to its target through the command seam once its
// period has passed. A countdown timer also keeps a text "hh:mm:ss\n" (the
// time remaining, or the time elapsed) in a display target; the text travels
// as a posted CMD_SET_TEXT, so the tick never waits for the window thread.
// The process-wide service ticks every 100 ms on its own thread (first tick
// after 10 ms), so a timer fires within about 100 ms after its period and is
// removed from the list on the following tick. A countdown shows its first
// text as soon as it is added.

#include "base/command_seam.h"

#include <condition_variable>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <thread>

// Monotonic milliseconds.
int64_t clock_ms();

// The countdown text of a value in milliseconds: "%02d:%02d:%02d\n", hours
// wrapping at 24, negative values shown as zero.
std::string timer_countdown_text(int64_t ms);

struct s_timer {
    command_target* target = nullptr;
    int message = 0;
    double period = 0;
    int64_t start = 0;
    int id = 0;
    bool countdown = false;
    command_target* display = nullptr;
    bool count_down = false;
    bool active = false;
};

// The timer list and its tick, without a thread of its own: the process-wide
// service drives one, tests drive one with chosen clock values.
class timer_list {
public:
    int add(double period_ms, command_target* target, int message, int64_t now);
    int add_countdown(double period_ms, command_target* target, int message,
                      command_target* display, bool count_down, int64_t now);
    bool cancel(int id);
    // One tick at clock value now; false when the list was busy and the tick
    // was skipped.
    bool tick(int64_t now);
    size_t size() const;

private:
    int append(s_timer timer);
    void walk(int64_t now);

    mutable std::timed_mutex mutex_;
    std::list<s_timer> timers_;
    int last_id_ = 0;
};

// The process-wide service, started on first use.
int timer_add(double period_ms, command_target* target, int message);
int timer_add_countdown(double period_ms, command_target* target, int message,
                        command_target* display, bool count_down);
// Stops a pending timer; true when a timer with that id was still listed.
bool timer_cancel(int id);
// Runs the service's clock factor times as fast from where it stands (journeys
// wait a repeating test's minutes in seconds); 1 is real time.
void timer_set_speed(int factor);
