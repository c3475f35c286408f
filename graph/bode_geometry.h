#pragma once
// Where things fall on a Bode chart: the plot area inside the client
// rectangle, the mapping of frequency, gain and phase to pixels, and the
// axis ranges derived from the data. Pure functions, no drawing.

#include <span>

struct s_plot_rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// The settings in which the two users of the chart differ.
struct s_bode_style {
    int bottom_inset = 80;              // pixels below the plot for labels and readouts
    double linear_min_intervals = 6;    // fewer whole steps than this: a sixth of the step
    bool short_axis_major_ends = true;  // less-than-a-decade axis: k = 0 and 9 on the major pen
    int axis_title_x = 20;              // distance of the rotated titles from the client edges
    bool freq_title_below_plot = false; // else in a band 60..40 pixels above the client bottom
    // Pixels at the client bottom that belong to the owner's controls. When
    // set, the frequency labels and title stack directly above them and the
    // plot bottom follows (bottom_inset is then unused): no control may
    // cover the plot or its labels.
    int reserved_bottom = 0;
};

s_bode_style bode_style_fra_view();
s_bode_style bode_style_graph_screen();
s_bode_style bode_style_graph_file();

constexpr int BODE_SIDE_INSET = 60;
constexpr int BODE_TOP_INSET = 10;

// What the chart's texts measure in the fonts they are drawn with. The
// painter measures them; the layout stays a pure function of the numbers.
struct s_bode_text_extents {
    int gain_label_width = 0;  // the widest gain label the axis can show ("-110.0")
    int phase_label_width = 0; // the widest phase label ("-180")
    int label_height = 0;      // one line of axis labels
    int title_height = 0;      // one line of the axis titles
};

// Where everything falls in the client rectangle. The side insets are 60
// pixels, or more when the widest value label and its rotated title need
// it; the label and title bands are the boxes the texts are drawn in.
struct s_bode_layout {
    s_plot_rect plot;
    s_plot_rect gain_labels;  // column left of the plot
    s_plot_rect phase_labels; // column right of the plot
    s_plot_rect freq_labels;  // band under the plot (a label may start 8 pixels left of its line)
    s_plot_rect freq_title;   // "FREQUENCY (Hz)"
};

// Gaps of the layout: frequency labels start this far below the plot (its
// raised frame is 4 pixels wide); value labels end this far from the plot.
constexpr int BODE_FREQ_LABEL_DROP = 5;
constexpr int BODE_VALUE_LABEL_GAP = 10;
constexpr int BODE_FREQ_LABEL_LEFT = 8;
constexpr int BODE_FREQ_LABEL_RIGHT = 45;

s_bode_layout bode_layout(int client_width, int client_height, const s_bode_style& style,
                          const s_bode_text_extents& text);
// The plot with the least side insets (texts that need no more room).
s_plot_rect bode_plot_area(int client_width, int client_height, const s_bode_style& style);

struct s_freq_range {
    double fmin = 1;
    double fmax = 10;
};

struct s_gain_range {
    double gmin = -10;
    double gmax = 10;
};

// Pixels from the plot's left edge; rounded half away from zero.
int bode_x_of(double f, const s_freq_range& range, int plot_width, bool log_scaling);

// The same mapping with its scale worked out once, for whole traces.
class bode_x_mapper {
public:
    bode_x_mapper(const s_freq_range& range, int plot_width, bool log_scaling);
    int operator()(double f) const;

private:
    double fmin_;
    double scale_;
    bool log_;
};
// Pixels above the plot bottom (not rounded).
double bode_y_of_gain(double g, const s_gain_range& range, int plot_height);
double bode_y_of_phase(double p, int phase_base, int plot_height);

// Bottom of the phase axis for a phase convention: -180, -360 or 0.
int bode_phase_base(int phase_convention);

// The frequency axis covering every point frequency given.
s_freq_range bode_freq_range(std::span<const double> frequencies);

struct s_gain_sample {
    double frequency = 0;
    double gain = 0;
};

// The gain axis (whole tens of dB) covering the gains of the samples inside
// the frequency range; centre_zero makes it symmetric about 0 dB.
s_gain_range bode_gain_range(std::span<const s_gain_sample> samples, const s_freq_range& range,
                             bool centre_zero);
