#pragma once
// The three comparisons of a transformer assessment and their indicators.
// Time-based: each measurement against the same unit's earlier test of the
// same measurement (its fingerprint). Type-based: against a sister unit's
// test of the same measurement. Phase symmetry: the three phases of one
// measurement group against each other (A-B, B-C, C-A). Each comparison is
// the winding comparison (band factors, judgement) plus, per band, the
// correlation coefficient and the largest absolute difference in dB.
// Pure arithmetic on curves; no windows, no database.
#include "review/assessment_plan.h"
#include "review/winding_compare.h"

#include <array>
#include <string>
#include <vector>

enum class assessment_basis { time_based, type_based, phase_symmetry };

// "Time-based", "Type-based", "Phase symmetry".
const char* assessment_basis_name(assessment_basis basis);

// One stored test of a unit as the assessment reads it.
struct s_measured {
    std::string name; // the test's Name (the plan step's name)
    std::string winding;
    std::vector<s_gain_sample> curve; // frequency, gain in dB
};

struct s_band_indicator {
    s_band_factor factor;          // points, covered, R, coverage (from the winding comparison)
    double correlation = 0;        // LR within the band (only when covered)
    double max_abs_difference = 0; // dB, within the band (only when covered)
};

struct s_assessment_comparison {
    assessment_basis basis = assessment_basis::time_based;
    std::string measurement; // the plan step's name; for phase symmetry the group's name
    std::string pair;        // phase symmetry: "A-B", "B-C", "C-A"; else ""
    std::string reference;   // what was compared against, as the report names it:
                             // the fingerprint's or sister's session name, or the phase's step name
    s_winding_result result;
    std::array<s_band_indicator, WINDING_BANDS> bands;
    double max_abs_difference = 0; // dB, over the whole common range
};

struct s_assessment {
    std::vector<s_assessment_comparison>
        comparisons;                  // plan order; time, type, then symmetry per step
    std::vector<std::string> missing; // plan steps the unit has no test of
};

// The comparisons of a unit's tests. fingerprint and sister may be empty
// (that comparison is then left out); their session names label the rows.
// A step missing from the fingerprint or sister is left out of that
// comparison only. A step's test is the one named as the step, ignoring
// case and outer blanks; of several so named the last (a measurement taken
// again). A phase symmetry pair is there when the unit has both phases'
// tests; its second phase is compared with its first, the reference.
s_assessment
assessment_compare(const std::vector<s_plan_step>& plan, const std::vector<s_measured>& unit,
                   const std::vector<s_measured>& fingerprint, const std::string& fingerprint_name,
                   const std::vector<s_measured>& sister, const std::string& sister_name);

// The test of a plan step among a session's tests, as the comparisons pick
// it: matched by name ignoring case and outer blanks, of several alike the
// last (a measurement taken again); null when there is none.
const s_measured* assessment_find_test(const std::vector<s_measured>& tests,
                                       const std::string& step_name);

// The comparisons worst first (severe, obvious, slight, normal, not judged;
// within one judgement the smallest low-band factor first), for the
// summary table: indexes into assessment.comparisons.
std::vector<size_t> assessment_worst_first(const s_assessment& assessment);

// The phase a unit's comparisons point to: the phase that stands in the two
// worse symmetry pairs of a group while the third pair is normal, or the
// phase of the worst time-based comparison; 0 when nothing stands out.
// A pair with phase B that deviates in the low band only counts as normal
// (see the note below); when groups point to different phases, the one
// most groups name, and none on a tie.
// The report names it ("Phase B stands out: ...").
char assessment_suspect_phase(const s_assessment& assessment, const std::vector<s_plan_step>& plan);

// The report's and the window's note on phase symmetry: the middle phase of
// a core-type unit differs from the outer ones at low frequencies by
// construction (its limb's flux paths are shorter), so a low-band deviation
// of B alone is expected.
const char* assessment_symmetry_note();
