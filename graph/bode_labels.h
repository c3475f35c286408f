#pragma once
// Texts of the Bode chart: axis labels and the cursor readouts. Core
// strings are Windows-1252 bytes (the degree sign is 0xB0).

#include <array>
#include <string>

// Frequencies of 1 Hz and above in the compact form ("1k5", "10k", "100"),
// smaller ones in engineering form ("500.00 m").
std::string bode_freq_label(double f);
std::string bode_phase_label(double p); // "%d"
// A value axis label with as many decimals as its step needs to tell
// neighbours apart (0.25-dB steps: "-0.25"), and at least one.
std::string bode_value_label(double v, double step);

// The four readout lines of a cursor: frequency, gain, phase and slope.
std::array<std::string, 4> bode_cursor_readout(double frequency, double gain, double phase,
                                               double slope);

extern const char* const BODE_TITLE_FREQUENCY;
extern const char* const BODE_TITLE_GAIN;
extern const char* const BODE_TITLE_PHASE;
