#include "config/param_table.h"

#include "config/instrument_config.h"

#include <string>
#include <utility>
#include <vector>

void config_fill(instrument_config& cfg, std::span<const s_param_def> defs)
{
    for (const s_param_def& d : defs) {
        s_config_param& rec = *cfg.record(d.id);
        if (d.kind == param_kind::text) {
            cfg.init_text_param(rec, d.id, d.min, d.max, d.choices[0]);
            continue;
        }
        std::vector<std::string> options;
        for (const char* c : d.choices)
            if (c)
                options.emplace_back(c);
        cfg.init_list_param(rec, d.id, d.min, d.max, 0, options);
    }
}

namespace {

using name_table = std::array<const char*, 256>;

name_table names_from(std::span<const s_param_def> defs)
{
    name_table t;
    t.fill(PARAM_UNUSED);
    for (const s_param_def& d : defs)
        t[static_cast<size_t>(d.id)] = d.name;
    return t;
}

// A third instrument type whose settings are held in the two-channel model.
name_table names_type_13()
{
    static const std::pair<int, const char*> named[] = {
        {1, "Mode"},
        {9, "Keyboard beep"},
        {10, "Language"},
        {25, "Brightness"},
        {38, "Frequency"},
        {39, "L-N Voltage"},
        {44, "Voltage Waveform"},
        {45, "Synthesis"},
        {46, "Order"},
        {49, "Harmonic L-N Voltage"},
        {52, "Frequency"},
        {53, "Waveform"},
        {56, "L-N Voltage adjust ?"},
        {57, "Phase offset"},
        {58, "Frequency adjust ?"},
        {67, "L-N Voltage range"},
        {79, "Coupling"},
        {80, "Sense"},
        {111, "Mode"},
    };
    name_table t;
    t.fill(PARAM_UNUSED);
    for (const auto& [id, name] : named)
        t[static_cast<size_t>(id)] = name;
    return t;
}

const name_table* names_for(caps_param_names names)
{
    static const name_table t4100 = names_from(hxm_4100_params());
    static const name_table t6300 = names_from(hxm_6300_params());
    static const name_table t_qxd = names_type_13();
    switch (names) {
    case caps_param_names::hxm_4100: return &t4100;
    case caps_param_names::hxm_6300: return &t6300;
    case caps_param_names::qxd_52: return &t_qxd;
    case caps_param_names::none: break;
    }
    return nullptr;
}

} // namespace

bool config_has_names(caps_param_names names)
{
    return names_for(names) != nullptr;
}

const char* config_param_name(caps_param_names names, int id)
{
    const name_table* t = names_for(names);
    if (!t)
        return nullptr;
    if (id < 0 || id >= static_cast<int>(t->size()))
        return PARAM_UNUSED;
    return (*t)[static_cast<size_t>(id)];
}
