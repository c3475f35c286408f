#pragma once
// One FRA sweep. The instrument sweeps by itself with the settings already
// in its configuration; the worker prepares it, starts it, polls "DAV?"
// until the data are ready and downloads the whole sweep in one reply
// stream, reporting to the progress dialog by posted commands.

#include "fra/sweep_context.h"

#include <string>

extern const char* const FRA_TEXT_NO_CONNECTION;
extern const char* const FRA_TEXT_DATALOG_QUESTION;
extern const char* const FRA_TEXT_WAITING;
extern const char* const FRA_TEXT_DOWNLOADING;
extern const char* const FRA_TEXT_CANCELLING;
extern const char* const FRA_TEXT_CONNECTION_LOST;
extern const char* const FRA_TEXT_PERFORMING;

// Runs one sweep on the calling thread (the progress dialog's worker). On
// success the points are in ctx.sweep and CMD_FRA_SWEEP_COMPLETE has been
// posted to ctx.notify; the dialog always gets CMD_PROGRESS_FINISHED last.
void fra_sweep_worker(FraSweepContext& ctx);

// The dialog's Cancel: flags the worker and closes the dialog.
void fra_sweep_cancel(FraSweepContext& ctx);

// The wait after switching the instrument into frequency response mode.
constexpr int FRA_MODE_SWITCH_WAIT_MS = 2000;
constexpr int FRA_POLL_INTERVAL_MS = 200;
// Data-available polls in a row that go unanswered for the whole read
// time-out before the sweep counts as lost.
constexpr int FRA_POLL_SILENT_LIMIT = 2;
constexpr int FRA_DAV_DATA_READY = 4;

// Text of the incomplete-download message: how many points of how many.
std::string fra_incomplete_text(int received, int steps);
