#pragma once
// The assessment's texts, worded once so that the assessment window shows
// and the report prints the same: the summary's rows, the indicator table
// of a comparison (one row per band), the numbers in their forms and the
// sentence on the phase that stands out. Windows-1252 text.
#include "review/assessment.h"

#include <string>
#include <vector>

// The correlation of a band, "%.4f"; "-" when the band is not covered.
std::string assessment_correlation_text(const s_band_indicator& band);
// A difference in dB, "%.2f dB".
std::string assessment_difference_text(double db);
// The largest difference within a band, as above; "-" when not covered.
std::string assessment_band_difference_text(const s_band_indicator& band);

// What a comparison was against: "Fingerprint NAME", "Sister NAME", or the
// pair of phases "A-B".
std::string assessment_against_text(const s_assessment_comparison& comparison);

// The summary table: measurement, comparison, against, judgement and the
// largest difference over the whole common range.
std::vector<std::string> assessment_summary_columns();
std::vector<std::string> assessment_summary_cells(const s_assessment_comparison& comparison);

// A comparison's indicator table: one row per band with the band, its R as
// the winding comparison words it, the correlation and the largest
// difference; the comparison and its judgement stand in the first row.
std::vector<std::string> assessment_indicator_columns();
std::vector<std::vector<std::string>>
assessment_indicator_rows(const s_assessment_comparison& comparison);

// "Phase B stands out: " and the worst comparison it takes part in
// (measurement, comparison, against, judgement); "No phase stands out." when
// none does.
std::string assessment_suspect_text(const s_assessment& assessment,
                                    const std::vector<s_plan_step>& plan);

// "Not measured: NAME, NAME." for the plan steps the unit has no test of;
// "" when every step was measured.
std::string assessment_missing_text(const s_assessment& assessment);
