#pragma once
// What the assessment window shows of a unit's plan and comparisons, as
// texts and curves: which steps the unit's session already holds, the step
// to sweep next, the summary's rows worst first, a comparison's indicator
// rows and the two curves it compared. No windows, no database.
#include "review/assessment_load.h"

#include <string>
#include <vector>

// Per plan step: the session holds a test of that name.
std::vector<bool> assessment_swept(const std::vector<s_plan_step>& plan,
                                   const std::vector<std::string>& test_names);

// The first step not yet swept after `after` (-1: from the start), going
// round to the start; -1 when every step is swept.
int assessment_next_step(const std::vector<bool>& swept, int after);

// "Time-based", "Type-based", "Phase symmetry A-B".
std::string assessment_comparison_title(const s_assessment_comparison& c);

// One summary row: measurement, comparison, reference, judgement.
std::vector<std::string> assessment_summary_row(const s_assessment_comparison& c);

// The indicator rows of a comparison: one per band (band, frequencies, R,
// correlation, largest difference in dB), then the whole range's.
std::vector<std::vector<std::string>> assessment_indicator_rows(const s_assessment_comparison& c);

// The two curves a comparison compared and their names as a chart's legend
// gives them; false when either test is not among the inputs.
struct s_compared_curves {
    std::string reference_name, test_name;
    std::vector<s_gain_sample> reference, test;
};
bool assessment_compared_curves(const s_assessment_inputs& inputs, const s_assessment_comparison& c,
                                s_compared_curves& out);
