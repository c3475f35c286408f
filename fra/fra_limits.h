#pragma once
// FRA sweeps judged against a limit set: quantities of the sweep's columns
// (Magnitude 1, Magnitude 2, Gain, Phase, Delay) at a frequency, the gain
// and phase margins (as the margin search finds them: the gain margin is the
// gain at the main 0-degree crossing negated, the phase margin the phase at
// the main 0 dB crossing; a margin the sweep does not cross fails) and the
// gain and phase masks. Fitted elements and resonances belong to LCR sweeps
// and fail here.

#include "db/db_verdict.h"
#include "fra/fra_result.h"
#include "sweep/limit_set.h"

s_test_verdict fra_judge(const FraResults& results, const limit_set& set);
