#pragma once

#include <span>

namespace sim {

enum class sim_model { hxm4100, hxm6300 };

enum class param_kind { list, integer, text };

// One configuration parameter as the instrument knows it.
struct sim_param_def {
    int id;
    param_kind kind;
    double min;               // -99: no lower bound
    double max;               // -99: no upper bound
    const char* initial_text; // text parameters only; nullptr = empty
    const char* name;
};

constexpr double k_no_bound = -99;

std::span<const sim_param_def> param_table(sim_model model);
const sim_param_def* find_param(sim_model model, int id);

} // namespace sim
