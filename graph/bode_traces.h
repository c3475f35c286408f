#pragma once
// Trace geometry of the Bode chart in plot coordinates (x from the plot's
// left edge, y downwards from the plot's top edge), and the cursor slope.

#include "graph/bode_geometry.h"

#include <span>
#include <vector>

struct s_pixel {
    int x = 0;
    int y = 0;
    bool operator==(const s_pixel&) const = default;
};

struct s_trace_sample {
    double frequency = 0;
    double value = 0; // gain in dB or phase in degrees
};

// Maps a value to its height above the plot bottom.
struct s_value_axis {
    bool phase = false;
    s_gain_range gain;
    int phase_base = -180;
    double y_of(double v, int plot_height) const;
};

// The FRA view's polyline: from the first point at or right of the left
// edge to the last point not beyond the right edge, heights clamped into
// the plot so out-of-range parts run along its top or bottom.
std::vector<s_pixel> bode_trace_clamped(std::span<const s_trace_sample> samples,
                                        const s_freq_range& range, const s_value_axis& axis,
                                        const s_plot_rect& plot, bool log_scaling);

// x of every frequency, worked out once and shared by a series' two traces.
std::vector<int> bode_x_positions(std::span<const double> frequencies, const s_freq_range& range,
                                  int plot_width, bool log_scaling);

// The two traces from precomputed x positions and their values.
std::vector<s_pixel> bode_trace_clamped(std::span<const int> xs, std::span<const double> values,
                                        const s_value_axis& axis, const s_plot_rect& plot);

struct s_segment {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

// The graph dialog's segments: each pair of neighbours clipped to the plot
// rectangle; parts outside it are not drawn, and the walk stops at the first
// point right of the plot.
std::vector<s_segment> bode_trace_clipped(std::span<const s_trace_sample> samples,
                                          const s_freq_range& range, const s_value_axis& axis,
                                          const s_plot_rect& plot, bool log_scaling);

std::vector<s_segment> bode_trace_clipped(std::span<const int> xs, std::span<const double> values,
                                          const s_value_axis& axis, const s_plot_rect& plot);

// Clips a segment to [0,w]x[0,h]; false when nothing of it is inside.
bool bode_clip_segment(s_segment& s, double w, double h);

struct s_slope_sample {
    double frequency = 0;
    double gain = 0;
};

// dB per decade at point c, from its previous to its next neighbour (or to
// itself when it is the last point); 0 at the first point or when the two
// frequencies give no usable ratio.
double bode_cursor_slope(std::span<const s_slope_sample> points, int c);
