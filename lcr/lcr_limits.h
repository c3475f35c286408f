#pragma once
// LCR and piezo sweeps judged against a limit set.
//
// A quantity check reads the column whose heading (or name) it gives, at its
// frequency. A fitted-element check fits the named model (the best model
// when it names none) over the whole sweep; each model is fitted once per
// verdict, however many checks read it, so a verdict with fitted elements
// takes as long as its fits. A resonance check reads the measured sweep:
// fr is the frequency of the lowest |Z|, fa that of the highest |Z| above
// fr (above the start when the sweep has no fr); one found at either end of
// the sweep is not a resonance the sweep holds. Margins and masks belong to
// FRA sweeps and fail here.

#include "db/db_verdict.h"
#include "lcr/lcr_point.h"
#include "sweep/limit_set.h"

#include <optional>

s_test_verdict lcr_judge(const LcrResults& results, const limit_set& set);

// The measured resonance ("fr" or "fa") of a sweep, in Hz; nothing when the
// sweep does not hold it.
std::optional<double> lcr_measured_resonance(const LcrResults& results, const std::string& which);
