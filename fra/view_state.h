#pragma once
// What the FRA view shows of the last sweep: the axis ranges worked out
// from the points, the two cursors and the graph settings of its controls.

#include "fra/fra_result.h"
#include "fra/margins.h"
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
// "Go to gain crossover" (zero_db: cursor 0) and "go to phase crossover"
// (zero_phase: cursor 1): the cursor onto the sweep point nearest the main
// crossing of that kind. False, and the cursor kept, without a crossing.
bool fra_view_go_to_crossover(s_fra_view_state& view, const FraResults& results, margin_kind kind);
