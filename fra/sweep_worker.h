#pragma once
// One FRA sweep. The instrument sweeps by itself with the settings already
// in its configuration; the worker prepares it, starts it, polls "DAV?"
// until the data are ready and downloads the whole sweep in one reply
// stream, reporting to the progress dialog by posted commands.

#include "fra/sweep_context.h"

// Runs one sweep on the calling thread (the progress dialog's worker). On
// success the points are in ctx.sweep and CMD_FRA_SWEEP_COMPLETE has been
// posted to ctx.notify; the dialog always gets CMD_PROGRESS_FINISHED last.
void fra_sweep_worker(FraSweepContext& ctx);

// The dialog's Cancel: flags the worker and closes the dialog.
void fra_sweep_cancel(FraSweepContext& ctx);
