#include "graph/bode_geometry.h"

#include "graph/round_scale.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double RANGE_EPSILON = 1e-10;
constexpr double FREQ_SEARCH_MIN = 1e9;
constexpr double GAIN_SEARCH_MAX = -500;
constexpr double GAIN_SEARCH_MIN = 1000;
constexpr double DEGENERATE_WIDEN_HZ = 10;
constexpr double DEGENERATE_WIDEN_DB = 10;

// Far outside any plot for the infinities (a 0 Hz point on a logarithmic
// axis lies infinitely far left), 0 for what is no number at all.
int round_away(double v)
{
    if (std::isnan(v))
        return 0;
    if (v > 1e9)
        return 1000000000;
    if (v < -1e9)
        return -1000000000;
    return static_cast<int>(std::lround(v));
}

} // namespace

s_bode_style bode_style_fra_view()
{
    return s_bode_style{80, 6, true, 20, false};
}

s_bode_style bode_style_lcr_view()
{
    return s_bode_style{90, 6, true, 20, false, 0, 80, true};
}

s_bode_style bode_style_graph_screen()
{
    return s_bode_style{150, 4, false, 25, true};
}

s_bode_style bode_style_graph_file()
{
    return s_bode_style{90, 4, false, 25, true};
}

namespace {

// A rotated axis title occupies the title height outward of its x; the value
// labels begin a pixel inside it.
int side_inset(const s_bode_style& style, int label_width)
{
    const int needed = style.axis_title_x + 1 + label_width + BODE_VALUE_LABEL_GAP;
    return std::max(style.side_inset, needed);
}

s_plot_rect band(int left, int top, int right, int height)
{
    return s_plot_rect{left, top, right, top + height};
}

} // namespace

s_bode_layout bode_layout(int client_width, int client_height, const s_bode_style& style,
                          const s_bode_text_extents& text)
{
    s_bode_layout out;
    s_plot_rect& plot = out.plot;
    plot.left = side_inset(style, text.gain_label_width);
    plot.right = client_width - side_inset(style, text.phase_label_width);
    plot.top = BODE_TOP_INSET;
    if (style.reserved_bottom > 0) {
        const int title_top = client_height - style.reserved_bottom - 1 - text.title_height;
        plot.bottom = title_top - 1 - text.label_height - BODE_FREQ_LABEL_DROP;
        out.freq_title = band(0, title_top, client_width, text.title_height);
    } else {
        plot.bottom = client_height - style.bottom_inset;
        const int title_top = style.freq_title_below_plot ? plot.bottom + 20 : client_height - 60;
        out.freq_title = band(0, title_top, client_width, 20);
    }
    out.freq_labels = band(plot.left - BODE_FREQ_LABEL_LEFT, plot.bottom + BODE_FREQ_LABEL_DROP,
                           plot.right + BODE_FREQ_LABEL_RIGHT, text.label_height);
    const int label_top = plot.top - text.label_height / 2;
    const int label_bottom = plot.bottom + text.label_height - text.label_height / 2;
    out.gain_labels = {style.axis_title_x + 1, label_top, plot.left - BODE_VALUE_LABEL_GAP,
                       label_bottom};
    out.phase_labels = {plot.right + BODE_VALUE_LABEL_GAP, label_top,
                        client_width - style.axis_title_x - 1, label_bottom};
    return out;
}

s_plot_rect bode_plot_area(int client_width, int client_height, const s_bode_style& style)
{
    return bode_layout(client_width, client_height, style, {}).plot;
}

int bode_x_of(double f, const s_freq_range& range, int plot_width, bool log_scaling)
{
    return bode_x_mapper(range, plot_width, log_scaling)(f);
}

bode_x_mapper::bode_x_mapper(const s_freq_range& range, int plot_width, bool log_scaling)
    : fmin_(range.fmin), scale_(log_scaling ? plot_width / std::log10(range.fmax / range.fmin)
                                            : plot_width / (range.fmax - range.fmin)),
      log_(log_scaling)
{
}

int bode_x_mapper::operator()(double f) const
{
    return round_away(scale_ * (log_ ? std::log10(f / fmin_) : f - fmin_));
}

double bode_y_of_gain(double g, const s_gain_range& range, int plot_height)
{
    const double span = range.gmax - range.gmin;
    return span == 0 ? 0 : (g - range.gmin) * plot_height / span;
}

double bode_y_of_phase(double p, int phase_base, int plot_height)
{
    return (p - phase_base) * plot_height / 360.0;
}

int bode_phase_base(int phase_convention)
{
    switch (phase_convention) {
    case 1: return -360;
    case 2: return 0;
    default: return -180;
    }
}

s_freq_range bode_freq_range(std::span<const double> frequencies)
{
    s_freq_range r{FREQ_SEARCH_MIN, 0};
    for (double f : frequencies) {
        if (f > r.fmax)
            r.fmax = f;
        if (f < r.fmin)
            r.fmin = f;
    }
    if (r.fmax - r.fmin < RANGE_EPSILON)
        r.fmax += DEGENERATE_WIDEN_HZ;
    // A minimum at or below 0 Hz (an imported file may hold one) has no
    // place on a logarithmic axis: the axis starts at 1 Hz instead.
    if (r.fmin <= 0)
        r.fmin = 1;
    return r;
}

s_gain_range bode_gain_range(std::span<const s_gain_sample> samples, const s_freq_range& range,
                             bool centre_zero)
{
    double max = GAIN_SEARCH_MAX;
    double min = GAIN_SEARCH_MIN;
    for (const s_gain_sample& s : samples) {
        if (s.frequency < range.fmin || s.frequency > range.fmax)
            continue;
        if (s.gain > max)
            max = s.gain;
        if (s.gain < min)
            min = s.gain;
    }
    if (max - min < RANGE_EPSILON) {
        max += DEGENERATE_WIDEN_DB;
        min -= DEGENERATE_WIDEN_DB;
    }
    if (centre_zero) {
        if (std::fabs(min) < std::fabs(max))
            min = -max;
        else
            max = -min;
    }
    const s_round_scale r = round_scale(std::floor(min / 10) * 10, std::ceil(max / 10) * 10, 10);
    return s_gain_range{r.min, r.max};
}
