#pragma once
// Piezoelectric resonator analysis. Near its resonances a resonator behaves
// as a motional branch R, L, C in series, shunted by the electrode
// capacitance Cp. From one impedance sweep the analysis takes the series
// resonance fr (lowest impedance) and the anti-resonance fa (highest
// impedance after it) and derives the four elements:
//   R = Zmin,  Cp = 1 / (wa sqrt(Zmin Zmax)),  C = Cp (wa^2/wr^2 - 1),
//   L = 1 / (wr^2 C).
// A sweep that does not cross both resonances gives meaningless numbers
// (a minimum at an end gives fa = fr and C = 0, Zmin = 0 gives Cp = inf, a
// minimum at 0 Hz gives C = inf), so such sweeps are refused with the reason
// instead, as is any sweep whose elements would not be positive finite
// numbers.

#include "lcr/lcr_point.h"

#include <ctime>
#include <optional>
#include <string>

struct s_piezo_values {
    double r = 0, l = 0, c = 0, cp = 0;
    double fr = 0, fa = 0, zmin = 0, zmax = 0;
};

struct s_piezo_stamp {
    int second = 0, minute = 0, hour = 0, day = 0, month = 0, year = 0;
};

struct s_piezo_analysis {
    std::optional<s_piezo_values> values; // empty when refused
    std::string refusal;                  // the message when refused
};

// Positions a piezo sweep's points are read at (layouts 2 and 6 agree).
constexpr int PIEZO_FREQUENCY = 0;
constexpr int PIEZO_IMPEDANCE = 3;
constexpr int PIEZO_PHASE = 4;

s_piezo_analysis piezo_analyse(const LcrResults& results);

// A frequency in Hz as the angular frequency (rad/s) the report gives.
double piezo_angular(double frequency);

// The UTC calendar fields of when.
s_piezo_stamp piezo_stamp(std::time_t when);

// The report's wording of the extremes: "%E" with three exponent digits.
std::string piezo_format_e(double value);
