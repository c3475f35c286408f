#pragma once
// The test plan of a transformer's frequency response assessment: for a
// unit described by its vector group (and tap position) the standard
// measurements, in the order they are swept, each with its terminal
// connections. The plan is data: a table of measurement types and a table
// of winding connections (D, Y, YN, Z, ZN), not code per transformer.
// Terminals follow the usual marking: 1U 1V 1W 1N for the high-voltage
// winding, 2U 2V 2W 2N for the low-voltage one, 3U 3V 3W 3N for a third.
// Phases A, B, C are the U, V and W limbs.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class assessment_kind {
    open_circuit,            // end-to-end, other terminals open
    short_circuit,           // end-to-end of the HV winding, the LV (or third) winding shorted
    capacitive_interwinding, // source on one winding, measured on another, the rest open
    inductive_interwinding,  // the same with the other end of both windings earthed
};

struct s_winding_spec {
    std::string label;      // "HV", "LV", "TV"
    char terminal = '1';    // '1', '2', '3': the terminals' prefix
    std::string connection; // "D", "Y", "YN", "Z", "ZN"
    int clock = 0;          // the phase displacement (0..11) against HV; 0 for HV
};

struct s_transformer {
    std::string vector_group;             // as typed: "Dyn11", "YNyn0", "YNd11", "YNyn0d1"
    std::vector<s_winding_spec> windings; // HV first; two or three
    std::string tap;                      // the tap position as the user gives it; "" none
};

// The unit of a vector group, or nothing with the reason in error
// ("Unknown vector group: Dxx" and the like). Case as usual: the HV
// letters upper case, the others lower; both cases are accepted.
std::optional<s_transformer> transformer_parse(std::string_view vector_group, std::string& error);

struct s_plan_step {
    std::string name;    // unique in the plan and stable across units of the same group;
                         // the stored test's Name (at most 50 characters), e.g.
                         // "HV open circuit 1U-1N", "HV short circuit 1U-1N (LV shorted)"
    std::string group;   // the name without its phase: "HV open circuit"; the three
                         // phases of one group are compared with each other
    std::string winding; // the stored test's Winding: "HV", "LV", "HV-LV"
    assessment_kind kind = assessment_kind::open_circuit;
    char phase = 'A';                 // 'A', 'B', 'C'
    std::string source;               // terminal that gets the source, "1U"
    std::string measured;             // terminal whose response is measured, "1N"
    std::vector<std::string> shorted; // terminals joined together ("2U", "2V", "2W")
    std::vector<std::string> earthed; // terminals connected to earth
    std::vector<std::string> open;    // every other terminal of the unit
};

// The measurements of the unit in the order they are swept: open circuit of
// every winding phase by phase (HV first), short circuit, capacitive then
// inductive inter-winding. A two-winding unit has 15.
std::vector<s_plan_step> assessment_plan(const s_transformer& unit);

// The step's connections in words, one sentence each: "Source on 1U,
// response measured on 1N.", "2U, 2V and 2W shorted together.",
// "1V and 1W left open." (what the window shows beside its drawing and the
// report prints).
std::string plan_step_text(const s_plan_step& step);

// "open circuit", "short circuit", "capacitive inter-winding",
// "inductive inter-winding".
const char* assessment_kind_name(assessment_kind kind);
