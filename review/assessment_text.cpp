#include "review/assessment_text.h"

#include "base/sweep_numbers.h"

#include <algorithm>

namespace {

const char* const NOT_COVERED = "-";

// The phase of a time- or type-based comparison's step, or whether a
// symmetry pair holds the phase.
bool takes_part(const s_assessment_comparison& c, const std::vector<s_plan_step>& plan, char phase)
{
    if (c.basis == assessment_basis::phase_symmetry)
        return c.pair.find(phase) != std::string::npos;
    const auto step = std::find_if(plan.begin(), plan.end(),
                                   [&](const s_plan_step& s) { return s.name == c.measurement; });
    return step != plan.end() && step->phase == phase;
}

} // namespace

std::string assessment_correlation_text(const s_band_indicator& band)
{
    return band.factor.covered ? sweep_format_fixed(band.correlation, 4) : NOT_COVERED;
}

std::string assessment_difference_text(double db)
{
    return sweep_format_fixed(db, 2) + " dB";
}

std::string assessment_band_difference_text(const s_band_indicator& band)
{
    return band.factor.covered ? assessment_difference_text(band.max_abs_difference) : NOT_COVERED;
}

std::string assessment_against_text(const s_assessment_comparison& comparison)
{
    switch (comparison.basis) {
    case assessment_basis::time_based: return "Fingerprint " + comparison.reference;
    case assessment_basis::type_based: return "Sister " + comparison.reference;
    case assessment_basis::phase_symmetry: break;
    }
    return comparison.pair;
}

std::vector<std::string> assessment_summary_columns()
{
    return {"Measurement", "Comparison", "Against", "Judgement", "Largest difference"};
}

std::vector<std::string> assessment_summary_cells(const s_assessment_comparison& comparison)
{
    return {comparison.measurement, assessment_basis_name(comparison.basis),
            assessment_against_text(comparison), winding_judgement_text(comparison.result),
            assessment_difference_text(comparison.max_abs_difference)};
}

std::vector<std::string> assessment_indicator_columns()
{
    return {"Comparison", "Band", "R", "Correlation", "Largest difference", "Judgement"};
}

std::vector<std::vector<std::string>>
assessment_indicator_rows(const s_assessment_comparison& comparison)
{
    std::vector<std::vector<std::string>> rows;
    for (int b = 0; b < WINDING_BANDS; ++b) {
        const s_band_indicator& band = comparison.bands[size_t(b)];
        const bool first = b == 0;
        rows.push_back({first ? std::string(assessment_basis_name(comparison.basis)) + " (" +
                                    assessment_against_text(comparison) + ")"
                              : std::string(),
                        winding_band_name(b), winding_band_text(band.factor),
                        assessment_correlation_text(band), assessment_band_difference_text(band),
                        first ? winding_judgement_text(comparison.result) : std::string()});
    }
    return rows;
}

std::string assessment_suspect_text(const s_assessment& assessment,
                                    const std::vector<s_plan_step>& plan)
{
    const char phase = assessment_suspect_phase(assessment, plan);
    if (phase == 0)
        return "No phase stands out.";
    std::string text = std::string("Phase ") + phase + " stands out";
    for (size_t i : assessment_worst_first(assessment)) {
        const s_assessment_comparison& c = assessment.comparisons[i];
        if (takes_part(c, plan, phase))
            return text + ": " + c.measurement + ", " + assessment_basis_name(c.basis) + " (" +
                   assessment_against_text(c) + "): " + winding_judgement_text(c.result) + ".";
    }
    return text + ".";
}

std::string assessment_missing_text(const s_assessment& assessment)
{
    if (assessment.missing.empty())
        return {};
    std::string text = "Not measured: ";
    for (size_t i = 0; i < assessment.missing.size(); ++i)
        text += (i > 0 ? ", " : "") + assessment.missing[i];
    return text + ".";
}
