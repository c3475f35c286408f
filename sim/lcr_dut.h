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
        series,   // R, L and C in series (a missing L or C is left out); a stray Cp across them
        parallel, // R, L and C in parallel (a missing R or L is an open); leads Rs, Ls in series
    };
    circuit kind = circuit::bvd;
    double r = 0;
    double l = 0;
    double c = 0;
    double cp = 0;
    double rs = 0;
    double ls = 0;

    std::complex<double> impedance(double hz) const;

    // Where the motional branch resonates, 1 / (2 pi sqrt(L C)).
    double series_resonance() const;
    // Where the resonator's impedance peaks, series_resonance * sqrt(1 + C/Cp).
    double parallel_resonance() const;
};

// "bvd:R=..,L=..,C=..,Cp=..", "series:R=..,L=..,C=..[,Cp=..]",
// "parallel:R=..,L=..,C=..[,Rs=..,Ls=..]"; values may carry an SI prefix
// letter ("2.5n").
std::optional<lcr_dut> parse_lcr_dut(std::string_view description, std::string& error);

// The part number `part` (from 1) of a run of parts made to the nominal
// device: each element drawn within +-spread of its nominal value (0.05 =
// 5 %), the same parts in the same order every run.
lcr_dut lcr_dut_part(const lcr_dut& nominal, double spread, int part);

// A resonator with its series resonance near 10.07 kHz and its
// anti-resonance near 14.2 kHz, inside the factory sweep of 10 Hz to 100 kHz.
lcr_dut default_lcr_dut();

} // namespace sim
