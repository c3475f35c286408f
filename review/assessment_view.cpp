#include "review/assessment_view.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string fixed(double value, int decimals)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// "1 kHz - 100 kHz": a band's edges as the summary names them.
std::string band_span(int band)
{
    static const char* const spans[WINDING_BANDS] = {"1 kHz - 100 kHz", "100 kHz - 600 kHz",
                                                     "600 kHz - 1 MHz"};
    return spans[band];
}

const s_measured* test_named(const std::vector<s_measured>& tests, const std::string& name)
{
    // The last of equal names: a step swept again is read as swept last.
    const auto found = std::find_if(tests.rbegin(), tests.rend(),
                                    [&](const s_measured& t) { return t.name == name; });
    return found == tests.rend() ? nullptr : &*found;
}

const s_plan_step* step_named(const std::vector<s_plan_step>& plan, const std::string& name)
{
    const auto found = std::find_if(plan.begin(), plan.end(),
                                    [&](const s_plan_step& s) { return s.name == name; });
    return found == plan.end() ? nullptr : &*found;
}

// The step of the group in the phase of the pair ("A-B") the reference is not.
const s_plan_step* other_phase(const std::vector<s_plan_step>& plan, const s_plan_step& reference,
                               const std::string& pair)
{
    if (pair.size() != 3)
        return nullptr;
    const char phase = reference.phase == pair[0] ? pair[2] : pair[0];
    const auto found = std::find_if(plan.begin(), plan.end(), [&](const s_plan_step& s) {
        return s.group == reference.group && s.phase == phase;
    });
    return found == plan.end() ? nullptr : &*found;
}

} // namespace

std::vector<bool> assessment_swept(const std::vector<s_plan_step>& plan,
                                   const std::vector<std::string>& test_names)
{
    std::vector<bool> swept;
    for (const s_plan_step& step : plan)
        swept.push_back(std::find(test_names.begin(), test_names.end(), step.name) !=
                        test_names.end());
    return swept;
}

int assessment_next_step(const std::vector<bool>& swept, int after)
{
    const int n = static_cast<int>(swept.size());
    for (int k = 1; k <= n; ++k) {
        const int i = ((after < 0 ? -1 : after) + k) % n;
        if (!swept[static_cast<size_t>(i)])
            return i;
    }
    return -1;
}

std::string assessment_comparison_title(const s_assessment_comparison& c)
{
    std::string title = assessment_basis_name(c.basis);
    return c.pair.empty() ? title : title + " " + c.pair;
}

std::vector<std::string> assessment_summary_row(const s_assessment_comparison& c)
{
    return {c.measurement, assessment_comparison_title(c), c.reference,
            winding_verdict_name(c.result.verdict)};
}

std::vector<std::vector<std::string>> assessment_indicator_rows(const s_assessment_comparison& c)
{
    std::vector<std::vector<std::string>> rows;
    for (int b = 0; b < WINDING_BANDS; ++b) {
        const s_band_indicator& band = c.bands[static_cast<size_t>(b)];
        const bool covered = band.factor.covered;
        rows.push_back({winding_band_name(b), band_span(b), winding_band_text(band.factor),
                        covered ? fixed(band.correlation, 4) : "",
                        covered ? fixed(band.max_abs_difference, 2) : ""});
    }
    rows.push_back({"Whole range", "", winding_verdict_name(c.result.verdict),
                    fixed(c.result.correlation, 4), fixed(c.max_abs_difference, 2)});
    return rows;
}

bool assessment_compared_curves(const s_assessment_inputs& inputs, const s_assessment_comparison& c,
                                s_compared_curves& out)
{
    const s_measured* reference = nullptr;
    const s_measured* test = nullptr;
    if (c.basis == assessment_basis::phase_symmetry) {
        const s_plan_step* first = step_named(inputs.plan, c.reference);
        const s_plan_step* second = first ? other_phase(inputs.plan, *first, c.pair) : nullptr;
        reference = first ? test_named(inputs.unit.tests, first->name) : nullptr;
        test = second ? test_named(inputs.unit.tests, second->name) : nullptr;
        out.reference_name = first ? first->name : "";
        out.test_name = second ? second->name : "";
    } else {
        const s_assessment_unit& other =
            c.basis == assessment_basis::time_based ? inputs.fingerprint : inputs.sister;
        reference = test_named(other.tests, c.measurement);
        test = test_named(inputs.unit.tests, c.measurement);
        out.reference_name = c.reference + ": " + c.measurement;
        out.test_name = inputs.unit.session.Name + ": " + c.measurement;
    }
    if (!reference || !test)
        return false;
    out.reference = reference->curve;
    out.test = test->curve;
    return true;
}
