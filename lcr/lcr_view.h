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
    // Logarithmic: min..max hold the extremes of the positive values, or
    // the axis as drawn once the painter has placed its decades.
    bool log = false;
};

// The frequency axis over the points: a minimum that is not positive (a bad
// reply or file) becomes 1 Hz, a range below 1e-10 gets 10 Hz more. With no
// points the previous range stays.
s_freq_range lcr_freq_range(const LcrResults& r, const s_freq_range& previous);

// A value axis for the quantity at position (1..values-1) over the points
// inside the frequency range: the true extremes, widened by 10 when they are
// equal, then (except for a phase) by 5 % of |max| above and 5 % of |min|
// below, then out to the round scale that holds them (round_scale.h). With
// no points inside, the previous range stays. A logarithmic axis spans the
// positive values alone; without any it is drawn linear.
s_value_range lcr_value_range(const LcrResults& r, int position, const s_freq_range& freq,
                              const s_value_range& previous, bool log = false);

// Whether the quantity at a position of the layout is a phase (no margins).
bool lcr_is_phase(int layout, int position);
// Whether it is a magnitude (|Z|, |Y|, L, C, R), drawn on a logarithmic
// axis until the user chooses otherwise.
bool lcr_log_by_default(int layout, int position);

// The plot inside the client area less the control strip: 80 at the sides,
// 10 on top, 90 below (150 with the large-font setting).
s_plot_rect lcr_plot_area(int client_width, int client_height, int strip_height, bool large_font);

// The nine value labels from bottom to top, each with the decimals or the
// SI prefix its division needs ("0.25", "2.5 M").
std::vector<std::string> lcr_value_labels(const s_value_range& range);

// A value's height above the plot bottom on an axis as drawn, clamped into
// 0..height; 0 for what a logarithmic axis cannot show (not positive).
int lcr_value_height(double v, const s_value_range& range, int height);

// The polyline of one quantity in plot coordinates (y downwards), in pieces:
// on a logarithmic axis a value that is not positive breaks the line.
std::vector<std::vector<s_pixel>> lcr_trace(const LcrResults& r, int position,
                                            const s_freq_range& freq, const s_value_range& range,
                                            const s_plot_rect& plot, bool log);

// A cursor's point index clamped to the points, or -1 without points.
int lcr_cursor_index(int cursor, int count);

// The three readout lines of a cursor: "Frequency: %sHz", then "%s: %s%s"
// for the left and the right quantity. Empty without points.
std::vector<std::string> lcr_cursor_readout(const LcrResults& r, int cursor, int left_position,
                                            int right_position);

// What the results view shows of the last sweep: the axes worked out from
// the points, the quantity chosen in each box (item index; the quantity
// sits at item + 1 in a point), the two cursors and the graph settings.
struct s_lcr_view_state {
    s_freq_range freq;
    // Before the first sweep: 0..2 in quarters.
    s_value_range left{0, 2};
    s_value_range right{0, 2};
    int item[2] = {0, 1};         // left box, right box
    bool log[2] = {false, false}; // each box's value axis logarithmic
    int cursor[2] = {0, 0};
    int scaling = 0;    // 0 logarithmic, 1 linear
    int background = 0; // 0 black, 1 white
};

// A new sweep: the frequency range and both value axes from its points,
// cursor 0 on the first point and cursor 1 on the last.
void lcr_view_new_sweep(s_lcr_view_state& view, const LcrResults& results);
// A quantity box changed (side 0 left, 1 right): that axis again; a
// quantity other than the box held takes its default scaling.
void lcr_view_set_quantity(s_lcr_view_state& view, const LcrResults& results, int side, int item);
// The boxes of a new layout: its first two quantities, each with its
// default scaling.
void lcr_view_reset_quantities(s_lcr_view_state& view, int layout);
// Moves a cursor to index, kept within the points; true when it moved.
bool lcr_view_move_cursor(s_lcr_view_state& view, int which, int index, int count);
