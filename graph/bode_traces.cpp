#include "graph/bode_traces.h"

#include <algorithm>
#include <cmath>

double s_value_axis::y_of(double v, int plot_height) const
{
    return phase ? bode_y_of_phase(v, phase_base, plot_height)
                 : bode_y_of_gain(v, gain, plot_height);
}

namespace {

int clamp_height(double y, int h)
{
    if (!(y > 0))
        return 0;
    if (y > h)
        return h;
    return static_cast<int>(std::lround(y));
}

size_t first_visible(std::span<const s_trace_sample> samples, const s_freq_range& range, int width,
                     bool log_scaling)
{
    size_t i = 0;
    while (i < samples.size() && bode_x_of(samples[i].frequency, range, width, log_scaling) < 0)
        ++i;
    return i;
}

// Liang-Barsky: narrows [t0,t1] by one edge; false when the segment lies
// wholly outside it.
bool clip_edge(double p, double q, double& t0, double& t1)
{
    if (p == 0)
        return q >= 0;
    const double t = q / p;
    if (p < 0) {
        if (t > t1)
            return false;
        t0 = std::max(t0, t);
    } else {
        if (t < t0)
            return false;
        t1 = std::min(t1, t);
    }
    return true;
}

} // namespace

std::vector<s_pixel> bode_trace_clamped(std::span<const s_trace_sample> samples,
                                        const s_freq_range& range, const s_value_axis& axis,
                                        const s_plot_rect& plot, bool log_scaling)
{
    std::vector<s_pixel> out;
    const int w = plot.width();
    const int h = plot.height();
    for (size_t i = first_visible(samples, range, w, log_scaling); i < samples.size(); ++i) {
        const int x = bode_x_of(samples[i].frequency, range, w, log_scaling);
        if (x > w)
            break;
        out.push_back({x, h - clamp_height(axis.y_of(samples[i].value, h), h)});
    }
    return out;
}

bool bode_clip_segment(s_segment& s, double w, double h)
{
    const double dx = s.x2 - s.x1;
    const double dy = s.y2 - s.y1;
    double t0 = 0;
    double t1 = 1;
    if (!clip_edge(-dx, s.x1, t0, t1) || !clip_edge(dx, w - s.x1, t0, t1) ||
        !clip_edge(-dy, s.y1, t0, t1) || !clip_edge(dy, h - s.y1, t0, t1))
        return false;
    const s_segment in = s;
    s = {in.x1 + t0 * dx, in.y1 + t0 * dy, in.x1 + t1 * dx, in.y1 + t1 * dy};
    return true;
}

std::vector<s_segment> bode_trace_clipped(std::span<const s_trace_sample> samples,
                                          const s_freq_range& range, const s_value_axis& axis,
                                          const s_plot_rect& plot, bool log_scaling)
{
    std::vector<s_segment> out;
    const int w = plot.width();
    const int h = plot.height();
    size_t i = first_visible(samples, range, w, log_scaling);
    for (; i + 1 < samples.size(); ++i) {
        const double x1 = bode_x_of(samples[i].frequency, range, w, log_scaling);
        if (x1 > w)
            break;
        const double x2 = bode_x_of(samples[i + 1].frequency, range, w, log_scaling);
        s_segment s{x1, h - axis.y_of(samples[i].value, h), x2,
                    h - axis.y_of(samples[i + 1].value, h)};
        if (std::isfinite(s.y1) && std::isfinite(s.y2) && bode_clip_segment(s, w, h))
            out.push_back(s);
    }
    return out;
}

double bode_cursor_slope(std::span<const s_slope_sample> points, int c)
{
    const int n = static_cast<int>(points.size());
    if (c <= 0 || c >= n)
        return 0;
    const int prev = c - 1;
    const int next = c + 1 < n ? c + 1 : c;
    const double ratio = points[next].frequency / points[prev].frequency;
    if (!(ratio > 0) || points[next].frequency == points[prev].frequency || !std::isfinite(ratio))
        return 0;
    return (points[next].gain - points[prev].gain) / std::log10(ratio);
}
