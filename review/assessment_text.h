#pragma once
// The assessment's texts, worded once so that the assessment window shows
// and the report prints the same: the summary's rows, a comparison's title
// and its indicator rows (one per band, then the whole range), the numbers
// in their forms, and the sentences on the phase that stands out and on the
// measurements not taken. Windows-1252 text.
#include "review/assessment.h"

#include <string>
#include <vector>

// A band's correlation, "%.4f"; "" when the band is not covered.
std::string assessment_correlation_text(const s_band_indicator& band);
// A difference in dB, "%.2f" (the columns name the unit).
std::string assessment_difference_text(double db);
// The largest difference within a band, as above; "" when not covered.
std::string assessment_band_difference_text(const s_band_indicator& band);

// "Time-based", "Type-based", "Phase symmetry A-B".
std::string assessment_title(const s_assessment_comparison& comparison);
// The title, what it was against and the judgement: "Time-based against
// T1 2019: Normal winding (indicative)", "Phase symmetry A-B: ...".
std::string assessment_heading_text(const s_assessment_comparison& comparison);

// The summary table: measurement, comparison (its title), reference (the
// session's name, or for phase symmetry the first phase's step), judgement
// and the largest difference over the whole common range.
std::vector<std::string> assessment_summary_columns();
std::vector<std::string> assessment_summary_cells(const s_assessment_comparison& comparison);

// A comparison's indicator table: per band its name, its frequencies, R as
// the winding comparison words it, the correlation and the largest
// difference (both empty when the band is not covered); then the whole
// range's row with the verdict in R's column.
std::vector<std::string> assessment_indicator_columns();
std::vector<std::vector<std::string>>
assessment_indicator_rows(const s_assessment_comparison& comparison);

// "Phase B stands out: " and the worst comparison it takes part in (its
// measurement and heading text); "No phase stands out." when none does.
std::string assessment_suspect_text(const s_assessment& assessment,
                                    const std::vector<s_plan_step>& plan);

// "Not measured: NAME, NAME." for the plan steps the unit has no test of;
// "" when every step was measured.
std::string assessment_missing_text(const s_assessment& assessment);
