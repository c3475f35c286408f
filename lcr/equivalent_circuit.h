#pragma once
// Equivalent circuits fitted to a measured impedance sweep.
//
// Seven models: R-L, R-C and R-L-C in series or in parallel, and the
// resonator (R, L, C in series with Cp across them). A fit minimises the
// relative complex error |Z - Zmodel| / |Z| over the samples with
// Levenberg-Marquardt; each element's standard uncertainty comes from the
// fit's covariance scaled by the residual. The best model is the one with
// the smallest residual after a penalty per element.

#include "lcr/lcr_point.h"

#include <complex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

enum class circuit_model {
    rl_series,
    rl_parallel,
    rc_series,
    rc_parallel,
    rlc_series,
    rlc_parallel,
    resonator
};

struct impedance_sample {
    double hz = 0;
    std::complex<double> z;
};

struct fitted_element {
    std::string name; // "R", "L", "C", "Cp"
    double value = 0;
    double uncertainty = 0;
    std::string unit; // "Ohm", "H", "F"
};

struct circuit_fit {
    circuit_model model = circuit_model::rl_series;
    std::vector<fitted_element> elements;
    double residual = 0; // rms relative error of |Z - Zmodel| / |Z|
    // The model's resonances in Hz and its quality factor, where it has
    // them: R-L-C series and parallel fr = 1 / (2 pi sqrt(L C)) and q; the
    // resonator fr and q of its series branch and fa = fr sqrt(1 + C / Cp).
    std::optional<double> fr, fa;
    std::optional<double> q;
    std::string refusal; // non-empty when no fit could be made
};

// The complex impedance of every point of an LCR or piezo sweep, whatever
// layout the reply had; a point whose values give none is NaN (fits skip it).
std::vector<impedance_sample> lcr_impedance(const LcrResults& results);

// The samples from low_hz to high_hz (both included): a fit between the
// cursors.
std::vector<impedance_sample> impedance_between(std::span<const impedance_sample> samples,
                                                double low_hz, double high_hz);

// Fits one model to the samples; refusal says why when no fit could be made.
circuit_fit fit_circuit(std::span<const impedance_sample> samples, circuit_model model);

// Fits every model and keeps the one with the smallest penalised residual.
circuit_fit fit_best_circuit(std::span<const impedance_sample> samples);

// The fitted model's impedance at a frequency.
std::complex<double> circuit_impedance(const circuit_fit& fit, double hz);

// "R-L series", ..., "Resonator (R, L, C, Cp)".
const char* circuit_model_name(circuit_model model);

// Accepts the displayed name and the command-line name ("rl-series", ...).
std::optional<circuit_model> circuit_model_from_name(std::string_view name);

// The element of that name, or nullptr.
const fitted_element* fitted(const circuit_fit& fit, std::string_view element);
