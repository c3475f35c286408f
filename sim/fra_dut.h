#pragma once

#include "sim/ladder_dut.h"

#include <complex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// The device under test of a frequency response measurement: a rational
// transfer function in s (coefficients highest power first) with an
// optional pure delay, H(s) = N(s) / D(s) * exp(-s T); or a transformer
// winding's ladder network.
struct fra_dut {
    std::vector<double> num;
    std::vector<double> den;
    double delay = 0;
    std::optional<ladder_dut> ladder; // when set, the device (num, den and delay unused)

    std::complex<double> response(double hz) const;
    fra_response respond(double hz) const;
};

// "num=C0,C1,...;den=D0,D1,...;delay=T"; den and delay may be left out. Or
// a ladder network: "ladder=N;L=..;..." (see parse_ladder_dut).
std::optional<fra_dut> parse_fra_dut(std::string_view description, std::string& error);

// An inverted-sign loop gain -K / (s (1 + s/p1) (1 + s/p2)) with poles at
// 1 kHz and 10 kHz: its gain crosses 0 dB near 500 Hz and its phase crosses
// 0 degrees at 3.16 kHz (gain margin about 26 dB), both inside the factory
// sweep of 10 Hz to 100 kHz.
fra_dut default_fra_dut();

} // namespace sim
