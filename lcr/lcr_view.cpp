#include "lcr/lcr_view.h"

#include "base/number_format.h"
#include "graph/round_scale.h"
#include "lcr/lcr_layouts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double TINY_RANGE = 1e-10;
constexpr double MARGIN = 0.05;

int point_count(const LcrResults& r)
{
    return std::clamp(r.count, 0, MAX_SWEEP_POINTS);
}

const LcrPoint& point(const LcrResults& r, int i)
{
    return r.points[static_cast<size_t>(i)];
}

bool inside(double f, const s_freq_range& freq)
{
    return f >= freq.fmin && f <= freq.fmax;
}

// The extremes of a quantity's finite values (only the positive ones when
// asked) inside the frequency range; false when there is none.
bool extremes(const LcrResults& r, int position, const s_freq_range& freq, bool positive,
              s_value_range& out)
{
    bool any = false;
    for (int i = 0; i < point_count(r); ++i) {
        const LcrPoint& p = point(r, i);
        const double v = p.v[position];
        if (!inside(p.v[0], freq) || !std::isfinite(v) || (positive && !(v > 0)))
            continue;
        out.min = any ? std::min(out.min, v) : v;
        out.max = any ? std::max(out.max, v) : v;
        any = true;
    }
    return any;
}

} // namespace

s_freq_range lcr_freq_range(const LcrResults& r, const s_freq_range& previous)
{
    const int n = point_count(r);
    if (n == 0)
        return previous;
    s_freq_range out{1e9, 0};
    for (int i = 0; i < n; ++i) {
        const double f = point(r, i).v[0];
        if (!std::isfinite(f))
            continue;
        out.fmin = std::min(out.fmin, f);
        out.fmax = std::max(out.fmax, f);
    }
    if (!(out.fmin > 0))
        out.fmin = 1;
    if (out.fmax - out.fmin < TINY_RANGE)
        out.fmax = out.fmin + 10;
    return out;
}

bool lcr_is_phase(int layout, int position)
{
    const auto& q = lcr_layout(layout).quantities;
    return position >= 1 && position <= static_cast<int>(q.size()) &&
           q[static_cast<size_t>(position - 1)].phase;
}

bool lcr_log_by_default(int layout, int position)
{
    const auto& q = lcr_layout(layout).quantities;
    return position >= 1 && position <= static_cast<int>(q.size()) &&
           q[static_cast<size_t>(position - 1)].magnitude;
}

s_value_range lcr_value_range(const LcrResults& r, int position, const s_freq_range& freq,
                              const s_value_range& previous, bool log)
{
    if (position < 1 || position >= LCR_VALUES_MAX)
        return previous;
    s_value_range out{0, 0};
    if (!extremes(r, position, freq, false, out))
        return previous;
    s_value_range positive{0, 0, true};
    if (log && extremes(r, position, freq, true, positive))
        return positive;
    if (out.max - out.min < TINY_RANGE) {
        out.max += 10;
        out.min -= 10;
    }
    if (!lcr_is_phase(r.layout, position)) {
        out.max += MARGIN * std::fabs(out.max);
        out.min -= MARGIN * std::fabs(out.min);
    }
    const s_round_scale round = round_scale(out.min, out.max);
    return {round.min, round.max};
}

s_plot_rect lcr_plot_area(int client_width, int client_height, int strip_height, bool large_font)
{
    constexpr int side = 80, top = 10, bottom = 90, bottom_large = 150;
    return s_plot_rect{side, top, client_width - side,
                       client_height - strip_height - (large_font ? bottom_large : bottom)};
}

std::vector<std::string> lcr_value_labels(const s_value_range& range)
{
    std::vector<std::string> out;
    const s_round_scale scale = typed_scale(range.min, range.max);
    for (double v : scale.values())
        out.push_back(round_label(v, scale.step));
    return out;
}

int lcr_value_height(double v, const s_value_range& range, int height)
{
    double at = 0;
    if (range.log && v > 0 && range.min > 0 && range.max > range.min)
        at = height * std::log10(v / range.min) / std::log10(range.max / range.min);
    else if (!range.log && range.max > range.min)
        at = height * (v - range.min) / (range.max - range.min);
    if (!std::isfinite(at))
        return 0;
    return static_cast<int>(std::lround(std::clamp(at, 0.0, static_cast<double>(height))));
}

std::vector<std::vector<s_pixel>> lcr_trace(const LcrResults& r, int position,
                                            const s_freq_range& freq, const s_value_range& range,
                                            const s_plot_rect& plot, bool log)
{
    std::vector<std::vector<s_pixel>> pieces(1);
    if (position < 0 || position >= LCR_VALUES_MAX)
        return {};
    const bode_x_mapper x_of(freq, plot.width(), log);
    for (int i = 0; i < point_count(r); ++i) {
        const int x = x_of(point(r, i).v[0]);
        const double v = point(r, i).v[position];
        if (x < 0)
            continue;
        if (x > plot.width())
            break;
        if (range.log && !(v > 0)) {
            if (!pieces.back().empty())
                pieces.emplace_back();
            continue;
        }
        pieces.back().push_back({x, plot.height() - lcr_value_height(v, range, plot.height())});
    }
    if (pieces.back().empty())
        pieces.pop_back();
    return pieces;
}

int lcr_cursor_index(int cursor, int count)
{
    const int n = std::clamp(count, 0, MAX_SWEEP_POINTS);
    return n == 0 ? -1 : std::clamp(cursor, 0, n - 1);
}

std::vector<std::string> lcr_cursor_readout(const LcrResults& r, int cursor, int left_position,
                                            int right_position)
{
    const int i = lcr_cursor_index(cursor, r.count);
    if (i < 0)
        return {};
    const LcrPoint& p = point(r, i);
    std::vector<std::string> out{"Frequency: " + format_engineering(p.v[0]) + "Hz"};
    const auto& q = lcr_layout(r.layout).quantities;
    for (const int position : {left_position, right_position}) {
        if (position < 1 || position > static_cast<int>(q.size())) {
            out.emplace_back();
            continue;
        }
        const s_lcr_quantity& k = q[static_cast<size_t>(position - 1)];
        out.push_back(std::string(k.short_name) + ": " + format_engineering(p.v[position]) +
                      k.readout_unit);
    }
    return out;
}

void lcr_view_new_sweep(s_lcr_view_state& view, const LcrResults& results)
{
    view.freq = lcr_freq_range(results, view.freq);
    for (int side = 0; side < 2; ++side)
        lcr_view_set_quantity(view, results, side, view.item[side]);
    view.cursor[0] = 0;
    view.cursor[1] = std::max(point_count(results) - 1, 0);
}

void lcr_view_set_quantity(s_lcr_view_state& view, const LcrResults& results, int side, int item)
{
    if (side < 0 || side > 1)
        return;
    if (item != view.item[side])
        view.log[side] = lcr_log_by_default(results.layout, item + 1);
    view.item[side] = item;
    s_value_range& axis = side == 0 ? view.left : view.right;
    axis = lcr_value_range(results, item + 1, view.freq, axis, view.log[side]);
}

void lcr_view_reset_quantities(s_lcr_view_state& view, int layout)
{
    for (int side = 0; side < 2; ++side) {
        view.item[side] = side;
        view.log[side] = lcr_log_by_default(layout, side + 1);
    }
}

bool lcr_view_move_cursor(s_lcr_view_state& view, int which, int index, int count)
{
    if (which < 0 || which > 1 || count <= 0)
        return false;
    const int to = std::clamp(index, 0, count - 1);
    if (to == view.cursor[which])
        return false;
    view.cursor[which] = to;
    return true;
}
