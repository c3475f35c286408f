#include "lcr/piezo_view.h"

#include "graph/round_scale.h"
#include "lcr/piezo_analysis.h"

#include <algorithm>
#include <cmath>

namespace {

int count_of(const LcrResults& r)
{
    return std::clamp(r.count, 0, MAX_SWEEP_POINTS);
}

int clamped(double y, int height)
{
    if (!std::isfinite(y))
        return 0;
    return static_cast<int>(std::lround(std::clamp(y, 0.0, static_cast<double>(height))));
}

} // namespace

s_freq_range piezo_freq_range(const LcrResults& r, const s_freq_range& previous)
{
    return lcr_freq_range(r, previous);
}

s_value_range piezo_impedance_range(const LcrResults& r, const s_value_range& previous)
{
    bool any = false;
    double lo = 0, hi = 0;
    for (int i = 0; i < count_of(r); ++i) {
        const double z = r.points[static_cast<size_t>(i)].v[PIEZO_IMPEDANCE];
        if (!(z > 0) || !std::isfinite(z))
            continue;
        lo = any ? std::min(lo, z) : z;
        hi = any ? std::max(hi, z) : z;
        any = true;
    }
    return any ? s_value_range{0.8 * lo, 1.2 * hi} : previous;
}

int piezo_impedance_y(double z, const s_value_range& range, int height, bool log)
{
    return lcr_value_height(z, {range.min, range.max, log}, height);
}

s_impedance_axis piezo_impedance_axis(const s_value_range& impedance, bool log, int height,
                                      int label_pixels)
{
    s_impedance_axis out;
    if (log) {
        const s_log_scale scale = log_scale(impedance.min, impedance.max, height, label_pixels);
        out.range = {scale.min, scale.max};
        for (const s_log_tick& t : scale.ticks)
            out.ticks.push_back({t.value, t.labelled});
        return out;
    }
    const s_round_scale scale = round_scale(impedance.min, impedance.max);
    out.range = {scale.min, scale.max};
    out.step = scale.step;
    for (double v : scale.values())
        out.ticks.push_back({v, true});
    return out;
}

int piezo_phase_y(double phase, int phase_convention, int height)
{
    const int base = bode_phase_base(phase_convention);
    return clamped(height / 360.0 * (phase - base), height);
}

int piezo_tick_length(int style, int plot_size)
{
    constexpr int outside = -5;
    if (style == 2)
        return plot_size;
    return style == 1 ? plot_size / 10 : outside;
}
