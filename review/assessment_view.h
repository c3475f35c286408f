#pragma once
// What the assessment window shows of a unit's plan and comparisons besides
// their texts: which steps the unit's session already holds, the step to
// sweep next, and the two curves a comparison compared. No windows, no
// database.
#include "review/assessment_load.h"

#include <string>
#include <vector>

// Per plan step: the session holds a test of that name.
std::vector<bool> assessment_swept(const std::vector<s_plan_step>& plan,
                                   const std::vector<std::string>& test_names);

// The first step not yet swept after `after` (-1: from the start), going
// round to the start; -1 when every step is swept.
int assessment_next_step(const std::vector<bool>& swept, int after);

// Which of the sessions asked for (the unit's, and the fingerprint's and
// the sister's when their key is not 0) the database no longer holds, as
// the user is told: "The fingerprint's session is no longer in the
// database."; null when all are there.
const char* assessment_gone_session(const s_assessment_inputs& inputs, int64_t fingerprint_no,
                                    int64_t sister_no);

// The two curves a comparison compared, their names as a chart's legend
// gives them ("Fingerprint" and "Unit", "Phase A" and "Phase B": the
// summary names the tests) and the words that lead the Difference view's
// legend; false when either test is not among the inputs.
struct s_compared_curves {
    std::string reference_name, test_name, difference_lead;
    std::vector<s_gain_sample> reference, test;
};
bool assessment_compared_curves(const s_assessment_inputs& inputs, const s_assessment_comparison& c,
                                s_compared_curves& out);
