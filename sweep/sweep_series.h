#pragma once
// A repeating test: a chain of sweeps started one interval apart, the first
// by the user and the others by a one-shot timer armed at the start of the
// previous sweep (so the interval runs from start to start). Each sweep-mode
// window keeps this state; the command-line companion drives the same chain.

#include "db/db_records.h"

#include <cstdint>
#include <string>

class command_target;

enum sweep_button_state : int {
    SWEEP_BUTTON_SWEEP = 0,
    SWEEP_BUTTON_CANCEL = 1, // a series runs
    SWEEP_BUTTON_CLEAR = 2,  // results present
};

// The timer service's two operations, replaceable in tests.
struct s_timer_hooks {
    int (*add_countdown)(double period_ms, command_target* target, int message,
                         command_target* display, bool count_down) = nullptr;
    bool (*cancel)(int id) = nullptr;
};
s_timer_hooks sweep_default_timer_hooks();

struct s_sweep_series {
    int running = 0;
    bool repeating = false;
    int sweeps_done = 0;
    int sweeps_total = 0;
    uint64_t interval_ms = 0;
    int timer_id = 0;
    int button_state = SWEEP_BUTTON_SWEEP;
    bool save_to_db = false;
    s_test test; // the database test filled by the running sweep (when saving)
    std::string base_name;
};

// Steps before a sweep starts: arm the timer for the next sweep of a series
// (posting start_command to window, the countdown shown through display)
// and name and reset the test record.
void sweep_series_before_sweep(s_sweep_series& series, command_target* window, int start_command,
                               command_target* display, const s_timer_hooks& timers);

// After a completed sweep. Returns true when the series has just run all its
// sweeps (the window then ends it as if CANCEL were pressed).
bool sweep_series_after_sweep(s_sweep_series& series, const s_timer_hooks& timers);

// "%d/%d": sweeps done of sweeps total.
std::string sweep_series_progress_text(const s_sweep_series& series);

// Stops a pending series timer.
void sweep_series_cancel_timer(s_sweep_series& series, const s_timer_hooks& timers);
