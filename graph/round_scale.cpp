#include "graph/round_scale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double ROUND_MANTISSAS[] = {1, 2, 2.5, 5};
constexpr double RELATIVE_SLACK = 1e-9;
// A scale never needs more candidate divisions than this.
constexpr int MOST_DECADES_TRIED = 40;
constexpr int MOST_DECIMALS = 6;

// m * 10^e, correctly rounded for the usual decades (0.002, not 0.0020000000000000005).
double scaled(double m, int e)
{
    return e >= 0 ? m * std::pow(10.0, e) : m / std::pow(10.0, -e);
}

bool whole_multiple(double x, double of)
{
    const double r = x / of;
    return std::fabs(r - std::round(r)) < 1e-6;
}

// Where the lowest label of eight divisions of `step` goes: a whole multiple
// of the step (and of `ends` when set) with lo..hi inside, nearest to
// centring them; false when there is none.
bool place(double lo, double hi, double step, double ends, double& at)
{
    const double span = ROUND_DIVISIONS * step;
    if (ends > 0 && !whole_multiple(span, ends))
        return false;
    double first = std::ceil((hi - span) / step - RELATIVE_SLACK);
    double last = std::floor(lo / step + RELATIVE_SLACK);
    // Values of one sign keep an axis of that sign: magnitudes from 0 up.
    if (lo >= 0)
        first = std::max(first, 0.0);
    if (hi <= 0)
        last = std::min(last, -double(ROUND_DIVISIONS));
    const double centred = ((lo + hi) - span) / 2 / step;
    bool found = false;
    for (double n = first; n <= last; n += 1) {
        if (ends > 0 && !whole_multiple(n * step, ends))
            continue;
        if (!found || std::fabs(n - centred) < std::fabs(at / step - centred))
            at = n * step;
        found = true;
    }
    return found;
}

int decimals_for(double step)
{
    int d = 0;
    while (d < MOST_DECIMALS) {
        const double x = step * std::pow(10.0, d);
        if (std::fabs(x - std::round(x)) < 1e-6 * std::max(1.0, x))
            break;
        ++d;
    }
    return d;
}

// The SI prefixes of the exponents -12..9 in steps of 3, as the engineering
// number texts write them.
const char* prefix_of(int e3)
{
    constexpr const char* prefixes[] = {"p", "n", "u", "m", "", "k", "M", "G"};
    return prefixes[(e3 + 12) / 3];
}

struct s_mark_set {
    std::vector<double> mantissas;
    double closest; // log10 of the closest two marks' ratio
};

const std::array<s_mark_set, 4>& mark_sets()
{
    static const std::array<s_mark_set, 4> sets = {{
        {{1, 2, 4, 6, 8}, std::log10(10.0 / 8)},
        {{1, 2, 3, 5}, std::log10(1.5)},
        {{1, 2, 5}, std::log10(2.0)},
        {{1, 3}, std::log10(3.0)},
    }};
    return sets;
}

std::vector<double> marks_around(double lo, double hi, const std::vector<double>& mantissas)
{
    std::vector<double> out;
    const int first = static_cast<int>(std::floor(std::log10(lo))) - 1;
    const int last = static_cast<int>(std::ceil(std::log10(hi))) + 1;
    for (int d = first; d <= last; ++d)
        for (double m : mantissas)
            if (std::isfinite(scaled(m, d)) && scaled(m, d) > 0)
                out.push_back(scaled(m, d));
    return out;
}

} // namespace

std::vector<double> s_round_scale::values() const
{
    std::vector<double> out;
    for (int i = 0; i <= ROUND_DIVISIONS; ++i)
        out.push_back(i == ROUND_DIVISIONS ? max : min + step * i);
    return out;
}

s_round_scale round_scale(double lo, double hi, double ends)
{
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return {};
    if (lo > hi)
        std::swap(lo, hi);
    if (hi - lo <= std::max(std::fabs(lo), std::fabs(hi)) * RELATIVE_SLACK) {
        const double grow = lo == 0 ? 1 : std::fabs(lo) / 10;
        lo -= grow;
        hi += grow;
    }
    if (!std::isfinite(hi - lo))
        return typed_scale(lo, hi); // no round division spans more than the doubles
    const int from = static_cast<int>(std::floor(std::log10((hi - lo) / ROUND_DIVISIONS))) - 1;
    for (int e = from; e < from + MOST_DECADES_TRIED; ++e)
        for (double m : ROUND_MANTISSAS) {
            const double step = scaled(m, e);
            double at = 0;
            if (step * ROUND_DIVISIONS >= (hi - lo) * (1 - RELATIVE_SLACK) &&
                place(lo, hi, step, ends, at))
                return {at, at + ROUND_DIVISIONS * step, step};
        }
    return typed_scale(lo, hi);
}

s_round_scale typed_scale(double lo, double hi)
{
    return {lo, hi, (hi - lo) / ROUND_DIVISIONS};
}

bool round_division(double step)
{
    if (!(step > 0) || !std::isfinite(step))
        return false;
    const int e = static_cast<int>(std::floor(std::log10(step)));
    const double m = step / scaled(1, e);
    for (double want : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (std::fabs(m - want) < 1e-6 * want)
            return true;
    return false;
}

std::string round_label(double v, double step)
{
    step = std::fabs(step);
    if (!(step > 0) || !std::isfinite(step))
        step = v != 0 && std::isfinite(v) ? std::fabs(v) : 1;
    if (std::fabs(v) < step * 1e-6 || !std::isfinite(v))
        return std::isfinite(v) ? "0" : (std::isnan(v) ? "nan" : (v < 0 ? "-inf" : "inf"));
    char text[64];
    if (std::max(std::fabs(v), step) >= 1e4 || step < 1e-3) {
        const int decade = static_cast<int>(std::floor(std::log10(std::fabs(v)) + 1e-9));
        const int e3 = std::clamp(decade >= 0 ? decade / 3 * 3 : -((2 - decade) / 3 * 3), -12, 9);
        const char* prefix = prefix_of(e3);
        std::snprintf(text, sizeof text, "%.*f%s%s", decimals_for(step / scaled(1, e3)),
                      v / scaled(1, e3), *prefix ? " " : "", prefix);
        return text;
    }
    std::snprintf(text, sizeof text, "%.*f", decimals_for(step), v);
    return text;
}

s_log_scale log_scale(double lo, double hi, int pixels, int label_pixels)
{
    if (!(lo > 0) || !(hi > 0) || !std::isfinite(lo) || !std::isfinite(hi)) {
        lo = 1;
        hi = 10;
    }
    if (lo > hi)
        std::swap(lo, hi);
    const double per_decade = pixels / std::max(std::log10(hi / lo), std::log10(2.0));
    const double room = 2.0 * std::max(label_pixels, 1);
    const s_mark_set* set = &mark_sets().back();
    bool label_all = false;
    for (const s_mark_set& s : mark_sets())
        if (s.closest * per_decade >= room) {
            set = &s;
            label_all = true;
            break;
        }
    const std::vector<double> marks = marks_around(lo, hi, set->mantissas);
    s_log_scale out;
    out.min = marks.front();
    for (double m : marks)
        if (m <= lo * (1 + RELATIVE_SLACK))
            out.min = m;
    out.max = marks.back();
    for (auto it = marks.rbegin(); it != marks.rend(); ++it)
        if (*it >= hi * (1 - RELATIVE_SLACK) && *it > out.min * (1 + RELATIVE_SLACK))
            out.max = *it;
    // Decades closer than a label's room: every second or fifth one labelled.
    const int stride = per_decade >= room / 2 ? 1 : (per_decade * 2 >= room / 2 ? 2 : 5);
    for (size_t i = 0; i < marks.size(); ++i) {
        const double m = marks[i];
        if (m < out.min * (1 - RELATIVE_SLACK) || m > out.max * (1 + RELATIVE_SLACK))
            continue;
        const bool decade = i % set->mantissas.size() == 0;
        const int d = static_cast<int>(std::lround(std::log10(m)));
        out.ticks.push_back({m, decade, label_all || (decade && d % stride == 0)});
    }
    return out;
}
