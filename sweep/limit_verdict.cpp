#include "sweep/limit_verdict.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace {

// The failures of a list of checks, each "<caption>: <what>".
std::vector<std::string> failures(const std::vector<limit_check>& checks, const limit_judge& judge,
                                  bool first_only)
{
    std::vector<std::string> out;
    for (const limit_check& check : checks) {
        if (const auto failed = judge(check)) {
            out.push_back(limit_check_caption(check) + ": " + *failed);
            if (first_only)
                break;
        }
    }
    return out;
}

// The line through two corners at a frequency, straight on a logarithmic
// frequency axis.
double line_at(const std::pair<double, double>& a, const std::pair<double, double>& b, double hz)
{
    const double t = std::log(hz / a.first) / std::log(b.first / a.first);
    return a.second + t * (b.second - a.second);
}

struct mask_breach {
    double hz = 0, value = 0, limit = 0, excess = 0;
};

// The worst point of the column beyond one mask line (sign +1 for an upper
// line, -1 for a lower one); returns the number of points the line spans.
int worst_beyond(const std::vector<std::pair<double, double>>& line, int sign,
                 const limit_column& column, std::optional<mask_breach>& worst)
{
    int spanned = 0;
    for (int i = 0; i < column.count; ++i) {
        const double hz = column.hz_at(i), value = column.value_at(i);
        for (size_t k = 1; k < line.size(); ++k) {
            if (hz < line[k - 1].first || hz > line[k].first)
                continue;
            ++spanned;
            const double limit = line_at(line[k - 1], line[k], hz);
            const double excess = sign * (value - limit);
            // A value that is not a number is never within a mask.
            if (excess > 0 || std::isnan(value)) {
                const double size = std::isnan(value) ? INFINITY : excess;
                if (!worst || size > worst->excess)
                    worst = mask_breach{hz, value, limit, size};
            }
            break;
        }
    }
    return spanned;
}

// Lower case without spaces, for comparing names.
std::string name_key(const std::string& text)
{
    std::string key;
    for (const char c : text)
        if (c != ' ')
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

} // namespace

bool limit_names_column(const std::string& quantity, const char* name, const char* unit)
{
    const std::string wanted = name_key(quantity);
    const std::string plain = name_key(name);
    return wanted == plain || (unit && *unit && wanted == plain + "(" + name_key(unit) + ")");
}

std::string limit_number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

s_test_verdict limit_verdict(const limit_set& set, const limit_judge& judge)
{
    s_test_verdict verdict;
    verdict.limits = set.name;
    verdict.failed = failures(set.checks, judge, false);
    if (!verdict.failed.empty() || set.bins.empty()) {
        verdict.pass = verdict.failed.empty();
        return verdict;
    }
    std::vector<std::string> misses;
    for (size_t i = 0; i < set.bins.size(); ++i) {
        const limit_bin& bin = set.bins[i];
        const std::vector<std::string> first = failures(bin.checks, judge, true);
        if (first.empty()) {
            verdict.pass = true;
            verdict.bin = static_cast<int>(i + 1);
            verdict.bin_name = bin.name;
            return verdict;
        }
        misses.push_back("bin " + std::to_string(i + 1) + " (" + bin.name + ") " + first.front());
    }
    verdict.failed = std::move(misses);
    return verdict;
}

std::optional<double> limit_value_at(const limit_column& column, double hz)
{
    for (int i = 0; i < column.count; ++i) {
        const double f = column.hz_at(i);
        if (f == hz)
            return column.value_at(i);
        if (i == 0)
            continue;
        const double before = column.hz_at(i - 1);
        if ((before < hz && hz < f) || (f < hz && hz < before)) {
            const double t = (hz - before) / (f - before);
            return column.value_at(i - 1) + t * (column.value_at(i) - column.value_at(i - 1));
        }
    }
    return std::nullopt;
}

std::optional<std::string> limit_range_failure(double value, double low, double high,
                                               const std::string& unit)
{
    if (value >= low && value <= high)
        return std::nullopt;
    const std::string u = unit.empty() ? "" : " " + unit;
    return limit_number(value) + u + ", outside " + limit_number(low) + " to " +
           limit_number(high) + u;
}

std::optional<std::string> limit_quantity_failure(const limit_check& check,
                                                  const limit_column& column)
{
    const std::optional<double> value = limit_value_at(column, check.at_hz);
    if (!value)
        return "not measured, " + limit_number(check.at_hz) + " Hz lies outside the sweep";
    return limit_range_failure(*value, check.low, check.high, "");
}

std::optional<std::string> limit_mask_failure(const limit_check& check, const limit_column& column,
                                              const std::string& unit)
{
    std::optional<mask_breach> upper, lower;
    const int spanned =
        worst_beyond(check.upper, 1, column, upper) + worst_beyond(check.lower, -1, column, lower);
    if (spanned == 0)
        return std::string("not measured, no point of the sweep lies within the mask");
    if (!upper && !lower)
        return std::nullopt;
    const bool above = upper && (!lower || upper->excess >= lower->excess);
    const mask_breach& b = above ? *upper : *lower;
    return limit_number(b.value) + " " + unit + " at " + limit_number(b.hz) + " Hz, " +
           (above ? "above the upper line's " : "below the lower line's ") + limit_number(b.limit) +
           " " + unit;
}
