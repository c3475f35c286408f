#pragma once
// One LCR sweep and one piezo sweep, both run by the shared sweep routine:
// the instrument is put into LCR meter mode, started with three "start"
// commands and its whole sweep is downloaded with "LCR,SWEEP?".

#include "lcr/lcr_point.h"

#include <cstdint>
#include <string>

// Runs one LCR sweep on the calling thread (the progress dialog's worker);
// on success posts CMD_LCR_SWEEP_COMPLETE to ctx.notify. The layout of the
// replies is stored with the points.
void lcr_sweep_worker(LcrSweepContext& ctx);

// The piezo sweep: the instrument's output quantity (137, read from the
// instrument, never trusted from the local copy) is forced to impedance for
// the sweep and restored afterwards on every path where the instrument still
// answers (completed, cancelled, refused, Datalog declined). When it could
// not be restored (the link was lost) the user is told to which value it
// should go.
void piezo_sweep_worker(PiezoSweepContext& ctx);

// The message when parameter 137 stayed at Impedance instead of quantity.
std::string piezo_restore_failure_text(int32_t quantity);

// The dialog's Cancel for both.
void lcr_sweep_cancel(LcrSweepContext& ctx);
