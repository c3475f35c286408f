#pragma once
// The piezo graph's axes apart from drawing: impedance (log or linear) and
// phase against frequency (log or linear), with three tick styles per value
// axis. The same numbers serve the window and the report's picture.

#include "graph/bode_geometry.h"
#include "lcr/lcr_point.h"
#include "lcr/lcr_view.h"

#include <vector>

// Frequency range of the points (a minimum that is not positive becomes
// 1 Hz); the impedance range is 0.8 x the lowest and 1.2 x the highest
// positive impedance. Without points both stay as they were.
s_freq_range piezo_freq_range(const LcrResults& r, const s_freq_range& previous);
s_value_range piezo_impedance_range(const LcrResults& r, const s_value_range& previous);

// The impedance axis drawn for a range of impedances: linear on a round
// scale (eight divisions of 1, 2, 2.5 or 5 x 10^k), or logarithmic over
// decades divided at round marks, for a plot `height` pixels high with
// labels `label_pixels` high.
struct s_impedance_tick {
    double value = 0;
    bool labelled = true;
};
struct s_impedance_axis {
    s_value_range range;
    double step = 0; // between labels on the linear axis; 0 on the log axis
    std::vector<s_impedance_tick> ticks;
};
s_impedance_axis piezo_impedance_axis(const s_value_range& impedance, bool log, int height,
                                      int label_pixels);

// Height above the plot bottom on an axis over `range` (as drawn), clamped
// into 0..height. On the log axis an impedance that is not positive (or a
// range bottom that is not) sits at the bottom.
int piezo_impedance_y(double z, const s_value_range& range, int height, bool log);
// The phase axis spans 360 degrees from -180, -360 or 0 by convention.
int piezo_phase_y(double phase, int phase_convention, int height);

// Tick style 0: 5 pixels outside the axis; 1: a tenth of the plot size
// inside; 2: a grid line across the plot. Returns the length inside the
// plot (negative: outside) for a plot size.
int piezo_tick_length(int style, int plot_size);
