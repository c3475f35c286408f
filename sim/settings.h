#pragma once

#include "sim/param_table.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

// Event status bits the instrument raises (read and cleared by "*esr?").
constexpr int k_esr_execution_error = 0x10;
constexpr int k_esr_command_error = 0x20;

// The instrument's configuration memory: one raw value per parameter of the
// model's table, starting from the factory settings.
class sim_settings {
public:
    explicit sim_settings(sim_model model);

    // The reply to "config,N?": the integer in decimal or the text; nothing
    // for an id the model does not have.
    std::optional<std::string> query(int id) const;

    // "config,N,V": stores the value when the id exists and the value is
    // well formed and in range; otherwise returns the event status bits to
    // raise and keeps the old value.
    int set(int id, std::string_view value);

    int get_int(int id) const;
    double get_double(int id, double fallback) const;
    void set_int(int id, int value);

private:
    struct entry {
        int raw = 0;
        std::string text;
    };

    int set_integer(const sim_param_def& def, std::string_view value);
    int set_text(const sim_param_def& def, std::string_view value);

    sim_model model_;
    std::map<int, entry> values_;
};

} // namespace sim
