#pragma once
// The LCR results view's graph, apart from drawing: the frequency and value
// axes, the value labels, the traces, the cursors and their readouts, as
// positions relative to the plot area. The painter only draws what these
// say.

#include "graph/bode_axes.h"
#include "graph/bode_geometry.h"
#include "graph/bode_traces.h"
#include "lcr/lcr_point.h"

#include <string>
#include <vector>

struct s_value_range {
    double min = 0;
    double max = 1;
};

// The frequency axis over the points: a minimum that is not positive (a bad
// reply or file) becomes 1 Hz, a range below 1e-10 gets 10 Hz more. With no
// points the previous range stays.
s_freq_range lcr_freq_range(const LcrResults& r, const s_freq_range& previous);

// A value axis for the quantity at position (1..values-1) over the points
// inside the frequency range: the true extremes, widened by 10 when they are
// equal, then (except for a phase) by 5 % of |max| above and 5 % of |min|
// below. With no points inside, the previous range stays.
s_value_range lcr_value_range(const LcrResults& r, int position, const s_freq_range& freq,
                              const s_value_range& previous);

// Whether the quantity at a position of the layout is a phase (no margins).
bool lcr_is_phase(int layout, int position);

// The plot inside the client area less the control strip: 80 at the sides,
// 10 on top, 90 below (150 with the large-font setting).
s_plot_rect lcr_plot_area(int client_width, int client_height, int strip_height, bool large_font);

// The nine value labels from bottom to top: "%0.1lf" when the span is at
// least 1, else "%.1E".
std::vector<std::string> lcr_value_labels(const s_value_range& range);

// The polyline of one quantity in plot coordinates (y downwards).
std::vector<s_pixel> lcr_trace(const LcrResults& r, int position, const s_freq_range& freq,
                               const s_value_range& range, const s_plot_rect& plot, bool log);

// A cursor's point index clamped to the points, or -1 without points.
int lcr_cursor_index(int cursor, int count);

// The three readout lines of a cursor: "Frequency: %sHz", then "%s: %s%s"
// for the left and the right quantity. Empty without points.
std::vector<std::string> lcr_cursor_readout(const LcrResults& r, int cursor, int left_position,
                                            int right_position);
