#pragma once
// What the FRA view shows of the last sweep: the axis ranges worked out
// from the points, the two cursors and the graph settings of its controls.

#include "fra/fra_result.h"
#include "graph/bode_geometry.h"

struct s_fra_view_state {
    s_freq_range freq;
    s_gain_range gain;
    int cursor[2] = {0, 0};
    bool centre_zero = false;
    int scaling = 0;    // 0 logarithmic, 1 linear
    int background = 0; // 0 black, 1 white
};

// A new sweep: the frequency and gain ranges from its points, cursor 0 on
// the first point and cursor 1 on the last.
void fra_view_new_sweep(s_fra_view_state& view, const FraResults& results);
// The gain range again (after the centre setting changed).
void fra_view_gain_range(s_fra_view_state& view, const FraResults& results);
// Moves a cursor to index, kept within the points; true when it moved.
bool fra_view_move_cursor(s_fra_view_state& view, int which, int index, int count);
