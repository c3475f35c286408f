#pragma once
// Runs an instrument exchange on a worker thread while the progress dialog
// shows its caption, modally: the window keeps repainting and its Cancel
// works, and nothing else can start an exchange meanwhile. Returns on the
// window thread once the work has returned.

#include "base/exchange_job.h"

#include <string>

class QWidget;

// The title every exchange dialog shows; the caption is its status line.
extern const char* const EXCHANGE_DIALOG_TITLE;

// The outcome of the work; failed without running it when an exchange is
// already running. The dialog's title names what is being talked to.
exchange_outcome run_exchange(QWidget* owner, const std::string& caption, const exchange_work& work,
                              const char* title = EXCHANGE_DIALOG_TITLE);
