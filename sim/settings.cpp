#include "sim/settings.h"

#include <charconv>
#include <cstdlib>

namespace sim {

namespace {

// Longest text the instrument keeps for a text parameter.
constexpr std::size_t k_max_text = 19;

struct factory_value {
    int id;
    int raw;
    const char* text;
};

// Factory settings that differ from zero or empty: frequency response mode,
// a 100-step logarithmic sweep from 10 Hz to 100 kHz at 1 V, 1 kHz from the
// generator, and the inputs switched to their voltage inputs.
constexpr factory_value k_factory_common[] = {
    {1, 1, nullptr},     {18, 100, nullptr},  {19, 0, "1.0000E1"}, {20, 0, "1.0000E5"},
    {48, 0, "1.0000E3"}, {49, 0, "1.0000E0"}, {151, 0, "1"},       {152, 0, "0"},
};
constexpr factory_value k_factory_4100[] = {{24, 1, nullptr}, {25, 1, nullptr}};
// The 6300 numbers its input choices from 1 (Direct).
constexpr factory_value k_factory_6300[] = {
    {24, 1, nullptr}, {25, 1, nullptr}, {26, 1, nullptr}, {100, 0, "2"}, {101, 0, "20"}};

// Frequencies the instrument computes with must be positive numbers.
bool is_frequency_param(int id)
{
    return id == 19 || id == 20 || id == 48;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<double> whole_number(std::string_view text)
{
    const std::string copy(trim(text));
    if (copy.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (*end != '\0') {
        return std::nullopt;
    }
    return value;
}

bool within(const sim_param_def& def, double value)
{
    return (def.min == k_no_bound || value >= def.min) &&
           (def.max == k_no_bound || value <= def.max);
}

} // namespace

sim_settings::sim_settings(sim_model model) : model_(model)
{
    for (const auto& def : param_table(model)) {
        values_[def.id] = entry{0, def.initial_text ? def.initial_text : ""};
    }
    auto apply = [this](const auto& list) {
        for (const auto& f : list) {
            auto& e = values_[f.id];
            e.raw = f.raw;
            e.text = f.text ? f.text : "";
        }
    };
    apply(k_factory_common);
    if (model == sim_model::hxm6300) {
        apply(k_factory_6300);
    } else {
        apply(k_factory_4100);
    }
}

std::optional<std::string> sim_settings::query(int id) const
{
    const auto* def = find_param(model_, id);
    if (!def) {
        return std::nullopt;
    }
    const auto& e = values_.at(id);
    return def->kind == param_kind::text ? e.text : std::to_string(e.raw);
}

int sim_settings::set(int id, std::string_view value)
{
    const auto* def = find_param(model_, id);
    if (!def) {
        return k_esr_execution_error;
    }
    return def->kind == param_kind::text ? set_text(*def, value) : set_integer(*def, value);
}

int sim_settings::set_integer(const sim_param_def& def, std::string_view value)
{
    value = trim(value);
    if (!value.empty() && value.front() == '+') {
        value.remove_prefix(1);
    }
    int number = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || ec != std::errc() || end != value.data() + value.size()) {
        return k_esr_command_error;
    }
    if (!within(def, number)) {
        return k_esr_execution_error;
    }
    values_[def.id].raw = number;
    return 0;
}

int sim_settings::set_text(const sim_param_def& def, std::string_view value)
{
    if (value.size() > k_max_text) {
        return k_esr_execution_error;
    }
    const bool ranged = def.min != k_no_bound || def.max != k_no_bound;
    // An empty text reads as 0, as a numeric text parameter left blank does.
    const bool blank_zero = ranged && trim(value).empty() && within(def, 0);
    if (!blank_zero && (ranged || is_frequency_param(def.id))) {
        const auto number = whole_number(value);
        if (!number || !within(def, *number) || (is_frequency_param(def.id) && *number <= 0)) {
            return k_esr_execution_error;
        }
    }
    values_[def.id].text = std::string(value);
    return 0;
}

int sim_settings::get_int(int id) const
{
    const auto it = values_.find(id);
    if (it == values_.end()) {
        return 0;
    }
    const auto* def = find_param(model_, id);
    return def->kind == param_kind::text ? std::atoi(it->second.text.c_str()) : it->second.raw;
}

double sim_settings::get_double(int id, double fallback) const
{
    const auto it = values_.find(id);
    if (it == values_.end()) {
        return fallback;
    }
    const auto* def = find_param(model_, id);
    if (def->kind != param_kind::text) {
        return it->second.raw;
    }
    return whole_number(it->second.text).value_or(fallback);
}

void sim_settings::set_int(int id, int value)
{
    const auto it = values_.find(id);
    if (it != values_.end()) {
        it->second.raw = value;
    }
}

} // namespace sim
