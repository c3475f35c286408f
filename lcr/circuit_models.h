#pragma once
// The equivalent-circuit models as the fit sees them: each model's elements
// in a fixed order, its impedance with the derivatives with respect to the
// logarithm of each element (the fit works on logarithms, which keeps every
// element positive and puts ohms, henries and farads on one scale), and the
// starting values a fit begins from.

#include "lcr/equivalent_circuit.h"

#include <array>
#include <complex>
#include <span>
#include <string>

constexpr int CIRCUIT_ELEMENTS_MAX = 4;

enum class element_kind { r, l, c, cp };

struct circuit_shape {
    circuit_model model;
    const char* name;     // "R-L series"
    const char* cli_name; // "rl-series"
    int count;            // elements
    std::array<element_kind, CIRCUIT_ELEMENTS_MAX> elements;
};

// Every model, in the order of circuit_model.
std::span<const circuit_shape> circuit_shapes();
const circuit_shape& circuit_shape_of(circuit_model model);

const char* element_name(element_kind kind);
const char* element_unit(element_kind kind);

// The model's impedance at the angular frequency omega for the element
// values (in the shape's order); with d given, d[i] receives dZ / d ln(value i).
std::complex<double> model_impedance(const circuit_shape& shape, const double* values, double omega,
                                     std::complex<double>* d = nullptr);

// Starting values for a fit, in the shape's order, from usable samples
// (positive finite frequencies in ascending order, finite non-zero
// impedances); false with the reason when the samples give none.
bool circuit_seed(const circuit_shape& shape, std::span<const impedance_sample> samples,
                  std::array<double, CIRCUIT_ELEMENTS_MAX>& values, std::string& reason);
