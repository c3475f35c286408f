#pragma once
// LCR sweeps as one-port Touchstone 1.1 files (".s1p"), the form network
// analysers and circuit simulators read.
//
// The option line is "# Hz S RI R <z0>" (the reflection coefficient
// S11 = (Z - z0) / (Z + z0), real and imaginary) or "# Hz Z RI R <z0>"
// (the impedance normalised to z0, as version 1 files define Z values).
// Comment lines ("! ") before it name the instrument, the sweep's date line
// and the layout. Each data line holds the frequency and the two parts, in
// "%.9E" form with three exponent digits; lines end with CR LF like every
// other export. The lines are in rising frequency, as the format requires:
// a falling sweep is written from its last step.
//
// The impedance of a point comes from the layout's values: Z magnitude and
// phase (layouts 2 and 5), Z real and quadrature (6), or the admittance's
// real and quadrature parts, inverted (7).

#include "lcr/lcr_point.h"

#include <complex>
#include <string>

enum class touchstone_parameter { s, z };

struct s_touchstone_options {
    touchstone_parameter parameter = touchstone_parameter::s;
    double z0 = 50.0; // the reference resistance, ohms
};

// What the comment lines say about the sweep.
struct s_touchstone_source {
    std::string instrument; // the identification, "" when none is known
    std::string date_line;  // the sweep file's date line, "" when none is known
};

// The impedance of a point in a layout; false when the layout holds no
// impedance or admittance, or the point's values give none that is finite.
bool lcr_point_impedance(int layout, const LcrPoint& point, std::complex<double>& z);

// The file's text ("\n" line ends), or "" with refusal set to the reason:
// a sweep without points, a layout without an impedance or admittance, a
// reference resistance that is not a positive finite number, a point whose
// frequency is not positive and finite, or whose values are not finite, or
// a sweep that repeats a frequency or does not run one way.
std::string lcr_touchstone_text(const LcrResults& results, const s_touchstone_options& options,
                                const s_touchstone_source& source, std::string& refusal);

// Writes the file through a temporary file, asking before replacing one.
// A refusal (the reasons above) is shown as a message. Returns 0,
// EXPORT_DECLINED (a replacement refused) or -1 after a message.
int lcr_export_touchstone(const std::string& path, const LcrResults& results,
                          const s_touchstone_options& options, const s_touchstone_source& source);

// Parses "s" or "z" (either case) as the parameter; false for anything else.
bool touchstone_parameter_of(const std::string& text, touchstone_parameter& parameter);
