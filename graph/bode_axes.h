#pragma once
// Grid lines and labels of the Bode chart's three axes, as positions and
// values relative to the plot area. The painter turns them into lines and
// text; the label texts come from bode_labels.h.

#include "graph/bode_geometry.h"

#include <vector>

enum class grid_pen {
    none,  // a label without a line
    minor, // dotted on a linear axis, solid on a logarithmic one
    major,
};

struct s_freq_tick {
    int x = 0;        // pixels from the plot's left edge
    double value = 0; // frequency in Hz
    grid_pen pen = grid_pen::none;
    bool labelled = false;
};

std::vector<s_freq_tick> bode_freq_ticks(const s_freq_range& range, int plot_width,
                                         bool log_scaling, const s_bode_style& style);

// The linear axis step: a power of ten, or a sixth of it when too few whole
// steps would fit.
double bode_linear_step(const s_freq_range& range, const s_bode_style& style);

struct s_value_tick {
    int y = 0; // pixels above the plot bottom
    double value = 0;
};

// Nine labels from bottom to top; the horizontal grid runs at ticks 1..7.
constexpr int BODE_VALUE_TICKS = 9;
std::vector<s_value_tick> bode_gain_ticks(const s_gain_range& range, int plot_height);
std::vector<s_value_tick> bode_phase_ticks(int phase_base, int plot_height);
