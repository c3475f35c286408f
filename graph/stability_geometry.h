#pragma once
// Where things fall on the two stability charts of a measured loop: the
// Nyquist plot (real against imaginary part) and the Nichols chart (gain in
// dB against phase). Pure functions, no drawing.
//
// The instrument's margin search reads the phase margin as the measured
// phase at 0 dB and the gain margin as the measured gain at 0 degrees: the
// measured response H is the loop gain with its sign inverted, and its
// critical point is 0 dB at 0 degrees (the point +1). Engineers expect the
// critical point at -1 and at (-180 degrees, 0 dB), so both charts show
// the loop -H: the Nyquist curve is -H itself, the Nichols chart shifts the
// measured phase by -180 degrees.

#include <span>
#include <vector>

struct s_loop_point {
    double frequency = 0;
    double gain = 0;  // dB
    double phase = 0; // degrees, as measured
};

struct s_xy {
    double x = 0;
    double y = 0;
};

// A curve is drawn as pieces: a phase wrap between neighbours starts a new
// piece on the Nichols chart, so no line runs across it.
using s_xy_curve = std::vector<std::vector<s_xy>>;

enum class stability_view { nyquist, nichols };

// A point of -H in the complex plane, and of the Nichols chart (phase
// shifted by -180 degrees into -360..0, gain in dB).
s_xy nyquist_point(double gain_db, double phase_deg);
s_xy nichols_point(double gain_db, double phase_deg);

// The points of a test on a chart, split where the chart would jump.
s_xy_curve stability_curve(std::span<const s_loop_point> points, stability_view view);

// The critical point of a chart: -1 on Nyquist, (-180, 0 dB) on Nichols.
s_xy stability_critical_point(stability_view view);

// Where a margin crossing sits on a chart: a 0 dB crossing (phase read
// there) on the unit circle or the 0 dB line, a 0-degree crossing (gain
// read there) on the negative real axis or the -180 degree line.
s_xy stability_zero_db_mark(double phase_deg, stability_view view);
s_xy stability_zero_phase_mark(double gain_db, stability_view view);

struct s_axis_ticks {
    double min = 0;
    double max = 1;
    double step = 1;
    // The tick values from min to max inclusive.
    std::vector<double> values() const;
};

// The smallest range on 1, 2, 2.5 or 5 times a power of ten steps that holds
// lo..hi with at most about `count` intervals. lo > hi is swapped; a range
// without width is widened by one step around its value.
s_axis_ticks nice_ticks(double lo, double hi, int count);

struct s_stability_frame {
    s_axis_ticks x;
    s_axis_ticks y;
};

// Axis ranges of a chart over the curves. Nyquist: the unit circle and
// every point within NYQUIST_MAX_RADIUS of the origin (an integrator's
// low-frequency tail would shrink the region around -1 to nothing), widened
// so one unit has the same length on both axes for a plot of the given
// width/height. Nichols: -360..0 degrees in 45-degree steps, and the gains
// with 0 dB, limited to -200..200 dB, on the Bode gain axis' round scale.
constexpr double NYQUIST_MAX_RADIUS = 4;
s_stability_frame stability_frame(const std::vector<s_xy_curve>& curves, stability_view view,
                                  double plot_aspect);

// The chart's title, which says what is drawn.
const char* stability_title(stability_view view);
