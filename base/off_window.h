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

// The work tells how far it is (from its own thread): done of total steps,
// which the progress dialog shows. The runner installs where it goes while
// the work runs (an empty sink: nowhere).
using off_window_progress_sink = std::function<void(int done, int total)>;
void off_window_set_progress_sink(off_window_progress_sink sink);
void off_window_progress(int done, int total);
