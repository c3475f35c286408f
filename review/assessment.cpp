#include "review/assessment.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>

namespace {

// The symmetry pairs: the first phase is the reference, the second compared with it.
const char* const PAIRS[] = {"A-B", "B-C", "C-A"};

std::string folded(const std::string& text)
{
    const size_t from = text.find_first_not_of(' ');
    const size_t to = text.find_last_not_of(' ');
    std::string out = from == std::string::npos ? "" : text.substr(from, to - from + 1);
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The test of a step among tests, matched by name ignoring case and outer
// blanks; of several alike the last, a measurement taken again.
const s_measured* find_test(const std::vector<s_measured>& tests, const std::string& name)
{
    const std::string wanted = folded(name);
    const s_measured* found = nullptr;
    for (const s_measured& t : tests)
        if (folded(t.name) == wanted)
            found = &t;
    return found;
}

s_assessment_comparison compare(assessment_basis basis, const std::string& measurement,
                                const std::string& pair, const std::string& reference_name,
                                const s_measured& reference, const s_measured& test)
{
    s_assessment_comparison c;
    c.basis = basis;
    c.measurement = measurement;
    c.pair = pair;
    c.reference = reference_name;
    c.result = winding_compare(reference.curve, test.curve);
    std::array<std::vector<double>, WINDING_BANDS> xs, ys;
    for (const s_common_point& p : c.result.common) {
        const double difference = std::fabs(p.test - p.reference);
        c.max_abs_difference = std::max(c.max_abs_difference, difference);
        const int b = winding_band_of(p.frequency);
        if (b < 0)
            continue;
        xs[b].push_back(p.reference);
        ys[b].push_back(p.test);
        c.bands[b].max_abs_difference = std::max(c.bands[b].max_abs_difference, difference);
    }
    for (int b = 0; b < WINDING_BANDS; ++b) {
        s_band_indicator& band = c.bands[b];
        band.factor = c.result.bands[b];
        if (band.factor.covered)
            band.correlation = winding_correlation(xs[b], ys[b]);
        else
            band.max_abs_difference = 0;
    }
    return c;
}

// The phase symmetry of a group whose steps are all in the plan: each pair
// whose two phases the unit has.
void add_symmetry(s_assessment& out, const std::vector<s_plan_step>& plan, const std::string& group,
                  const std::vector<s_measured>& unit)
{
    std::map<char, std::pair<const s_plan_step*, const s_measured*>> phases;
    for (const s_plan_step& step : plan)
        if (step.group == group)
            if (const s_measured* test = find_test(unit, step.name))
                phases[step.phase] = {&step, test};
    for (const char* pair : PAIRS) {
        const auto reference = phases.find(pair[0]);
        const auto test = phases.find(pair[2]);
        if (reference != phases.end() && test != phases.end())
            out.comparisons.push_back(compare(assessment_basis::phase_symmetry, group, pair,
                                              reference->second.first->name,
                                              *reference->second.second, *test->second.second));
    }
}

bool last_of_group(const std::vector<s_plan_step>& plan, size_t i)
{
    for (size_t j = i + 1; j < plan.size(); ++j)
        if (plan[j].group == plan[i].group)
            return false;
    return true;
}

// How bad a judgement is: severe 4 .. normal 1, not judged 0.
int severity(winding_verdict verdict)
{
    switch (verdict) {
    case winding_verdict::severe: return 4;
    case winding_verdict::obvious: return 3;
    case winding_verdict::slight: return 2;
    case winding_verdict::normal: return 1;
    default: return 0;
    }
}

double low_band_factor(const s_assessment_comparison& c)
{
    const s_band_factor& low = c.result.bands[WINDING_LOW];
    return low.covered ? low.r : std::numeric_limits<double>::infinity();
}

// A symmetry pair that deviates. A pair with the middle phase that
// deviates in the low band only is what a core-type unit's construction
// gives, and does not count.
bool pair_deviates(const s_assessment_comparison& c)
{
    if (severity(c.result.verdict) < 2)
        return false;
    if (c.pair.find('B') == std::string::npos)
        return true;
    const auto& bands = c.result.bands;
    const bool mid = bands[WINDING_MID].covered && bands[WINDING_MID].r < 1.0;
    const bool high = bands[WINDING_HIGH].covered && bands[WINDING_HIGH].r < 0.6;
    return mid || high;
}

// The phase two pairs ("A-B", "B-C") have in common.
char shared_phase(const std::string& one, const std::string& other)
{
    return other.find(one[0]) != std::string::npos ? one[0] : one[2];
}

// The phase the symmetry pairs of the groups point to: in each group whose
// three pairs are all there, the phase both deviating pairs share while
// the third does not deviate; the phase most groups name. 0 when none or
// when two phases are named equally often.
char symmetry_phase(const s_assessment& assessment)
{
    std::map<std::string, std::vector<const s_assessment_comparison*>> groups;
    for (const s_assessment_comparison& c : assessment.comparisons)
        if (c.basis == assessment_basis::phase_symmetry)
            groups[c.measurement].push_back(&c);
    std::map<char, int> votes;
    for (const auto& [name, pairs] : groups) {
        std::vector<std::string> deviating;
        for (const s_assessment_comparison* c : pairs)
            if (pair_deviates(*c))
                deviating.push_back(c->pair);
        if (pairs.size() == 3 && deviating.size() == 2)
            ++votes[shared_phase(deviating[0], deviating[1])];
    }
    int most = 0;
    for (const auto& [phase, count] : votes)
        most = std::max(most, count);
    const auto named = [&](const auto& vote) { return vote.second == most; };
    if (most == 0 || std::count_if(votes.begin(), votes.end(), named) != 1)
        return 0;
    return std::find_if(votes.begin(), votes.end(), named)->first;
}

} // namespace

const char* assessment_basis_name(assessment_basis basis)
{
    switch (basis) {
    case assessment_basis::time_based: return "Time-based";
    case assessment_basis::type_based: return "Type-based";
    case assessment_basis::phase_symmetry: return "Phase symmetry";
    }
    return "";
}

s_assessment
assessment_compare(const std::vector<s_plan_step>& plan, const std::vector<s_measured>& unit,
                   const std::vector<s_measured>& fingerprint, const std::string& fingerprint_name,
                   const std::vector<s_measured>& sister, const std::string& sister_name)
{
    s_assessment out;
    for (size_t i = 0; i < plan.size(); ++i) {
        const s_plan_step& step = plan[i];
        const s_measured* test = find_test(unit, step.name);
        if (!test)
            out.missing.push_back(step.name);
        const struct {
            assessment_basis basis;
            const std::vector<s_measured>& tests;
            const std::string& name;
        } others[] = {{assessment_basis::time_based, fingerprint, fingerprint_name},
                      {assessment_basis::type_based, sister, sister_name}};
        for (const auto& other : others) {
            const s_measured* reference = test ? find_test(other.tests, step.name) : nullptr;
            if (reference)
                out.comparisons.push_back(
                    compare(other.basis, step.name, "", other.name, *reference, *test));
        }
        if (last_of_group(plan, i))
            add_symmetry(out, plan, step.group, unit);
    }
    return out;
}

std::vector<size_t> assessment_worst_first(const s_assessment& assessment)
{
    std::vector<size_t> order(assessment.comparisons.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto rank = [&](size_t i) {
        const s_assessment_comparison& c = assessment.comparisons[i];
        const int s = severity(c.result.verdict);
        return std::make_pair(s == 0 ? 0 : -s, s == 0 ? 0.0 : low_band_factor(c));
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const auto ra = rank(a), rb = rank(b);
        if (ra.first != rb.first)
            return ra.first < rb.first;
        return ra.second < rb.second;
    });
    return order;
}

char assessment_suspect_phase(const s_assessment& assessment, const std::vector<s_plan_step>& plan)
{
    if (const char phase = symmetry_phase(assessment))
        return phase;
    for (size_t i : assessment_worst_first(assessment)) {
        const s_assessment_comparison& c = assessment.comparisons[i];
        if (c.basis != assessment_basis::time_based)
            continue;
        if (severity(c.result.verdict) < 2)
            return 0;
        for (const s_plan_step& step : plan)
            if (step.name == c.measurement)
                return step.phase;
    }
    return 0;
}

const char* assessment_symmetry_note()
{
    return "The middle phase (B) of a core-type unit differs from the outer phases at low "
           "frequencies by construction: the magnetic paths of its limb are shorter. A "
           "low-frequency deviation of phase B alone is therefore expected and is not taken as a "
           "sign of deformation.";
}

const s_measured* assessment_find_test(const std::vector<s_measured>& tests,
                                       const std::string& step_name)
{
    return find_test(tests, step_name);
}
