#pragma once
// The piezo graph's axes apart from drawing: impedance (log or linear) and
// phase against frequency (log or linear), with three tick styles per value
// axis. The same numbers serve the window and the report's picture.

#include "graph/bode_geometry.h"
#include "lcr/lcr_point.h"
#include "lcr/lcr_view.h"

// Frequency range of the points (a minimum that is not positive becomes
// 1 Hz); the impedance range is 0.8 x the lowest and 1.2 x the highest
// positive impedance. Without points both stay as they were.
s_freq_range piezo_freq_range(const LcrResults& r, const s_freq_range& previous);
s_value_range piezo_impedance_range(const LcrResults& r, const s_value_range& previous);

// Height above the plot bottom, clamped into 0..height. On the log axis an
// impedance that is not positive (or a range bottom that is not) sits at the
// bottom; the linear axis starts at 10^round(log10 Zlow).
int piezo_impedance_y(double z, const s_value_range& range, int height, bool log);
// Bottom of the linear impedance axis: 10^round(log10 Zlow), 0 when Zlow
// is not positive.
double piezo_linear_base(const s_value_range& range);
// The phase axis spans 360 degrees from -180, -360 or 0 by convention.
int piezo_phase_y(double phase, int phase_convention, int height);

// Tick style 0: 5 pixels outside the axis; 1: a tenth of the plot size
// inside; 2: a grid line across the plot. Returns the length inside the
// plot (negative: outside) for a plot size.
int piezo_tick_length(int style, int plot_size);
