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

size_t first_visible(std::span<const int> xs)
{
    size_t i = 0;
    while (i < xs.size() && xs[i] < 0)
        ++i;
    return i;
}

void split(std::span<const s_trace_sample> samples, std::vector<double>& f, std::vector<double>& v)
{
    f.resize(samples.size());
    v.resize(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        f[i] = samples[i].frequency;
        v[i] = samples[i].value;
    }
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

std::vector<int> bode_x_positions(std::span<const double> frequencies, const s_freq_range& range,
                                  int plot_width, bool log_scaling)
{
    const bode_x_mapper x_of(range, plot_width, log_scaling);
    std::vector<int> xs(frequencies.size());
    for (size_t i = 0; i < xs.size(); ++i)
        xs[i] = x_of(frequencies[i]);
    return xs;
}

std::vector<s_pixel> bode_trace_clamped(std::span<const int> xs, std::span<const double> values,
                                        const s_value_axis& axis, const s_plot_rect& plot)
{
    std::vector<s_pixel> out;
    const int w = plot.width();
    const int h = plot.height();
    const size_t n = std::min(xs.size(), values.size());
    out.reserve(n);
    for (size_t i = first_visible(xs.first(n)); i < n; ++i) {
        if (xs[i] > w)
            break;
        out.push_back({xs[i], h - clamp_height(axis.y_of(values[i], h), h)});
    }
    return out;
}

std::vector<s_pixel> bode_trace_clamped(std::span<const s_trace_sample> samples,
                                        const s_freq_range& range, const s_value_axis& axis,
                                        const s_plot_rect& plot, bool log_scaling)
{
    std::vector<double> f, v;
    split(samples, f, v);
    return bode_trace_clamped(bode_x_positions(f, range, plot.width(), log_scaling), v, axis, plot);
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

std::vector<s_segment> bode_trace_clipped(std::span<const int> xs, std::span<const double> values,
                                          const s_value_axis& axis, const s_plot_rect& plot)
{
    std::vector<s_segment> out;
    const int w = plot.width();
    const int h = plot.height();
    const size_t n = std::min(xs.size(), values.size());
    for (size_t i = first_visible(xs.first(n)); i + 1 < n; ++i) {
        if (xs[i] > w)
            break;
        s_segment s{static_cast<double>(xs[i]), h - axis.y_of(values[i], h),
                    static_cast<double>(xs[i + 1]), h - axis.y_of(values[i + 1], h)};
        if (std::isfinite(s.y1) && std::isfinite(s.y2) && bode_clip_segment(s, w, h))
            out.push_back(s);
    }
    return out;
}

std::vector<s_segment> bode_trace_clipped(std::span<const s_trace_sample> samples,
                                          const s_freq_range& range, const s_value_axis& axis,
                                          const s_plot_rect& plot, bool log_scaling)
{
    std::vector<double> f, v;
    split(samples, f, v);
    return bode_trace_clipped(bode_x_positions(f, range, plot.width(), log_scaling), v, axis, plot);
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
