#include "lcr/circuit_curve.h"

#include "base/number_format.h"
#include "lcr/lcr_layouts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

// What the instrument shows for a division by zero.
constexpr double OVERRANGE = 9.9e37;

double ratio_of(double a, double b)
{
    if (b == 0)
        return a == 0 ? 0 : std::copysign(OVERRANGE, a);
    return a / b;
}

std::complex<double> inverse(std::complex<double> z)
{
    return std::abs(z) == 0 ? std::complex<double>(OVERRANGE) : 1.0 / z;
}

double folded_degrees(std::complex<double> z, int convention)
{
    double p = std::remainder(std::arg(z) * 180.0 / std::numbers::pi, 360.0);
    if (convention == 1 && p > 0)
        p -= 360;
    else if (convention == 2 && p < 0)
        p += 360;
    return p;
}

std::string percent_text(double fraction)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3g %%", fraction * 100);
    return text;
}

} // namespace

LcrPoint lcr_point_of_impedance(std::complex<double> z, double hz, int layout, int phase_convention)
{
    const std::complex<double> y = inverse(z);
    const double w = 2 * std::numbers::pi * hz;
    const double x = std::fabs(z.imag());
    const double q = ratio_of(x, z.real());
    const double tan_delta = ratio_of(z.real(), x);
    const double z_phase = folded_degrees(z, phase_convention);
    const double y_phase = folded_degrees(y, phase_convention);
    const double par_l = ratio_of(-1.0, w * y.imag());
    const double par_c = ratio_of(y.imag(), w);
    const double par_r = ratio_of(1.0, y.real());
    LcrPoint p;
    std::vector<double> v;
    switch (layout) {
    case LCR_LAYOUT_FULL:
        v = {hz,
             q,
             tan_delta,
             std::abs(z),
             z_phase,
             ratio_of(z.imag(), w),
             ratio_of(-1.0, w * z.imag()),
             z.real(),
             std::abs(y),
             y_phase,
             par_l,
             par_c,
             par_r};
        break;
    case LCR_LAYOUT_IMPEDANCE: v = {hz, z.real(), z.imag(), std::abs(z), z_phase}; break;
    case LCR_LAYOUT_ADMITTANCE: v = {hz, y.real(), y.imag(), std::abs(y), y_phase}; break;
    default: v = {hz, q, tan_delta, std::abs(z), z_phase, par_l, par_c, par_r}; break;
    }
    std::copy(v.begin(), v.end(), p.v);
    return p;
}

s_point_span fit_span(int count, bool between_cursors, int cursor_a, int cursor_b)
{
    if (count <= 0)
        return {};
    if (!between_cursors)
        return {0, count - 1};
    const auto clamp = [count](int i) { return std::clamp(i, 0, count - 1); };
    return {clamp(std::min(cursor_a, cursor_b)), clamp(std::max(cursor_a, cursor_b))};
}

std::vector<impedance_sample> span_samples(const std::vector<impedance_sample>& all,
                                           s_point_span span)
{
    const int last = std::min(span.last, static_cast<int>(all.size()) - 1);
    if (span.first < 0 || span.first > last)
        return {};
    return {all.begin() + span.first, all.begin() + last + 1};
}

void circuit_curve(const LcrResults& measured, const circuit_fit& fit, s_point_span span,
                   LcrResults& curve)
{
    curve.clear();
    curve.layout = measured.layout;
    curve.phase_convention = measured.phase_convention;
    if (!fit.refusal.empty() || fit.elements.empty())
        return;
    const int last = std::min(span.last, measured.count - 1);
    for (int i = std::max(span.first, 0); i <= last; ++i) {
        const double hz = measured.points[static_cast<size_t>(i)].v[0];
        curve.points[static_cast<size_t>(curve.count++)] = lcr_point_of_impedance(
            circuit_impedance(fit, hz), hz, measured.layout, measured.phase_convention);
    }
}

std::vector<std::string> circuit_fit_lines(const circuit_fit& fit)
{
    std::vector<std::string> lines{circuit_model_name(fit.model)};
    if (!fit.refusal.empty()) {
        lines.push_back(fit.refusal);
        return lines;
    }
    // An element the sweep does not determine has no finite uncertainty.
    for (const fitted_element& e : fit.elements)
        lines.push_back(e.name + "  " + format_engineering(e.value) + e.unit + "  \xB1 " +
                        (std::isfinite(e.uncertainty) ? format_engineering(e.uncertainty) + e.unit
                                                      : std::string("undetermined")));
    std::string quality = "Residual  " + percent_text(fit.residual);
    if (fit.q)
        quality += "    Q  " + format_engineering(*fit.q);
    lines.push_back(quality);
    std::string resonances;
    if (fit.fr)
        resonances = "fr  " + format_engineering(*fit.fr) + "Hz";
    if (fit.fa)
        resonances += (resonances.empty() ? "" : "    ") + std::string("fa  ") +
                      format_engineering(*fit.fa) + "Hz";
    if (!resonances.empty())
        lines.push_back(resonances);
    return lines;
}
