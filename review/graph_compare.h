#pragma once
// The graph dialog's winding comparison: the first test on the chart is the
// reference and every other one is judged against it. The Difference view
// draws each test's difference curve (test - reference, dB) in that test's
// gain colour about a 0 dB line.
#include "review/graph_model.h"
#include "review/winding_report.h"

struct s_graph_comparison {
    std::string reference;           // the reference test's name
    std::vector<int> chart_slots;    // the chart slot of each row
    std::vector<s_winding_row> rows; // one per compared test, in slot order
};

// Needs two or more tests on the chart (the menu item is enabled then).
bool graph_can_compare(const graph_model& m);
s_graph_comparison graph_compare_with_reference(const graph_model& m);

// The Difference view's value axis: symmetric about 0 dB, its half-span the
// first of 1, 2, 5, 10, 20, 50 ... dB that holds every difference inside the
// frequency range.
s_gain_range graph_difference_range(const s_graph_comparison& c, const s_freq_range& freq);
