#include "lcr/circuit_models.h"

#include "lcr/lcr_layouts.h"
#include "lcr/piezo_analysis.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

using complex = std::complex<double>;
using enum element_kind;

constexpr double TWO_PI = 2 * std::numbers::pi;

const circuit_shape SHAPES[] = {
    {circuit_model::rl_series, "R-L series", "rl-series", 2, {r, l}},
    {circuit_model::rl_parallel, "R-L parallel", "rl-parallel", 2, {r, l}},
    {circuit_model::rc_series, "R-C series", "rc-series", 2, {r, c}},
    {circuit_model::rc_parallel, "R-C parallel", "rc-parallel", 2, {r, c}},
    {circuit_model::rlc_series, "R-L-C series", "rlc-series", 3, {r, l, c}},
    {circuit_model::rlc_parallel, "R-L-C parallel", "rlc-parallel", 3, {r, l, c}},
    {circuit_model::resonator, "Resonator (R, L, C, Cp)", "resonator", 4, {r, l, c, cp}},
};

bool is_parallel(circuit_model model)
{
    return model == circuit_model::rl_parallel || model == circuit_model::rc_parallel ||
           model == circuit_model::rlc_parallel;
}

// One element's term of a series branch (an impedance) or of a parallel
// one (an admittance), with the term's derivative by the logarithm of the
// element.
struct term {
    complex value;
    complex d;
};

term series_term(element_kind kind, double v, double omega)
{
    switch (kind) {
    case r: return {v, v};
    case l: return {complex(0, omega * v), complex(0, omega * v)};
    default: return {complex(0, -1 / (omega * v)), complex(0, 1 / (omega * v))};
    }
}

term parallel_term(element_kind kind, double v, double omega)
{
    switch (kind) {
    case r: return {1 / v, -1 / v};
    case l: return {complex(0, -1 / (omega * v)), complex(0, 1 / (omega * v))};
    default: return {complex(0, omega * v), complex(0, omega * v)};
    }
}

// The weighted linear least squares that series and parallel models reduce
// to: W = g + j (a w - b / w) with W the impedance (series) or the
// admittance (parallel), each sample weighted by 1 / |W| so that every
// point counts by its relative error as the fit does.
struct linear_terms {
    double g = 0, a = 0, b = 0;
};

linear_terms linear_solution(std::span<const impedance_sample> samples, bool admittance,
                             bool with_a, bool with_b)
{
    double real_weighted = 0, weights = 0;
    Eigen::Matrix2d normal = Eigen::Matrix2d::Zero();
    Eigen::Vector2d rhs = Eigen::Vector2d::Zero();
    for (const impedance_sample& s : samples) {
        const complex w = admittance ? 1.0 / s.z : s.z;
        const double inv = 1 / std::abs(w);
        const double omega = TWO_PI * s.hz;
        real_weighted += w.real() * inv * inv;
        weights += inv * inv;
        const Eigen::Vector2d row(with_a ? omega * inv : 0, with_b ? -inv / omega : 0);
        normal += row * row.transpose();
        rhs += row * (w.imag() * inv);
    }
    for (int i = 0; i < 2; ++i)
        if (normal(i, i) == 0)
            normal(i, i) = 1; // an absent term solves to 0
    const Eigen::Vector2d ab = normal.ldlt().solve(rhs);
    return {real_weighted / weights, ab(0), ab(1)};
}

// A value of the element's kind whose impedance at the sweep's middle
// frequency equals the sweep's median impedance: where the linear solution
// gives no positive value, the fit starts from there.
double typical_value(element_kind kind, std::span<const impedance_sample> samples)
{
    std::vector<double> magnitudes;
    for (const impedance_sample& s : samples)
        magnitudes.push_back(std::abs(s.z));
    const auto middle = magnitudes.begin() + static_cast<std::ptrdiff_t>(magnitudes.size() / 2);
    std::nth_element(magnitudes.begin(), middle, magnitudes.end());
    const double z = *middle;
    const double omega = TWO_PI * std::sqrt(samples.front().hz * samples.back().hz);
    switch (kind) {
    case r: return z;
    case l: return z / omega;
    default: return 1 / (omega * z);
    }
}

double positive_or(double value, element_kind kind, std::span<const impedance_sample> samples)
{
    return std::isfinite(value) && value > 0 ? value : typical_value(kind, samples);
}

void linear_seed(const circuit_shape& shape, std::span<const impedance_sample> samples,
                 std::array<double, CIRCUIT_ELEMENTS_MAX>& values)
{
    const bool parallel = is_parallel(shape.model);
    bool has_l = false, has_c = false;
    for (int i = 0; i < shape.count; ++i) {
        has_l |= shape.elements[static_cast<size_t>(i)] == l;
        has_c |= shape.elements[static_cast<size_t>(i)] == c;
    }
    // Series: W = R + j (L w - (1/C) / w); parallel: W = 1/R + j (C w - (1/L) / w).
    const linear_terms t =
        linear_solution(samples, parallel, parallel ? has_c : has_l, parallel ? has_l : has_c);
    for (int i = 0; i < shape.count; ++i) {
        const element_kind kind = shape.elements[static_cast<size_t>(i)];
        double v = kind == r ? t.g : kind == l ? t.a : 1 / t.b;
        if (parallel)
            v = kind == r ? 1 / t.g : kind == l ? 1 / t.b : t.a;
        values[static_cast<size_t>(i)] = positive_or(v, kind, samples);
    }
}

// An inductor with its winding capacitance: no series resonance in the
// sweep, an impedance peak inside it. L and R from the lowest frequency, Cp
// from the peak, and C large enough to resonate with L a decade below the
// sweep.
bool self_resonance_seed(std::span<const impedance_sample> samples,
                         std::array<double, CIRCUIT_ELEMENTS_MAX>& values)
{
    const auto peak = std::max_element(samples.begin(), samples.end(),
                                       [](const impedance_sample& a, const impedance_sample& b) {
                                           return std::abs(a.z) < std::abs(b.z);
                                       });
    const impedance_sample& low = samples.front();
    if (peak == samples.begin() || peak == samples.end() - 1 || !(low.z.imag() > 0) ||
        !(low.z.real() > 0))
        return false;
    const double l = low.z.imag() / (TWO_PI * low.hz);
    const double omega_peak = TWO_PI * peak->hz;
    const double omega_below = TWO_PI * low.hz / 10;
    values = {low.z.real(), l, 1 / (omega_below * omega_below * l),
              1 / (omega_peak * omega_peak * l)};
    return true;
}

// The resonator starts from the four-point piezo analysis of the sweep, or
// where that finds no series resonance, from the inductor's self-resonance.
bool resonator_seed(std::span<const impedance_sample> samples,
                    std::array<double, CIRCUIT_ELEMENTS_MAX>& values, std::string& reason)
{
    auto results = std::make_unique<LcrResults>();
    results->layout = LCR_LAYOUT_IMPEDANCE;
    for (const impedance_sample& s : samples) {
        if (results->count == MAX_SWEEP_POINTS)
            break;
        LcrPoint& p = results->points[static_cast<size_t>(results->count++)];
        p.v[PIEZO_FREQUENCY] = s.hz;
        p.v[PIEZO_IMPEDANCE] = std::abs(s.z);
    }
    const s_piezo_analysis analysis = piezo_analyse(*results);
    if (!analysis.values) {
        reason = analysis.refusal;
        return self_resonance_seed(samples, values);
    }
    const s_piezo_values& v = *analysis.values;
    values = {v.r, v.l, v.c, v.cp};
    return true;
}

} // namespace

std::span<const circuit_shape> circuit_shapes()
{
    return SHAPES;
}

const circuit_shape& circuit_shape_of(circuit_model model)
{
    return SHAPES[static_cast<size_t>(model)];
}

const char* element_name(element_kind kind)
{
    static const char* const names[] = {"R", "L", "C", "Cp"};
    return names[static_cast<size_t>(kind)];
}

const char* element_unit(element_kind kind)
{
    static const char* const units[] = {"Ohm", "H", "F", "F"};
    return units[static_cast<size_t>(kind)];
}

complex model_impedance(const circuit_shape& shape, const double* values, double omega, complex* d)
{
    const bool resonator = shape.model == circuit_model::resonator;
    const bool parallel = is_parallel(shape.model);
    const int branch = resonator ? 3 : shape.count;
    complex sum = 0;
    for (int i = 0; i < branch; ++i) {
        const element_kind kind = shape.elements[static_cast<size_t>(i)];
        const term t =
            parallel ? parallel_term(kind, values[i], omega) : series_term(kind, values[i], omega);
        sum += t.value;
        if (d)
            d[i] = t.d;
    }
    if (!parallel && !resonator)
        return sum;
    if (parallel) {
        const complex z = 1.0 / sum;
        for (int i = 0; d && i < branch; ++i)
            d[i] *= -z * z;
        return z;
    }
    // The resonator: the series branch sum shunted by Cp.
    const complex ycp(0, omega * values[3]);
    const complex ratio = 1.0 / (1.0 + ycp * sum); // Z / Zm
    const complex z = sum * ratio;
    for (int i = 0; d && i < branch; ++i)
        d[i] *= ratio * ratio;
    if (d)
        d[3] = -z * z * ycp;
    return z;
}

bool circuit_seed(const circuit_shape& shape, std::span<const impedance_sample> samples,
                  std::array<double, CIRCUIT_ELEMENTS_MAX>& values, std::string& reason)
{
    if (shape.model == circuit_model::resonator)
        return resonator_seed(samples, values, reason);
    linear_seed(shape, samples, values);
    return true;
}
