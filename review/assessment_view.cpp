#include "review/assessment_view.h"

#include <algorithm>

namespace {

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

const char* assessment_gone_session(const s_assessment_inputs& inputs, int64_t fingerprint_no,
                                    int64_t sister_no)
{
    const auto gone = [](const s_assessment_unit& u) {
        return u.session.SessionNo == DB_NO_SUCH_ROW;
    };
    if (gone(inputs.unit))
        return "The unit's session is no longer in the database.";
    if (fingerprint_no != 0 && gone(inputs.fingerprint))
        return "The fingerprint's session is no longer in the database.";
    if (sister_no != 0 && gone(inputs.sister))
        return "The sister unit's session is no longer in the database.";
    return nullptr;
}

bool assessment_compared_curves(const s_assessment_inputs& inputs, const s_assessment_comparison& c,
                                s_compared_curves& out)
{
    const s_measured* reference = nullptr;
    const s_measured* test = nullptr;
    if (c.basis == assessment_basis::phase_symmetry) {
        const s_plan_step* first = step_named(inputs.plan, c.reference);
        const s_plan_step* second = first ? other_phase(inputs.plan, *first, c.pair) : nullptr;
        reference = first ? assessment_find_test(inputs.unit.tests, first->name) : nullptr;
        test = second ? assessment_find_test(inputs.unit.tests, second->name) : nullptr;
        out.reference_name = first ? std::string("Phase ") + first->phase : "";
        out.test_name = second ? std::string("Phase ") + second->phase : "";
        out.difference_lead = "Difference from " + out.reference_name + ":";
    } else {
        const s_assessment_unit& other =
            c.basis == assessment_basis::time_based ? inputs.fingerprint : inputs.sister;
        reference = assessment_find_test(other.tests, c.measurement);
        test = assessment_find_test(inputs.unit.tests, c.measurement);
        const bool time = c.basis == assessment_basis::time_based;
        out.reference_name = time ? "Fingerprint" : "Sister unit";
        out.test_name = "Unit";
        out.difference_lead =
            std::string("Difference from the ") + (time ? "fingerprint:" : "sister unit:");
    }
    if (!reference || !test)
        return false;
    out.reference = reference->curve;
    out.test = test->curve;
    return true;
}
