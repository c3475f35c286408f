#pragma once
// The margin search over the tests a graph overlays: each test slot keeps
// its own 0 dB and 0-phase crossings for markers and cursors. A test with
// no crossing of the kind searched is reported by name, and that kind's
// search ends there: later slots are not searched for it in this run.

#include "fra/margins.h"

#include <array>
#include <string>
#include <vector>

constexpr int MARGIN_SLOTS = 9;

struct s_margin_slot {
    std::string test_name;
    std::vector<s_margin_sample> points; // empty: no test in this slot
    LList<s_gain_phase_point> zero_db;
    LList<s_gain_phase_point> zero_phase;
    bool gain_markers = false;
    bool phase_markers = false;
};

// Appends the crossings found to each slot's lists and switches its markers
// on for the lists that hold any; "not found" goes to the user through the
// message seam ("On %s: \n%s", titled "Tarvelo2").
void margin_search_slots(std::array<s_margin_slot, MARGIN_SLOTS>& slots);
