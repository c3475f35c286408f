// The simulated transformer of the assessment's tests: the shapes of its
// measurement types, its set of devices swept in turn by the simulator, and
// a displaced phase that the winding comparison finds.
#include "../db/db_test_support.h"
#include "db/db_access.h"
#include "review/winding_compare.h"
#include "tests/support/cli_sim_fixture.h"
#include "tests/support/transformer_unit.h"

#include <fstream>
#include <iterator>

namespace {

std::vector<s_plan_step> dyn11_plan()
{
    std::string error;
    const auto unit = transformer_parse("Dyn11", error);
    return unit ? assessment_plan(*unit) : std::vector<s_plan_step>{};
}

const s_plan_step& step_of(assessment_kind kind, char phase, const char* winding = "HV")
{
    static const std::vector<s_plan_step> plan = dyn11_plan();
    for (const s_plan_step& s : plan)
        if (s.kind == kind && s.phase == phase &&
            (kind != assessment_kind::open_circuit || s.winding == winding))
            return s;
    throw std::runtime_error("no such step");
}

double gain_at(const std::vector<s_test_point>& points, double hz)
{
    for (const s_test_point& p : points)
        if (p.Frequency >= hz)
            return p.Amplitude;
    return points.back().Amplitude;
}

std::vector<s_gain_sample> gains(const s_test& test)
{
    std::vector<s_gain_sample> out;
    for (const s_test_point& p : test.points)
        out.push_back({p.Frequency, p.Amplitude});
    return out;
}

std::vector<s_test> stored_tests(int64_t session_no)
{
    collected_rows rows;
    EXPECT_EQ(db_list_tests(rows, session_no, true), 0);
    std::vector<s_test> tests(rows.keys.size());
    for (size_t i = 0; i < tests.size(); ++i)
        EXPECT_EQ(db_get_test(tests[i], rows.keys[i], true), 0);
    return tests;
}

using kind = assessment_kind;

TEST(TransformerUnit, MeasurementTypesHaveTheirShapes)
{
    const auto oc = unit_points(step_of(kind::open_circuit, 'A'));
    const auto oc_b = unit_points(step_of(kind::open_circuit, 'B'));
    const auto oc_c = unit_points(step_of(kind::open_circuit, 'C'));
    const auto sc = unit_points(step_of(kind::short_circuit, 'A'));
    const auto ciw = unit_points(step_of(kind::capacitive_interwinding, 'A'));
    const auto iiw = unit_points(step_of(kind::inductive_interwinding, 'A'));
    // The gain of a at fa less that of b at fb (0 dB without b).
    const struct {
        const char* what;
        const std::vector<s_test_point>* a;
        double fa;
        const std::vector<s_test_point>* b;
        double fb, lo, hi;
    } rows[] = {
        {"open circuit falls inductively", &oc, 100, &oc, 1e3, 18, 23},
        {"short circuit is far higher", &sc, 1e3, &oc, 1e3, 20, 40},
        {"capacitive inter-winding rises", &ciw, 10e3, &ciw, 1e3, 12, 20},
        {"inductive inter-winding is the turns ratio", &iiw, 1e3, nullptr, 0, -21, -19},
        {"the middle limb is lower at low frequency", &oc, 1e3, &oc_b, 1e3, 2.5, 3.3},
        {"and alike above", &oc, 300e3, &oc_b, 300e3, -0.2, 0.2},
        {"the outer limbs are alike", &oc_c, 1e3, &oc, 1e3, 0, 0},
    };
    for (const auto& r : rows) {
        const double d = gain_at(*r.a, r.fa) - (r.b ? gain_at(*r.b, r.fb) : 0);
        EXPECT_GE(d, r.lo) << r.what;
        EXPECT_LE(d, r.hi) << r.what;
    }
    // Every type shows a string of resonances between 10 kHz and 1 MHz.
    for (const auto* p : {&oc, &sc, &ciw, &iiw}) {
        int peaks = 0;
        for (size_t i = 1; i + 1 < p->size(); ++i)
            peaks += (*p)[i].Frequency > 10e3 && (*p)[i].Frequency < 1e6 &&
                     (*p)[i].Amplitude > (*p)[i - 1].Amplitude &&
                     (*p)[i].Amplitude > (*p)[i + 1].Amplitude;
        EXPECT_GE(peaks, 5);
    }
}

class TransformerUnitSweeps : public cli_sim_fixture {
protected:
    void configure(sim::sim_options& options) override
    {
        unit_configure(options, devices);
        options.log_path = dir + "/sim.log";
    }
    const std::vector<s_plan_step> devices = {step_of(kind::open_circuit, 'A'),
                                              step_of(kind::short_circuit, 'B'),
                                              step_of(kind::capacitive_interwinding, 'C')};
};

TEST_F(TransformerUnitSweeps, EachSweepMeasuresTheNextDeviceOfTheSet)
{
    bool is_new = false;
    ASSERT_TRUE(db_open(dir + "/t.db", DB_OPEN_OR_CREATE, &is_new));
    s_session session;
    session.Name = "Unit";
    ASSERT_EQ(db_save_session(session, false), 0);
    db_close();
    for (int sweep = 0; sweep < 4; ++sweep)
        ASSERT_EQ(run_cli("fra-sweep --data " + dir + " --db " + dir +
                          "/t.db --session Unit --test Run --winding HV")
                      .status,
                  0);
    ASSERT_TRUE(db_open(dir + "/t.db", DB_OPEN_EXISTING, &is_new));
    const std::vector<s_test> tests = stored_tests(session.SessionNo);
    db_close();
    ASSERT_EQ(tests.size(), 4u);
    for (size_t sweep = 0; sweep < tests.size(); ++sweep) {
        std::string error;
        const auto dut = sim::parse_fra_dut(unit_fra_dut(devices[sweep % 3]), error);
        for (const s_test_point& p : tests[sweep].points)
            ASSERT_NEAR(p.Amplitude, sim::fra_point(*dut, p.Frequency, {})[3], 0.01)
                << "sweep " << sweep << " at " << p.Frequency;
    }
    // The transcript names each sweep's device: 1, 2, 3, then 1 again.
    std::ifstream log(dir + "/sim.log");
    std::string text{std::istreambuf_iterator<char>(log), {}}, notes;
    for (size_t at = 0; (at = text.find(" of 3", at + 1)) != std::string::npos;)
        notes += text[at - 1];
    EXPECT_EQ(notes, "1231");
}

class TransformerUnitSessions : public db_fixture {};

TEST_F(TransformerUnitSessions, DisplacedPhaseIsJudgedWorseThanARepeat)
{
    create();
    const std::vector<s_plan_step> plan = dyn11_plan();
    ASSERT_EQ(plan.size(), 15u);
    s_session session;
    session.Name = "Fingerprint";
    const std::vector<s_test> fingerprint = stored_tests(unit_store_session(session, plan));
    const struct {
        const char* name;
        s_unit_condition condition;
    } rows[] = {{"Repeat", {}}, {"Moved", {'B', UNIT_DEFAULT_DISPLACEMENT}}};
    for (const auto& r : rows) {
        session.Name = r.name;
        const std::vector<s_test> tests =
            stored_tests(unit_store_session(session, plan, r.condition));
        ASSERT_EQ(tests.size(), plan.size());
        for (size_t i = 0; i < plan.size(); ++i) {
            EXPECT_EQ(tests[i].Name, plan[i].name);
            EXPECT_EQ(tests[i].Winding, plan[i].winding);
            const auto moved = winding_compare(gains(fingerprint[i]), gains(tests[i]));
            EXPECT_GE(moved.bands[WINDING_HIGH].points, 10);
            const auto expected = plan[i].phase == r.condition.displaced_phase
                                      ? winding_verdict::slight
                                      : winding_verdict::normal;
            EXPECT_EQ(moved.verdict, expected) << r.name << ": " << plan[i].name;
        }
    }
}

} // namespace
