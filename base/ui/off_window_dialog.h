#pragma once
// The windows' runner of long work (base/off_window.h): on the window thread
// the work runs on a worker while the event loop keeps turning; what the
// user clicks or types meanwhile is held back, and after a second the
// progress dialog shows the caption and its Cancel. Elsewhere the work runs
// where it is called.

#include "base/off_window.h"

// Installs the runner for the process.
void off_window_use_dialog();
// True while work runs behind the window (window thread only).
bool off_window_busy();
// The title of the progress dialog of such work.
extern const char* const OFF_WINDOW_DIALOG_TITLE;
