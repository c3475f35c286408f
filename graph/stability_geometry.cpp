#include "graph/stability_geometry.h"

#include "graph/round_scale.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double DEG = std::numbers::pi / 180.0;
// A jump of more than this between neighbours is a wrap of the measured
// phase (about +180 to about -180), as the margin search treats it.
constexpr double PHASE_WRAP_JUMP = 180.0;
constexpr double NICHOLS_GAIN_LIMIT = 200.0;
constexpr double UNIT_CIRCLE_ROOM = 1.2;

// The phase in -180..180 (a measured 0..360 or -360..0 convention folds in).
double folded(double phase)
{
    double p = std::fmod(phase, 360.0);
    if (p > 180.0)
        p -= 360.0;
    else if (p <= -180.0)
        p += 360.0;
    return p;
}

bool finite(const s_loop_point& p)
{
    return std::isfinite(p.gain) && std::isfinite(p.phase);
}

void widen(double& lo, double& hi, double v)
{
    lo = std::min(lo, v);
    hi = std::max(hi, v);
}

} // namespace

s_xy nyquist_point(double gain_db, double phase_deg)
{
    const double magnitude = std::pow(10.0, gain_db / 20.0);
    return {-magnitude * std::cos(phase_deg * DEG), -magnitude * std::sin(phase_deg * DEG)};
}

s_xy nichols_point(double gain_db, double phase_deg)
{
    return {folded(phase_deg) - 180.0, gain_db};
}

s_xy_curve stability_curve(std::span<const s_loop_point> points, stability_view view)
{
    s_xy_curve pieces;
    const s_loop_point* previous = nullptr;
    for (const s_loop_point& p : points) {
        if (!finite(p)) {
            previous = nullptr; // a broken reading breaks the line
            continue;
        }
        // On the Nyquist plane a wrap of the phase is a small step (e^{j180}
        // = e^{-j180}); on the Nichols chart it would cross the whole chart.
        const bool wrap = previous && view == stability_view::nichols &&
                          std::abs(folded(p.phase) - folded(previous->phase)) > PHASE_WRAP_JUMP;
        if (!previous || wrap)
            pieces.emplace_back();
        pieces.back().push_back(view == stability_view::nyquist ? nyquist_point(p.gain, p.phase)
                                                                : nichols_point(p.gain, p.phase));
        previous = &p;
    }
    return pieces;
}

s_xy stability_critical_point(stability_view view)
{
    return view == stability_view::nyquist ? s_xy{-1, 0} : s_xy{-180, 0};
}

s_xy stability_zero_db_mark(double phase_deg, stability_view view)
{
    return view == stability_view::nyquist ? nyquist_point(0, phase_deg)
                                           : nichols_point(0, phase_deg);
}

s_xy stability_zero_phase_mark(double gain_db, stability_view view)
{
    return view == stability_view::nyquist ? nyquist_point(gain_db, 0) : nichols_point(gain_db, 0);
}

std::vector<double> s_axis_ticks::values() const
{
    // Multiples of the step inside the range (a Nyquist frame's ends need
    // not be multiples: its height follows the plot's shape).
    std::vector<double> v;
    for (double k = std::ceil(min / step - 1e-9); k * step <= max + step * 1e-9; k += 1)
        v.push_back(k * step);
    return v;
}

s_axis_ticks nice_ticks(double lo, double hi, int count)
{
    if (lo > hi)
        std::swap(lo, hi);
    count = std::max(count, 1);
    const double span = hi - lo;
    const double rough = span > 0 ? span / count : std::max(std::abs(lo), 1.0);
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    double step = decade * 10;
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (m * decade >= rough * (1 - 1e-9)) {
            step = m * decade;
            break;
        }
    }
    s_axis_ticks t{std::floor(lo / step + 1e-9) * step, std::ceil(hi / step - 1e-9) * step, step};
    if (t.max <= t.min) {
        t.min -= step;
        t.max += step;
    }
    return t;
}

s_stability_frame stability_frame(const std::vector<s_xy_curve>& curves, stability_view view,
                                  double plot_aspect)
{
    if (view == stability_view::nichols) {
        double lo = 0, hi = 0;
        for (const s_xy_curve& c : curves)
            for (const auto& piece : c)
                for (const s_xy& p : piece)
                    widen(lo, hi, std::clamp(p.y, -NICHOLS_GAIN_LIMIT, NICHOLS_GAIN_LIMIT));
        // The gain axis as the Bode chart's of the same data: whole tens at
        // both ends, eight round divisions.
        const s_round_scale gain =
            round_scale(std::floor(lo / 10) * 10, std::ceil(hi / 10) * 10, 10);
        return {{-360, 0, 45}, {gain.min, gain.max, gain.step}};
    }
    double x_lo = -UNIT_CIRCLE_ROOM, x_hi = UNIT_CIRCLE_ROOM;
    double y_lo = -UNIT_CIRCLE_ROOM, y_hi = UNIT_CIRCLE_ROOM;
    for (const s_xy_curve& c : curves)
        for (const auto& piece : c)
            for (const s_xy& p : piece)
                if (std::hypot(p.x, p.y) <= NYQUIST_MAX_RADIUS) {
                    widen(x_lo, x_hi, p.x);
                    widen(y_lo, y_hi, p.y);
                }
    // One unit as long on both axes: the shorter side grows about its middle.
    const double aspect = plot_aspect > 0 ? plot_aspect : 1;
    const double width = std::max(x_hi - x_lo, (y_hi - y_lo) * aspect);
    const double cx = (x_lo + x_hi) / 2, cy = (y_lo + y_hi) / 2;
    s_stability_frame f;
    f.x = nice_ticks(cx - width / 2, cx + width / 2, 10);
    const double shown = (f.x.max - f.x.min) / aspect;
    f.y = {cy - shown / 2, cy + shown / 2, f.x.step};
    return f;
}

const char* stability_title(stability_view view)
{
    return view == stability_view::nyquist
               ? "Nyquist plot of -H (the measured response inverted): critical point -1"
               : "Nichols chart of -H (measured phase - 180\xb0): critical point -180\xb0, 0 dB";
}
