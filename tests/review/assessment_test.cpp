// The test plan of a transformer assessment and its three comparisons, on
// hand-made winding curves.
#include "review/assessment.h"
#include "tests/support/winding_curves.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>

namespace {

s_transformer unit_of(const char* group)
{
    std::string error;
    const std::optional<s_transformer> unit = transformer_parse(group, error);
    EXPECT_TRUE(unit) << group << ": " << error;
    return unit.value_or(s_transformer{});
}

// A unit's tests, one per plan step: the phase B limb resonates lower by
// construction; `displaced` moves the high resonance of that phase.
std::vector<s_measured> tests_of(const std::vector<s_plan_step>& plan, char displaced = 0,
                                 double offset = 0)
{
    std::vector<s_measured> tests;
    for (const s_plan_step& step : plan) {
        const double fl = (step.phase == 'B' ? 17e3 : 20e3) * (1 + 0.2 * int(step.kind));
        const double fh = step.phase == displaced ? 450e3 : 300e3;
        tests.push_back({step.name, step.winding, log_grid(1e3, 1e6, 400, [&](double f) {
                             return winding_db(f, fl, fh) + offset;
                         })});
    }
    return tests;
}

} // namespace

TEST(AssessmentPlan, VectorGroupsGiveTheirStepsAndTerminals)
{
    const struct {
        const char* group;
        size_t steps;
        size_t terminals;
        size_t check; // a step looked at closely: its name and connections
        const char* name;
        const char* text;
    } cases[] = {
        {"Dyn11", 15, 7, 0, "HV open circuit 1U-1V",
         "Source on 1U, response measured on 1V. 1W, 2U, 2V, 2W and 2N left open."},
        {"dyn11", 15, 7, 4, "LV open circuit 2V-2N",
         "Source on 2V, response measured on 2N. 1U, 1V, 1W, 2U and 2W left open."},
        {"YNd11", 15, 7, 7, "HV short circuit 1V-1N (LV shorted)",
         "Source on 1V, response measured on 1N. 2U, 2V and 2W shorted together. 1U and 1W "
         "left open."},
        {"YNd11", 15, 7, 14, "HV-LV inductive inter-winding 1W-2W",
         "Source on 1W, response measured on 2W. 1N and 2V earthed. 1U, 1V and 2U left open."},
        // a delta's phase is the winding on that phase's limb, as the clock number places it
        {"YNd11", 15, 7, 3, "LV open circuit 2U-2W",
         "Source on 2U, response measured on 2W. 1U, 1V, 1W, 1N and 2V left open."},
        {"YNd1", 15, 7, 3, "LV open circuit 2U-2V",
         "Source on 2U, response measured on 2V. 1U, 1V, 1W, 1N and 2W left open."},
        {"Dyn1", 15, 7, 1, "HV open circuit 1V-1U",
         "Source on 1V, response measured on 1U. 1W, 2U, 2V, 2W and 2N left open."},
        {"Yzn1", 15, 7, 10, "HV-LV capacitive inter-winding 1V-2V",
         "Source on 1V, response measured on 2V. 1U, 1W, 2U, 2W and 2N left open."},
        {"Dd0", 15, 6, 5, "LV open circuit 2W-2U",
         "Source on 2W, response measured on 2U. 1U, 1V, 1W and 2V left open."},
        {"YNyn0d11", 33, 11, 12, "HV short circuit 1U-1N (TV shorted)",
         "Source on 1U, response measured on 1N. 3U, 3V and 3W shorted together. 1V, 1W, 2U, "
         "2V, 2W and 2N left open."},
        {"YNYN0D11", 33, 11, 32, "LV-TV inductive inter-winding 2W-3W",
         "Source on 2W, response measured on 3W. 2N and 3V earthed. 1U, 1V, 1W, 1N, 2U, 2V and "
         "3U left open."},
    };
    for (const auto& c : cases) {
        const std::vector<s_plan_step> plan = assessment_plan(unit_of(c.group));
        ASSERT_EQ(plan.size(), c.steps) << c.group;
        std::set<std::string> names, all{plan[0].source, plan[0].measured};
        all.insert(plan[0].open.begin(), plan[0].open.end());
        EXPECT_EQ(all.size(), c.terminals) << c.group;
        for (const s_plan_step& step : plan) {
            EXPECT_LE(step.name.size(), 50u);
            EXPECT_TRUE(names.insert(step.name).second) << step.name;
            std::string named = step.name;
            named.erase(named.find(" " + step.source + "-" + step.measured), 6);
            EXPECT_EQ(named, step.group);
            std::vector<std::string> used{step.source, step.measured}; // each terminal once
            for (const auto* list : {&step.shorted, &step.earthed, &step.open})
                used.insert(used.end(), list->begin(), list->end());
            EXPECT_EQ(std::multiset<std::string>(used.begin(), used.end()),
                      std::multiset<std::string>(all.begin(), all.end()));
        }
        const s_plan_step& step = plan[c.check];
        EXPECT_EQ(step.name, c.name);
        EXPECT_EQ(step.phase, 'A' + int(c.check % 3));
        EXPECT_EQ(plan_step_text(step), c.text);
    }
}

TEST(AssessmentPlan, UnknownGroupsAreRefusedWithTheirReason)
{
    const struct {
        std::string group;
        const char* error;
    } cases[] = {
        {"", "No vector group given"},
        {"Dxx", "Unknown vector group: Dxx"},
        {"D1yn11", "Unknown vector group: D1yn11"},
        {"YNa0d1", "Unknown vector group: YNa0d1"},
        {"DNyn11", "Unknown vector group: DNyn11"},
        {std::string("Dy\0n11", 6), "Unknown vector group: Dy?n11"},
        {"Dyn12", "Unknown vector group: Dyn12 (the clock number runs from 0 to 11)"},
        {"Dyn0", "Unknown vector group: Dyn0 (a delta or zigzag winding against a star one has "
                 "an odd clock number, two alike an even one)"},
        {"YNyn0d11yn0", "Unknown vector group: YNyn0d11yn0 (a unit has two or three windings)"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(transformer_parse(c.group, error)) << c.group;
        EXPECT_EQ(error, c.error);
    }
}

// A unit against its fingerprint, a sister 0.5 dB higher and phase by phase:
// a displaced phase is found and named, the healthy unit's middle phase is
// not, and a step the unit lacks leaves only its own comparisons out.
TEST(Assessment, ComparisonsFindTheDisplacedPhase)
{
    const std::vector<s_plan_step> plan = assessment_plan(unit_of("Dyn11"));
    const std::vector<s_measured> fingerprint = tests_of(plan), sister = tests_of(plan, 0, 0.5);
    const struct {
        char displaced;
        bool drop_last; // the unit lacks the last step
        size_t comparisons;
        char suspect;
    } cases[] = {{0, false, 45, 0}, {'A', false, 45, 'A'}, {'C', true, 41, 'C'}};
    for (const auto& c : cases) {
        std::vector<s_measured> unit = tests_of(plan, c.displaced);
        if (c.drop_last)
            unit.pop_back();
        const s_assessment a = assessment_compare(plan, unit, fingerprint, "2019", sister, "T2");
        ASSERT_EQ(a.comparisons.size(), c.comparisons);
        EXPECT_EQ(a.missing, c.drop_last ? std::vector<std::string>{plan.back().name}
                                         : std::vector<std::string>{});
        EXPECT_EQ(assessment_suspect_phase(a, plan), c.suspect);
        const s_assessment_comparison& symmetry = a.comparisons[6];
        EXPECT_EQ(symmetry.measurement + "|" + symmetry.pair + "|" + symmetry.reference,
                  "HV open circuit|A-B|HV open circuit 1U-1V");
        const std::vector<size_t> order = assessment_worst_first(a);
        const s_assessment_comparison& worst = a.comparisons[order.front()];
        const auto phase_of = [&](const std::string& name) {
            for (const s_plan_step& step : plan)
                if (step.name == name)
                    return step.phase;
            return '\0';
        };
        if (c.displaced) { // the worst is of the displaced phase, not the middle one
            EXPECT_TRUE(worst.pair.find(c.displaced) != std::string::npos ||
                        phase_of(worst.measurement) == c.displaced);
        }
        for (size_t k = 1; k < order.size(); ++k)
            EXPECT_GE(int(a.comparisons[order[k - 1]].result.verdict) % 4,
                      int(a.comparisons[order[k]].result.verdict) % 4);
        for (const s_assessment_comparison& cmp : a.comparisons) {
            if (cmp.basis == assessment_basis::phase_symmetry)
                continue;
            const bool moved = phase_of(cmp.measurement) == c.displaced;
            const bool sister_row = cmp.basis == assessment_basis::type_based;
            EXPECT_EQ(cmp.reference, sister_row ? "T2" : "2019");
            EXPECT_EQ(cmp.result.verdict == winding_verdict::normal, !moved) << cmp.measurement;
            for (const s_band_indicator& band : cmp.bands) {
                ASSERT_TRUE(band.factor.covered);
                if (moved)
                    continue;
                EXPECT_NEAR(band.correlation, 1, 1e-9);
                EXPECT_NEAR(band.max_abs_difference, sister_row ? 0.5 : 0, 1e-9);
            }
        }
    }
}
