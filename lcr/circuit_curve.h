#pragma once
// A fitted equivalent circuit laid over the sweep it was fitted to: the
// points the fit covers (the whole sweep or the stretch between the
// cursors), and the model's curve at the measured frequencies in the
// sweep's own layout, so the graph draws it with the quantities the user
// chose.

#include "lcr/equivalent_circuit.h"
#include "lcr/lcr_point.h"

#include <complex>
#include <string>
#include <vector>

// The quantities of a layout worked out from an impedance at a frequency,
// as the instrument reports them (phases folded to the convention).
LcrPoint lcr_point_of_impedance(std::complex<double> z, double hz, int layout,
                                int phase_convention);

// The points a fit covers, first..last inclusive: every point, or those
// between the two cursors whichever stands left. Empty (first > last)
// without points.
struct s_point_span {
    int first = 0;
    int last = -1;
};
s_point_span fit_span(int count, bool between_cursors, int cursor_a, int cursor_b);

// The samples of the span, out of the impedance of every point.
std::vector<impedance_sample> span_samples(const std::vector<impedance_sample>& all,
                                           s_point_span span);

// The model's curve at the measured frequencies of the span, in the
// sweep's layout and phase convention; no points when the fit was refused.
void circuit_curve(const LcrResults& measured, const circuit_fit& fit, s_point_span span,
                   LcrResults& curve);

// The panel's lines for a fit: the model's name, one line per element
// ("C  2.5000 nF  ± 1.2000 pF"), the residual in per cent with Q where the
// model has one, then fr and fa where it has them. A refused fit reads its
// refusal.
// Windows-1252 text, the ohm written "Ohm".
std::vector<std::string> circuit_fit_lines(const circuit_fit& fit);
