#pragma once
// Sweep results as Python objects: an FRA sweep and an LCR sweep, each
// holding its points with the time it was measured and the instrument that
// measured it, and handing its columns to Python as numpy float64 arrays.

#include "fra/fra_result.h"
#include "lcr/lcr_point.h"
#include "python/py_support.h"

#include <ctime>
#include <memory>
#include <string>

namespace tarvelo_py {

struct fra_sweep {
    std::unique_ptr<FraResults> results = std::make_unique<FraResults>();
    std::time_t when = 0;
    std::string instrument; // the identification, "" when read from a file
};

struct lcr_sweep {
    std::unique_ptr<LcrResults> results = std::make_unique<LcrResults>();
    std::time_t when = 0;
    std::string instrument;
};

void init_results(py::module_& m);
// LcrSweep.fit (py_circuit_fit.cpp).
void init_circuit_fit(py::class_<lcr_sweep>& lcr);
// Constructors from arrays, pickling, repr, pandas and the sweep's date
// (py_sweep_data.cpp).
void init_sweep_data(py::class_<fra_sweep>& fra, py::class_<lcr_sweep>& lcr);
// 10 when the sweep holds the third input's values, else 6.
int fra_value_count(const fra_sweep& s);
// check(limits) of both sweeps and their Verdict (py_limits.cpp).
void init_limits(py::module_& m, py::class_<fra_sweep>& fra, py::class_<lcr_sweep>& lcr);

} // namespace tarvelo_py

// A sweep object that never had its points (made by __new__ alone) is
// refused wherever a sweep is taken, rather than read as if it had some.
namespace pybind11::detail {
template <class Sweep> class made_sweep_caster : public type_caster_base<Sweep> {
public:
    bool load(handle src, bool convert)
    {
        if (!type_caster_base<Sweep>::load(src, convert))
            return false;
        if (src.is_none())
            return true;
        auto* inst = reinterpret_cast<instance*>(src.ptr());
        if (!inst->get_value_and_holder().holder_constructed())
            throw type_error("this sweep was made without its points");
        return true;
    }
};
template <>
class type_caster<tarvelo_py::fra_sweep> : public made_sweep_caster<tarvelo_py::fra_sweep> {
};
template <>
class type_caster<tarvelo_py::lcr_sweep> : public made_sweep_caster<tarvelo_py::lcr_sweep> {
};
} // namespace pybind11::detail
