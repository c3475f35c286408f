#pragma once
// Work that may keep the window waiting longer than a tenth of a second (a
// large deletion, a sweep stored, a workbook written). The windows install a
// runner that does it on a worker while the window keeps answering, and that
// shows the progress dialog with Cancel once it has taken a second; the
// command line, tests without windows and a worker run it where they are.
// The work sees the flag Cancel sets; the call returns once it has returned.

#include "base/exchange_job.h"

#include <functional>
#include <string>

using off_window_runner =
    std::function<exchange_outcome(const std::string& caption, const exchange_work& work)>;

// Installs the runner (an empty one: the work runs where it is called).
void off_window_set_runner(off_window_runner runner);
// Runs the work through the installed runner; the caption is the progress
// dialog's status line.
exchange_outcome run_off_window(const std::string& caption, const exchange_work& work);
