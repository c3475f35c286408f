#include "graph/bode_axes.h"

#include <cmath>

namespace {

constexpr double DECADE_EPSILON = 1e-10;
// No axis ever needs this many lines; the bound keeps a degenerate range
// from spinning.
constexpr int MAX_FREQ_TICKS = 4096;

bool drawable(int x, int plot_width)
{
    return x > 0 && x < plot_width;
}

void linear_ticks(std::vector<s_freq_tick>& out, const s_freq_range& r, int width,
                  const s_bode_style& style)
{
    const double step = bode_linear_step(r, style);
    if (!(step > 0) || r.fmax == 0)
        return;
    // Ticks at whole multiples of the step, so that labels read round.
    const double first = std::ceil(r.fmin / step - DECADE_EPSILON);
    for (int i = 0; i < MAX_FREQ_TICKS; ++i) {
        const double f = (first + i) * step;
        if (f > r.fmax * (1 + DECADE_EPSILON))
            break;
        const int x = bode_x_of(f, r, width, false);
        out.push_back({x, f, drawable(x, width) ? grid_pen::minor : grid_pen::none, true});
    }
}

void decade_ticks(std::vector<s_freq_tick>& out, const s_freq_range& r, int width,
                  const s_bode_style& style)
{
    int label_decade = static_cast<int>(std::trunc(std::log10(r.fmin)));
    const double lg = std::log10(r.fmin);
    const bool exact_decade = std::fabs(lg - std::round(lg)) < DECADE_EPSILON;
    double f = r.fmin;
    for (int i = 0; i < MAX_FREQ_TICKS && f <= r.fmax; ++i) {
        const int x = bode_x_of(f, r, width, true);
        const int decade = static_cast<int>(std::floor(std::log10(f) + DECADE_EPSILON));
        s_freq_tick t{x, f, drawable(x, width) ? grid_pen::minor : grid_pen::none, false};
        if (i == 0 && exact_decade) {
            t = {x, f, style.major_at_exact_decade ? grid_pen::major : grid_pen::none, true};
        } else if (decade != label_decade) {
            t.pen = grid_pen::major;
            t.labelled = true;
            label_decade = decade;
        }
        out.push_back(t);
        f += std::pow(10.0, label_decade);
    }
}

void short_ticks(std::vector<s_freq_tick>& out, const s_freq_range& r, int width,
                 const s_bode_style& style)
{
    const double p = std::pow(10.0, std::trunc(std::log10(r.fmin)));
    for (int k = 0; k <= 9; ++k) {
        const double f = p * (k + 1);
        if (!(f < r.fmax))
            break;
        if (f <= r.fmin)
            continue;
        const bool major = style.short_axis_major_ends && (k == 0 || k == 9);
        out.push_back(
            {bode_x_of(f, r, width, true), f, major ? grid_pen::major : grid_pen::minor, true});
    }
    if (out.empty()) {
        out.push_back({0, r.fmin, grid_pen::none, true});
        out.push_back({width, r.fmax, grid_pen::none, true});
    }
}

} // namespace

double bode_linear_step(const s_freq_range& r, const s_bode_style& style)
{
    const double span = r.fmax - r.fmin;
    if (!(span > 0) || !std::isfinite(span))
        return 0;
    double step = std::pow(10.0, std::trunc(std::log10(span)));
    if (span / step < style.linear_min_intervals)
        step /= 6;
    return step;
}

std::vector<s_freq_tick> bode_freq_ticks(const s_freq_range& r, int plot_width, bool log_scaling,
                                         const s_bode_style& style)
{
    std::vector<s_freq_tick> out;
    if (!log_scaling) {
        linear_ticks(out, r, plot_width, style);
        return out;
    }
    if (!(r.fmin > 0) || !(r.fmax > 0) || !std::isfinite(r.fmin) || !std::isfinite(r.fmax))
        return out;
    if (std::trunc(std::log10(r.fmax / r.fmin)) >= 1)
        decade_ticks(out, r, plot_width, style);
    else
        short_ticks(out, r, plot_width, style);
    return out;
}

std::vector<s_value_tick> bode_gain_ticks(const s_gain_range& range, int plot_height)
{
    std::vector<s_value_tick> out;
    for (int i = 0; i < BODE_VALUE_TICKS; ++i)
        out.push_back({i * plot_height / 8, range.gmin + (range.gmax - range.gmin) / 8 * i});
    return out;
}

std::vector<s_value_tick> bode_phase_ticks(int phase_base, int plot_height)
{
    std::vector<s_value_tick> out;
    for (int i = 0; i < BODE_VALUE_TICKS; ++i)
        out.push_back({i * plot_height / 8, static_cast<double>(i * 45 + phase_base)});
    return out;
}
