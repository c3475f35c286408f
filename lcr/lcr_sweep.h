#pragma once
// One LCR sweep and one piezo sweep, both run by the shared sweep routine:
// the instrument is put into LCR meter mode, started with three "start"
// commands and its whole sweep is downloaded with "LCR,SWEEP?".

#include "lcr/lcr_point.h"

// Runs one LCR sweep on the calling thread (the progress dialog's worker);
// on success posts CMD_LCR_SWEEP_COMPLETE to ctx.notify. The layout of the
// replies is stored with the points.
void lcr_sweep_worker(LcrSweepContext& ctx);

// The piezo sweep: the instrument's output quantity (137, read from the
// instrument, never trusted from the local copy) is forced to impedance for
// the sweep and restored afterwards on every path where the instrument still
// answers (completed, cancelled, refused, Datalog declined).
void piezo_sweep_worker(PiezoSweepContext& ctx);

// The dialog's Cancel for both.
void lcr_sweep_cancel(LcrSweepContext& ctx);
