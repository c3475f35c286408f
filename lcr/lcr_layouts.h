#pragma once
// The four reply layouts of an LCR sweep. The three-channel model answers
// in the form its "Parameter" setting (137) selects; every other model
// always answers with eight values. One table holds, per layout, the
// quantities in reply order with what the list, the graph's quantity boxes
// and the cursor readouts call them.

#include "link/instrument_caps.h"

#include <string>
#include <vector>

enum lcr_layout_code : int {
    LCR_LAYOUT_STANDARD = 2,  // 8 values, parallel L, C, R
    LCR_LAYOUT_FULL = 5,      // 13 values, series and parallel
    LCR_LAYOUT_IMPEDANCE = 6, // 5 values, Z real/quadrature
    LCR_LAYOUT_ADMITTANCE = 7 // 5 values, Y real/quadrature
};

// Parameter 137 of the three-channel model: Auto, Capacitance, Inductance,
// Impedance, Admittance.
constexpr int LCR_PARAM_QUANTITY = 137;
constexpr int LCR_QUANTITY_IMPEDANCE = 3;
constexpr int LCR_QUANTITY_ADMITTANCE = 4;
constexpr int LCR_OPERATING_MODE = 3;

struct s_lcr_quantity {
    const char* name;       // list heading name ("Z Magnitude")
    const char* unit;       // list unit, "" for none ("Ohms", "\xB0")
    const char* box_item;   // graph quantity box ("Z MAGNITUDE (Ohms)")
    const char* short_name; // cursor readout ("Imped")
    const char* readout_unit;
    bool phase;             // no margins on its axis
    bool magnitude = false; // |Z|, |Y|, L, C, R: a logarithmic axis unless the user says not
};

struct s_lcr_layout {
    int code;
    int values;                             // per point, the frequency included
    std::vector<s_lcr_quantity> quantities; // positions 1..values-1
};

// The layout for the instrument and its parameter 137.
int lcr_layout_for(const s_instrument_caps& caps, int quantity_param);

// One of the four reply layouts.
bool lcr_layout_known(long code);

// The table entry of a layout code; unknown codes read as layout 2.
const s_lcr_layout& lcr_layout(int code);

// The list headings: "Steps", "Frequency (Hz)", then "%s" or "%s (%s)".
std::vector<std::string> lcr_list_headings(int code);

// The graph quantity boxes' items for a layout; before any sweep (code 0)
// they are the impedance and the phase.
std::vector<std::string> lcr_box_items(int code);
