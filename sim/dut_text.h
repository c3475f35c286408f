#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

// A number as written in a device-under-test description: decimal or
// exponent form, optionally followed by one SI prefix letter (p n u m k M G),
// so "2.5n" is 2.5e-9.
std::optional<double> parse_quantity(std::string_view text);

// "a=1;b=2" split at the separator into name/value pairs; nullopt when a
// part has no "=".
std::optional<std::vector<std::pair<std::string, std::string>>>
split_assignments(std::string_view text, char separator);

} // namespace sim
