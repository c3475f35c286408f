#pragma once

#include "sim/fra_dut.h"

#include <complex>
#include <vector>

namespace sim {

// Folds a phase in degrees into the range of the instrument's phase
// convention: 0 = -180..180, 1 = 0..-360, 2 = 0..+360.
double fold_phase(double degrees, int convention);

// What the frequency response measurement needs besides the device.
struct fra_conditions {
    double amplitude = 1; // generator amplitude on channel 1, V
    int phase_convention = 0;
    int ratio = 0;               // which channel is divided by which
    bool three_channels = false; // the 6300 with its third input in use
};

// One frequency response point. Channel 1 sees the generator, channel 2 the
// device's output and channel 3 the closed loop H / (1 + H). Six values:
// frequency, magnitude 1, magnitude 2, gain, phase, delay; with three
// channels four more: magnitude 3 and the gain, phase and delay of channel
// 3 against channel 1.
std::vector<double> fra_point(const fra_dut& dut, double hz, const fra_conditions& conditions);

// The values of one impedance sweep line in the instrument's layout:
// 2 (8 values), 5 (13), 6 (5, impedance parts) or 7 (5, admittance parts).
std::vector<double> lcr_sweep_values(std::complex<double> z, double hz, int layout,
                                     int phase_convention);

// One realtime LCR reading of 11 or 14 values, with the drive amplitude
// across the device and the current through it.
std::vector<double> lcr_reading(std::complex<double> z, double hz, double amplitude,
                                bool fourteen_values, int phase_convention);

} // namespace sim
