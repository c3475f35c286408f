#include "sim/dut_text.h"

#include <cmath>
#include <cstdlib>

namespace sim {

namespace {

std::optional<double> prefix_factor(char letter)
{
    switch (letter) {
    case 'p': return 1e-12;
    case 'n': return 1e-9;
    case 'u': return 1e-6;
    case 'm': return 1e-3;
    case 'k': return 1e3;
    case 'M': return 1e6;
    case 'G': return 1e9;
    default: return std::nullopt;
    }
}

} // namespace

std::optional<double> parse_quantity(std::string_view text)
{
    const std::string copy(text);
    if (copy.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    double value = std::strtod(copy.c_str(), &end);
    if (end == copy.c_str()) {
        return std::nullopt;
    }
    if (*end != '\0') {
        const auto factor = prefix_factor(*end);
        if (!factor || end[1] != '\0') {
            return std::nullopt;
        }
        value *= *factor;
    }
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<std::pair<std::string, std::string>>>
split_assignments(std::string_view text, char separator)
{
    std::vector<std::pair<std::string, std::string>> parts;
    while (!text.empty()) {
        const auto cut = text.find(separator);
        const auto part = text.substr(0, cut);
        const auto eq = part.find('=');
        if (eq == std::string_view::npos) {
            return std::nullopt;
        }
        parts.emplace_back(std::string(part.substr(0, eq)), std::string(part.substr(eq + 1)));
        text = cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
    }
    return parts;
}

} // namespace sim
