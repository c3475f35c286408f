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

} // namespace tarvelo_py
