#pragma once
// A simulated three-phase, core-type transformer for the assessment's
// tests: for each step of a test plan, the winding as that step connects it,
// described as a ladder network for the simulator (--fra-dut) or computed
// directly into stored test points, from the same model.
//
// The measurement types differ in shape: end-to-end open circuit falls with
// the magnetising inductance up to a dip near 2 kHz; short circuit sees only
// the leakage inductance and stays high at low frequency; capacitive
// inter-winding rises with the coupling capacitance; inductive inter-winding
// stays near the turns ratio up to its first resonance. The middle phase B of
// every winding has the larger magnetising inductance of the middle limb, so
// it differs from A and C below about 10 kHz by construction. One phase may be
// displaced: the capacitance to earth of six sections of each of that limb's
// windings (of 16 in HV, 12 in LV; from a third of the way along) changes by
// the displacement, as a winding that has moved towards the core or the
// tank does.
//
// Link tests/support/transformer_unit.cpp with sim_core and db.

#include "db/db_records.h"
#include "review/assessment_plan.h"
#include "sim/options.h"

#include <cstdint>
#include <string>
#include <vector>

// A displacement that the winding comparison judges a slight deformation in
// every step of the displaced phase, while an unchanged repeat is a normal
// winding. (A few per cent of one section stays a normal winding: the
// method's bands are that tolerant.)
constexpr double UNIT_DEFAULT_DISPLACEMENT = 0.2;

// How the unit stands against its healthy state.
struct s_unit_condition {
    char displaced_phase = 0;                        // 'A', 'B' or 'C'; 0: none
    double displacement = UNIT_DEFAULT_DISPLACEMENT; // relative change of the moved capacitance
};

// The sweep the unit's tests are taken with: logarithmic, UNIT_SWEEP_STEPS
// points from UNIT_SWEEP_START to UNIT_SWEEP_END (Hz), which covers every
// band of the winding comparison with enough points (30 in 600 kHz..1 MHz).
constexpr double UNIT_SWEEP_START = 100;
constexpr double UNIT_SWEEP_END = 2e6;
constexpr int UNIT_SWEEP_STEPS = 500;

// The --fra-dut text of the unit's winding as the step connects it.
std::string unit_fra_dut(const s_plan_step& step, const s_unit_condition& condition = {});

// One text per step, in plan order.
std::vector<std::string> unit_fra_duts(const std::vector<s_plan_step>& plan,
                                       const s_unit_condition& condition = {});

// The simulator's arguments for the unit: "--fra-dut" and its text for every
// step in plan order, so that its n-th frequency response sweep measures the
// n-th step (and the set starts again after the last).
std::vector<std::string> unit_sim_args(const std::vector<s_plan_step>& plan,
                                       const s_unit_condition& condition = {});

// The same set given to an in-process simulator's options (replacing its
// frequency response devices).
void unit_configure(sim::sim_options& options, const std::vector<s_plan_step>& plan,
                    const s_unit_condition& condition = {});

// The step's response at the unit sweep's frequencies as stored points
// (gain in dB, phase in degrees -180..180), computed from the model without
// sweeping.
std::vector<s_test_point> unit_points(const s_plan_step& step,
                                      const s_unit_condition& condition = {});

// Stores the session (its Name, Unit, date and the rest as given) in the
// open database with one test per step in plan order: Name the step's name,
// Winding its winding, the points of unit_points. Returns the new
// SessionNo, or -1 when a write failed.
int64_t unit_store_session(s_session session, const std::vector<s_plan_step>& plan,
                           const s_unit_condition& condition = {});
