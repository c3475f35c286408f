#pragma once
// The fixed parameter tables of the instrument models and the name tables
// that the whole-configuration transfer and the text block use.

#include "link/instrument_caps.h"

#include <array>
#include <span>

class instrument_config;

enum class param_kind { list, integer, text };

struct s_param_def {
    int id;
    const char* name;
    param_kind kind;
    double min;                            // -99: no lower limit
    double max;                            // -99: no upper limit
    std::array<const char*, 16> choices{}; // list: display texts; text: [0] is the initial text
};

// Sets up every record of `defs` through init_list_param / init_text_param.
void config_fill(instrument_config& cfg, std::span<const s_param_def> defs);

std::span<const s_param_def> hxm_4100_params();
std::span<const s_param_def> hxm_6300_params();

// Name of parameter `id` in a name table ("Unused" for an id the instrument
// does not have), or nullptr for an instrument without a configuration.
const char* config_param_name(caps_param_names names, int id);
bool config_has_names(caps_param_names names);

constexpr const char* PARAM_UNUSED = "Unused";
