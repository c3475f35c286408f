#include "sim/faults.h"

#include <charconv>

namespace sim {

namespace {

std::optional<int> count_value(std::string_view text, int minimum)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < minimum) {
        return std::nullopt;
    }
    return value;
}

bool set_count(int& target, std::string_view value, int minimum, std::string& error)
{
    const auto number = count_value(value, minimum);
    if (!number) {
        error = "expects a whole number of at least " + std::to_string(minimum);
        return false;
    }
    target = *number;
    return true;
}

} // namespace

bool add_fault(fault_set& faults, std::string_view description, std::string& error)
{
    const auto eq = description.find('=');
    const std::string_view name = description.substr(0, eq);
    const std::string_view value =
        eq == std::string_view::npos ? std::string_view() : description.substr(eq + 1);
    const bool has_value = eq != std::string_view::npos;
    if (!has_value && (name == "stray-line" || name == "silent")) {
        (name == "silent" ? faults.silent : faults.stray_line) = true;
        return true;
    }
    if (has_value && name == "drop-after") {
        return set_count(faults.drop_after, value, 0, error);
    }
    if (has_value && name == "short-line") {
        return set_count(faults.short_line, value, 1, error);
    }
    if (has_value && name == "garbage") {
        return set_count(faults.garbage, value, 1, error);
    }
    if (has_value && name == "bad-reading") {
        return set_count(faults.bad_reading, value, 1, error);
    }
    if (has_value && name == "screen-drop-after") {
        return set_count(faults.screen_drop_after, value, 0, error);
    }
    if (has_value && name == "screen-short-row") {
        return set_count(faults.screen_short_row, value, 1, error);
    }
    if (has_value && name == "screen-bad-row") {
        return set_count(faults.screen_bad_row, value, 1, error);
    }
    if (has_value && name == "late-reply") {
        return set_count(faults.late_reply_ms, value, 0, error);
    }
    if (has_value && name == "esr-stuck") {
        int status = 0;
        if (!set_count(status, value, 0, error)) {
            return false;
        }
        faults.esr_stuck = status;
        return true;
    }
    if (has_value && name == "disconnect-on" && !value.empty()) {
        faults.disconnect_on.emplace_back(value);
        return true;
    }
    error = "unknown fault '" + std::string(description) + "'";
    return false;
}

} // namespace sim
