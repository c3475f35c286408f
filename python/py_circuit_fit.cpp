// LcrSweep.fit: an equivalent circuit fitted to the sweep's impedance.

#include "lcr/equivalent_circuit.h"
#include "python/py_results.h"

#include <limits>
#include <pybind11/stl.h>

namespace tarvelo_py {

namespace {

py::object optional_value(const std::optional<double>& value)
{
    return value ? py::object(py::float_(*value)) : py::object(py::none());
}

py::dict fit(const lcr_sweep& s, const std::string& model, std::optional<double> low_hz,
             std::optional<double> high_hz)
{
    const auto chosen = circuit_model_from_name(model);
    if (model != "best" && !chosen)
        throw py::value_error("model must be \"best\" or one of rl-series, rl-parallel, "
                              "rc-series, rc-parallel, rlc-series, rlc-parallel, resonator");
    const double infinity = std::numeric_limits<double>::infinity();
    const std::vector<impedance_sample> samples = impedance_between(
        lcr_impedance(*s.results), low_hz.value_or(-infinity), high_hz.value_or(infinity));
    circuit_fit result;
    {
        py::gil_scoped_release unlocked;
        result = chosen ? fit_circuit(samples, *chosen) : fit_best_circuit(samples);
    }
    if (!result.refusal.empty())
        throw py::value_error(std::string(from_ansi(result.refusal)));
    py::dict elements;
    for (const fitted_element& e : result.elements)
        elements[py::str(e.name)] = py::make_tuple(e.value, e.uncertainty, e.unit);
    return py::dict(
        py::arg("model") = circuit_model_name(result.model), py::arg("elements") = elements,
        py::arg("residual") = result.residual, py::arg("fr") = optional_value(result.fr),
        py::arg("fa") = optional_value(result.fa), py::arg("q") = optional_value(result.q));
}

} // namespace

void init_circuit_fit(py::class_<lcr_sweep>& lcr)
{
    lcr.def("fit", &fit, py::arg("model") = "best", py::arg("low_hz") = py::none(),
            py::arg("high_hz") = py::none(),
            "Fits an equivalent circuit (\"rl-series\", ..., \"resonator\", or \"best\": the "
            "smallest residual after a penalty per element) over the sweep or from low_hz to "
            "high_hz: the model's name, per element (value, standard uncertainty, unit), the "
            "residual (rms relative error) and fr, fa and q where the model has them. "
            "ValueError when no fit can be made.");
}

} // namespace tarvelo_py
