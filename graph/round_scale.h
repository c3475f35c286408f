#pragma once
// Round scales: where a value axis puts its ends, its divisions and its
// labels so that every label reads as a round number at a glance. Every
// chart of the program takes its automatic value ranges from here. Pure
// functions, no drawing.

#include <string>
#include <vector>

// A linear axis: both ends and the division between neighbouring labels.
struct s_round_scale {
    double min = 0;
    double max = 1;
    double step = 0.125;
    // The label values from min to max inclusive, min + i * step.
    std::vector<double> values() const;
};

// Eight divisions, nine labels, on every linear axis.
constexpr int ROUND_DIVISIONS = 8;

// The automatic range of a linear axis: eight divisions of 1, 2, 2.5 or 5
// times a power of ten, every label a whole multiple of the division; the
// smallest such range holding lo..hi, placed as near their middle as whole
// multiples allow without crossing 0 when lo..hi does not. With `ends` > 0 both ends are whole
// multiples of it too (10 on a gain axis in dB). lo > hi is swapped; a range without width grows
// about its value. Values that are not finite give 0..1 in eighths.
s_round_scale round_scale(double lo, double hi, double ends = 0);

// The eight divisions of a range as given (a range the user typed).
s_round_scale typed_scale(double lo, double hi);

// Whether a division is 1, 2, 2.5 or 5 times a power of ten.
bool round_division(double step);

// A value label on an axis of the given division: as many decimals as the
// division needs (none for whole divisions, two for 0.25); from 10 000 up
// and for divisions below 0.001 with an SI prefix instead ("2.5 M",
// "500 k", "250 n"). "-0" reads "0".
std::string round_label(double v, double step);

// A logarithmic axis: decades, each divided at round mantissas into 2 to 5
// parts ({1, 3}, {1, 2, 5}, {1, 2, 3, 5} or {1, 2, 4, 6, 8}), as many as
// the axis' length lets stand apart. Its ends fall on those marks.
struct s_log_tick {
    double value = 0;
    bool decade = false;   // a power of ten: major line
    bool labelled = false; // a label (every decade; every mark when room allows)
};

struct s_log_scale {
    double min = 1;
    double max = 10;
    std::vector<s_log_tick> ticks; // from min to max inclusive
};

// lo..hi must be positive (otherwise 1..10). `pixels` is the axis length,
// `label_pixels` the height of one label.
s_log_scale log_scale(double lo, double hi, int pixels, int label_pixels);
