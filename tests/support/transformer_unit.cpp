#include "tests/support/transformer_unit.h"

#include "db/db_access.h"
#include "sim/fra_dut.h"
#include "sim/measure.h"
#include "sim/sweep_plan.h"

#include <cstdio>
#include <cstdlib>

namespace {

// One winding of a limb as a ladder: the high-voltage winding has more
// turns (more inductance, less capacitance per section) than the
// low-voltage one. Both show the magnetising dip near 2.2 kHz.
struct s_winding_model {
    int sections;
    double l, k, r, cs, cg, lm, cm, rc, ce;
};

constexpr s_winding_model k_hv = {16, 0.4e-3, 0.7, 20, 100e-12, 200e-12, 2.0, 2.5e-9, 40e3, 20e-12};
constexpr s_winding_model k_lv = {12, 0.06e-3, 0.7, 3, 300e-12, 600e-12, 0.3, 16.7e-9, 6e3, 60e-12};

// The middle limb's shorter magnetic path: a larger magnetising inductance.
constexpr double k_middle_limb_lm = 1.4;
// The HV winding's inductance with the LV winding shorted.
constexpr double k_leakage_lm = 0.03;
// Between the windings of a limb: capacitance, and the voltage ratio with the
// LV winding's leakage.
constexpr double k_interwinding_cc = 3e-9;
constexpr double k_turns_ratio = 0.1;
constexpr double k_lv_leakage = 0.3e-3;
// A displaced phase: six sections from a third of the way along the winding
// move.
constexpr int k_moved_sections = 6;

std::string ladder_text(const s_winding_model& w, double lm)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "ladder=%d;L=%.6g;k=%.6g;R=%.6g;Cs=%.6g;Cg=%.6g;Lm=%.6g;"
                  "Cm=%.6g;Rc=%.6g;Ce=%.6g",
                  w.sections, w.l, w.k, w.r, w.cs, w.cg, lm, w.cm, w.rc, w.ce);
    return text;
}

std::string connection_text(const s_plan_step& step)
{
    char text[128];
    switch (step.kind) {
    case assessment_kind::capacitive_interwinding:
        std::snprintf(text, sizeof text, ";end=open;Cc=%.6g", k_interwinding_cc);
        return text;
    case assessment_kind::inductive_interwinding:
        std::snprintf(text, sizeof text, ";end=earth;Cc=%.6g;ratio=%.6g;Lk=%.6g", k_interwinding_cc,
                      k_turns_ratio, k_lv_leakage);
        return text;
    default: return "";
    }
}

sim::fra_dut parsed(const std::string& text)
{
    std::string error;
    auto dut = sim::parse_fra_dut(text, error);
    if (!dut) {
        std::fprintf(stderr, "transformer_unit: %s: %s\n", text.c_str(), error.c_str());
        std::abort();
    }
    return *dut;
}

} // namespace

std::string unit_fra_dut(const s_plan_step& step, const s_unit_condition& condition)
{
    const bool lv = step.kind == assessment_kind::open_circuit && step.winding != "HV";
    const s_winding_model& w = lv ? k_lv : k_hv;
    double lm = w.lm * (step.phase == 'B' ? k_middle_limb_lm : 1.0);
    if (step.kind == assessment_kind::short_circuit) {
        lm = k_leakage_lm;
    }
    std::string text = ladder_text(w, lm) + connection_text(step);
    if (condition.displaced_phase == step.phase && condition.displacement != 0) {
        const int first = w.sections / 3 + 1;
        char moved[64];
        std::snprintf(moved, sizeof moved, ";moved=%d-%d;dCg=%.6g", first,
                      first + k_moved_sections - 1, condition.displacement);
        text += moved;
    }
    return text;
}

std::vector<std::string> unit_fra_duts(const std::vector<s_plan_step>& plan,
                                       const s_unit_condition& condition)
{
    std::vector<std::string> texts;
    for (const s_plan_step& step : plan) {
        texts.push_back(unit_fra_dut(step, condition));
    }
    return texts;
}

std::vector<std::string> unit_sim_args(const std::vector<s_plan_step>& plan,
                                       const s_unit_condition& condition)
{
    std::vector<std::string> args;
    for (const std::string& text : unit_fra_duts(plan, condition)) {
        args.push_back("--fra-dut");
        args.push_back(text);
    }
    return args;
}

void unit_configure(sim::sim_options& options, const std::vector<s_plan_step>& plan,
                    const s_unit_condition& condition)
{
    options.instrument.fra_more.clear();
    options.fra_duts = 0;
    for (const std::string& text : unit_fra_duts(plan, condition)) {
        if (options.fra_duts++ == 0) {
            options.instrument.fra = parsed(text);
        } else {
            options.instrument.fra_more.push_back(parsed(text));
        }
    }
}

std::vector<s_test_point> unit_points(const s_plan_step& step, const s_unit_condition& condition)
{
    const sim::fra_dut dut = parsed(unit_fra_dut(step, condition));
    std::vector<s_test_point> points;
    for (double hz :
         sim::sweep_frequencies(UNIT_SWEEP_START, UNIT_SWEEP_END, UNIT_SWEEP_STEPS, false)) {
        const auto values = sim::fra_point(dut, hz, sim::fra_conditions{});
        points.push_back({hz, values[3], values[4]});
    }
    return points;
}

int64_t unit_store_session(s_session session, const std::vector<s_plan_step>& plan,
                           const s_unit_condition& condition)
{
    session.SessionNo = 0;
    if (db_save_session(session, false) != 0) {
        return -1;
    }
    for (const s_plan_step& step : plan) {
        s_test test;
        test.SessionNo = session.SessionNo;
        test.Name = step.name;
        test.Winding = step.winding;
        for (const s_test_point& p : unit_points(step, condition)) {
            if (test_add_point(test, &p) != 0) {
                return -1;
            }
        }
        if (!db_store_test(test)) {
            return -1;
        }
    }
    return session.SessionNo;
}
