#pragma once
// The assessment report: the unit and its plan, a summary table
// (measurement x comparison -> judgement, worst first), then per
// measurement the overlay and Difference charts and the indicator table
// (R, correlation, largest difference per band), the phase-symmetry note,
// the phase that stands out, the user's conclusion and "Assessed by".
// The document holds copies of everything it draws, so once built it can be
// painted or written on any thread.
#include "review/assessment_load.h"

#include <QString>

class report_document;

struct s_assessment_text {
    QString conclusion;  // as typed
    QString assessed_by; // as typed
};

report_document assessment_report(const s_assessment_inputs& inputs, const s_assessment_text& text);
