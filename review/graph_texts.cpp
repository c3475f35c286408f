// The graph dialog's checks and texts: range-dialog validation, the names
// in menus and legend, per-test menu ids and the cursor readouts.
#include "review/graph_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr double FREQ_LIMIT = 4e7; // the instrument's highest frequency
constexpr double FREQ_MIN_SPAN = 0.001;
constexpr double GAIN_LIMIT = 200;
const char* const ORDER_TEXT = "The maximum frequency must be greater than the minimum frequency";

// The whole text must be one finite number ("abc" and "nan" are refused).
bool parse_finite(const std::string& text, double& value)
{
    const char* begin = text.c_str();
    char* end = nullptr;
    value = std::strtod(begin, &end);
    while (end && (*end == ' ' || *end == '\t'))
        ++end;
    return end != begin && end && *end == '\0' && std::isfinite(value);
}

s_range_check parse_pair(const std::string& min_text, const std::string& max_text)
{
    s_range_check r;
    if (!parse_finite(min_text, r.min) || !parse_finite(max_text, r.max)) {
        r.message = "Please enter a number";
        return r;
    }
    if (r.min >= r.max) {
        r.message = ORDER_TEXT;
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace

s_range_check graph_check_freq_range(const std::string& min_text, const std::string& max_text)
{
    s_range_check r = parse_pair(min_text, max_text);
    if (!r.ok)
        return r;
    if (r.min <= 0 || r.max <= 0) {
        r.ok = false;
        r.message = "Invalid frequency values";
        return r;
    }
    r.min = std::min(r.min, FREQ_LIMIT);
    r.max = std::min(r.max, FREQ_LIMIT);
    if (r.max - r.min < FREQ_MIN_SPAN)
        r.max = r.min + FREQ_MIN_SPAN;
    return r;
}

s_range_check graph_check_gain_range(const std::string& min_text, const std::string& max_text)
{
    s_range_check r = parse_pair(min_text, max_text);
    if (!r.ok)
        return r;
    r.min = std::trunc(std::clamp(r.min, -GAIN_LIMIT, GAIN_LIMIT));
    r.max = std::trunc(std::clamp(r.max, -GAIN_LIMIT, GAIN_LIMIT));
    // 0.2..0.7 or 250..300 collapse to one value: an axis without height.
    if (r.min >= r.max) {
        r.ok = false;
        r.message = ORDER_TEXT;
    }
    return r;
}

std::string graph_menu_caption(const std::string& name)
{
    if (name.size() <= 19)
        return name;
    return name.substr(0, 1) + "." + name.substr(name.size() - 17);
}

int graph_menu_id(int base, int slot)
{
    return base + GRAPH_MENU_STRIDE * slot;
}

bool graph_menu_split(int id, int& base, int& slot)
{
    if (id < GRAPH_MENU_FIRST)
        return false;
    slot = (id - GRAPH_MENU_FIRST) / GRAPH_MENU_STRIDE;
    base = id - GRAPH_MENU_STRIDE * slot;
    return slot < MARGIN_SLOTS && base <= GRAPH_MENU_LAST;
}

std::string graph_cursor_readout(const s_cursor_entry& e)
{
    char text[160];
    std::snprintf(text, sizeof text, "  Frequency: %0.4fHz \nGain: %0.4fdB \t Phase: %0.4f\xB0",
                  e.frequency, e.gain, e.phase);
    return text;
}
