// The assessment window's view of a plan and its comparisons: the step to
// sweep next, and the two stored curves each kind of comparison compared.

#include "review/assessment_view.h"

#include <gtest/gtest.h>

TEST(AssessmentView, NextStepIsTheFirstNotSweptAfterTheLastGoingRound)
{
    const struct {
        std::vector<bool> swept;
        int after;
        int next;
    } cases[] = {
        {{false, false, false}, -1, 0},
        {{true, false, false}, 0, 1},
        {{false, true, false}, 2, 0},
        {{true, true, false}, -1, 2},
        {{true, false, true}, 1, 1},
        {{true, true, true}, 0, -1},
        {{}, -1, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(assessment_next_step(c.swept, c.after), c.next) << c.after;
}

TEST(AssessmentView, EachComparisonShowsTheCurvesItCompared)
{
    std::string error;
    s_assessment_inputs in;
    in.plan = assessment_plan(*transformer_parse("Dyn11", error));
    in.unit.session.Name = "After";
    // Each test's curve is one point whose gain tells where it came from:
    // the unit's step i is i, the fingerprint's 100 + i, the sister's 200 + i.
    const auto tests = [&](double base, size_t count) {
        std::vector<s_measured> out;
        for (size_t i = 0; i < count; ++i)
            out.push_back({in.plan[i].name, in.plan[i].winding, {{1e3, base + double(i)}}});
        return out;
    };
    in.unit.tests = tests(0, in.plan.size());
    in.fingerprint.tests = tests(100, in.plan.size());
    in.sister.tests = tests(200, 1);
    const s_plan_step& a = in.plan[0];
    const s_plan_step& b = in.plan[1];
    const struct {
        assessment_basis basis;
        std::string measurement, pair, reference;
        bool found;
        double reference_gain, test_gain;
    } cases[] = {
        {assessment_basis::time_based, a.name, "", "Before", true, 100, 0},
        {assessment_basis::time_based, b.name, "", "Before", true, 101, 1},
        {assessment_basis::type_based, a.name, "", "Sister", true, 200, 0},
        {assessment_basis::type_based, b.name, "", "Sister", false, 0, 0},
        {assessment_basis::phase_symmetry, a.group, "A-B", a.name, true, 0, 1},
        {assessment_basis::phase_symmetry, a.group, "A-B", b.name, true, 1, 0},
        {assessment_basis::phase_symmetry, a.group, "", a.name, false, 0, 0},
    };
    for (const auto& c : cases) {
        s_assessment_comparison comparison;
        comparison.basis = c.basis;
        comparison.measurement = c.measurement;
        comparison.pair = c.pair;
        comparison.reference = c.reference;
        s_compared_curves curves;
        const std::string what = c.measurement + " " + c.pair + " against " + c.reference;
        ASSERT_EQ(assessment_compared_curves(in, comparison, curves), c.found) << what;
        if (!c.found)
            continue;
        EXPECT_EQ(curves.reference.front().gain, c.reference_gain) << what;
        EXPECT_EQ(curves.test.front().gain, c.test_gain) << what;
    }
}

TEST(AssessmentView, ASessionGoneFromTheDatabaseIsNamed)
{
    const struct {
        int64_t unit, fingerprint, sister; // the keys the read left; 0 not asked
        const char* said;
    } cases[] = {
        {3, 1, 2, nullptr},
        {3, 0, 0, nullptr},
        {DB_NO_SUCH_ROW, 1, 0, "The unit's session is no longer in the database."},
        {3, DB_NO_SUCH_ROW, 2, "The fingerprint's session is no longer in the database."},
        {3, 1, DB_NO_SUCH_ROW, "The sister unit's session is no longer in the database."},
    };
    for (const auto& c : cases) {
        s_assessment_inputs in;
        in.unit.session.SessionNo = c.unit;
        in.fingerprint.session.SessionNo = c.fingerprint;
        in.sister.session.SessionNo = c.sister;
        const char* said = assessment_gone_session(in, c.fingerprint, c.sister);
        EXPECT_STREQ(said, c.said) << c.unit << " " << c.fingerprint << " " << c.sister;
    }
}
