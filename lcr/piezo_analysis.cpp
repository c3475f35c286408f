#include "lcr/piezo_analysis.h"

#include "base/sweep_numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double TWO_PI = 6.283185307179586;

std::string refused(const char* reason)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "No resonance found in the sweep: %s.\n"
                  "Sweep across the resonance and the anti-resonance.",
                  reason);
    return text;
}

double impedance(const LcrResults& r, int i)
{
    return r.points[static_cast<size_t>(i)].v[PIEZO_IMPEDANCE];
}

double frequency(const LcrResults& r, int i)
{
    return r.points[static_cast<size_t>(i)].v[PIEZO_FREQUENCY];
}

// The scan: a new minimum restarts the search for the maximum, so the
// maximum is the highest point at or after the lowest one (ties keep the
// first point).
struct extremes {
    int min_index = -1, max_index = -1;
};

extremes scan(const LcrResults& r, int count)
{
    extremes e;
    double zmin = 2147483647.0, zmax = 0;
    for (int i = 0; i < count; ++i) {
        const double z = impedance(r, i);
        if (z < zmin) {
            zmin = z;
            e.min_index = i;
            zmax = 0;
            e.max_index = -1;
        }
        if (z > zmax) {
            zmax = z;
            e.max_index = i;
        }
    }
    return e;
}

const char* check(const LcrResults& r, int count, const extremes& e)
{
    if (count < 3)
        return "it has fewer than 3 points";
    if (e.min_index < 0 || !(impedance(r, e.min_index) > 0) ||
        !std::isfinite(impedance(r, e.min_index)))
        return "the lowest impedance is not a positive number";
    if (e.min_index == 0 || e.min_index == count - 1)
        return "the lowest impedance lies at an end of the sweep";
    if (e.max_index < 0 || e.max_index == count - 1)
        return "the highest impedance after the resonance lies at the end of the sweep";
    if (!(frequency(r, e.max_index) > frequency(r, e.min_index)))
        return "the anti-resonance is not above the resonance";
    if (!(impedance(r, e.max_index) >= 2 * impedance(r, e.min_index)))
        return "the impedance is too flat";
    if (!std::isfinite(impedance(r, e.max_index)))
        return "the highest impedance is not a finite number";
    if (!(frequency(r, e.min_index) > 0) || !std::isfinite(frequency(r, e.max_index)))
        return "a resonance lies at a frequency that is not a positive finite number";
    return nullptr;
}

// Every element of the equivalent circuit is a positive, finite number; a
// sweep at the edge of what doubles hold can still give zero or infinity.
bool usable(const s_piezo_values& v)
{
    for (const double x : {v.r, v.l, v.c, v.cp})
        if (!std::isfinite(x) || !(x > 0))
            return false;
    return true;
}

} // namespace

s_piezo_analysis piezo_analyse(const LcrResults& results)
{
    const int count = std::clamp(results.count, 0, MAX_SWEEP_POINTS);
    const extremes e = scan(results, count);
    s_piezo_analysis out;
    if (const char* reason = check(results, count, e)) {
        out.refusal = refused(reason);
        return out;
    }
    s_piezo_values v;
    v.zmin = impedance(results, e.min_index);
    v.zmax = impedance(results, e.max_index);
    v.fr = frequency(results, e.min_index);
    v.fa = frequency(results, e.max_index);
    const double wr = piezo_angular(v.fr);
    const double wa = piezo_angular(v.fa);
    v.r = v.zmin;
    // The roots taken apart: Zmin x Zmax alone can overflow.
    v.cp = 1 / (wa * std::sqrt(v.zmin) * std::sqrt(v.zmax));
    const double ratio = wa / wr;
    v.c = v.cp * (ratio * ratio - 1);
    v.l = 1 / (wr * wr * v.c);
    if (!usable(v)) {
        out.refusal = refused("the equivalent circuit lies outside the range of numbers");
        return out;
    }
    out.values = v;
    return out;
}

double piezo_angular(double frequency)
{
    return TWO_PI * frequency;
}

s_piezo_stamp piezo_stamp(std::time_t when)
{
    std::tm utc{};
    gmtime_r(&when, &utc);
    return {utc.tm_sec, utc.tm_min, utc.tm_hour, utc.tm_mday, utc.tm_mon + 1, utc.tm_year + 1900};
}

std::string piezo_format_e(double value)
{
    return sweep_format_scientific(value, 6);
}
