#pragma once

#include <complex>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

// The device under test of an impedance measurement.
struct lcr_dut {
    enum class circuit {
        bvd,      // a piezoelectric resonator: R, L, C in series, Cp across them
        series,   // R, L and C in series (a missing L or C is left out)
        parallel, // R and C in parallel (a missing R is an open)
    };
    circuit kind = circuit::bvd;
    double r = 0;
    double l = 0;
    double c = 0;
    double cp = 0;

    std::complex<double> impedance(double hz) const;

    // Where the motional branch resonates, 1 / (2 pi sqrt(L C)).
    double series_resonance() const;
    // Where the resonator's impedance peaks, series_resonance * sqrt(1 + C/Cp).
    double parallel_resonance() const;
};

// "bvd:R=..,L=..,C=..,Cp=..", "series:R=..,L=..,C=..", "parallel:R=..,C=..";
// values may carry an SI prefix letter ("2.5n").
std::optional<lcr_dut> parse_lcr_dut(std::string_view description, std::string& error);

// A resonator with its series resonance near 10.07 kHz and its
// anti-resonance near 14.2 kHz, inside the factory sweep of 10 Hz to 100 kHz.
lcr_dut default_lcr_dut();

} // namespace sim
