#include "review/assessment_text.h"

#include "base/sweep_numbers.h"

#include <algorithm>

namespace {

const char* const BAND_SPANS[WINDING_BANDS] = {"1 kHz - 100 kHz", "100 kHz - 600 kHz",
                                               "600 kHz - 1 MHz"};

// Whether the phase takes part in a comparison: the phase of a time- or
// type-based comparison's step, or one of a symmetry pair.
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
    return band.factor.covered ? sweep_format_fixed(band.correlation, 4) : "";
}

std::string assessment_difference_text(double db)
{
    return sweep_format_fixed(db, 2);
}

std::string assessment_band_difference_text(const s_band_indicator& band)
{
    return band.factor.covered ? assessment_difference_text(band.max_abs_difference) : "";
}

std::string assessment_title(const s_assessment_comparison& comparison)
{
    const std::string basis = assessment_basis_name(comparison.basis);
    return comparison.pair.empty() ? basis : basis + " " + comparison.pair;
}

std::string assessment_heading_text(const s_assessment_comparison& comparison)
{
    const std::string against = comparison.basis == assessment_basis::phase_symmetry
                                    ? std::string()
                                    : " against " + comparison.reference;
    return assessment_title(comparison) + against + ": " +
           winding_judgement_text(comparison.result);
}

std::vector<std::string> assessment_summary_columns()
{
    return {"Measurement", "Comparison", "Reference", "Judgement", "Largest difference (dB)"};
}

std::vector<std::string> assessment_summary_cells(const s_assessment_comparison& comparison)
{
    return {comparison.measurement, assessment_title(comparison), comparison.reference,
            winding_judgement_text(comparison.result),
            assessment_difference_text(comparison.max_abs_difference)};
}

std::vector<std::string> assessment_indicator_columns()
{
    return {"Band", "Frequencies", "R", "Correlation", "Largest difference (dB)"};
}

std::vector<std::vector<std::string>>
assessment_indicator_rows(const s_assessment_comparison& comparison)
{
    std::vector<std::vector<std::string>> rows;
    for (int b = 0; b < WINDING_BANDS; ++b) {
        const s_band_indicator& band = comparison.bands[size_t(b)];
        rows.push_back({winding_band_name(b), BAND_SPANS[b], winding_band_text(band.factor),
                        assessment_correlation_text(band), assessment_band_difference_text(band)});
    }
    rows.push_back({"Whole range", "", winding_verdict_name(comparison.result.verdict),
                    sweep_format_fixed(comparison.result.correlation, 4),
                    assessment_difference_text(comparison.max_abs_difference)});
    return rows;
}

std::string assessment_suspect_text(const s_assessment& assessment,
                                    const std::vector<s_plan_step>& plan)
{
    const char phase = assessment_suspect_phase(assessment, plan);
    if (phase == 0)
        return "No phase stands out.";
    const std::string text = std::string("Phase ") + phase + " stands out";
    for (size_t i : assessment_worst_first(assessment)) {
        const s_assessment_comparison& c = assessment.comparisons[i];
        if (takes_part(c, plan, phase))
            return text + ": " + c.measurement + ", " + assessment_heading_text(c) + ".";
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
