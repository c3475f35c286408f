#include "sim/measure.h"

#include <cmath>
#include <numbers>

namespace sim {

namespace {

using complex = std::complex<double>;

// Where a quotient has no finite value (a pure reactance has no Q limit, a
// short has no admittance) the instrument shows its largest reading.
constexpr double k_overrange = 1e30;
constexpr double k_floor_db = -400;

double ratio_of(double a, double b)
{
    if (b == 0) {
        return a == 0 ? 0 : std::copysign(k_overrange, a);
    }
    const double q = a / b;
    return std::isfinite(q) ? q : std::copysign(k_overrange, q);
}

complex inverse(complex z)
{
    if (std::abs(z) == 0) {
        return k_overrange;
    }
    return 1.0 / z;
}

double degrees(complex z)
{
    return std::arg(z) * 180.0 / std::numbers::pi;
}

double gain_db(complex ratio)
{
    const double m = std::abs(ratio);
    return m > 0 ? std::max(20 * std::log10(m), k_floor_db) : k_floor_db;
}

// Phase delay: the time shift that the (-180..180) phase stands for.
double delay_s(complex ratio, double hz)
{
    return -std::arg(ratio) / (2 * std::numbers::pi * hz);
}

// Numerator and denominator channel of each ratio choice, counted from 1:
// ch2/ch1, ch1/ch2, ch3/ch1, ch1/ch3, ch3/ch2, ch2/ch3.
constexpr int k_ratio_channels[][2] = {{2, 1}, {1, 2}, {3, 1}, {1, 3}, {3, 2}, {2, 3}};

struct lcr_quantities {
    complex z;
    complex y;
    double omega;
    double q;
    double tan_delta;
};

lcr_quantities quantities(complex z, double hz)
{
    const double x = std::fabs(z.imag());
    return {z, inverse(z), 2 * std::numbers::pi * hz, ratio_of(x, z.real()), ratio_of(z.real(), x)};
}

double series_l(const lcr_quantities& q)
{
    return ratio_of(q.z.imag(), q.omega);
}
double series_c(const lcr_quantities& q)
{
    return ratio_of(-1.0, q.omega * q.z.imag());
}
double parallel_r(const lcr_quantities& q)
{
    return ratio_of(1.0, q.y.real());
}
double parallel_l(const lcr_quantities& q)
{
    return ratio_of(-1.0, q.omega * q.y.imag());
}
double parallel_c(const lcr_quantities& q)
{
    return ratio_of(q.y.imag(), q.omega);
}

} // namespace

double fold_phase(double degrees, int convention)
{
    double p = std::remainder(degrees, 360.0); // -180..180
    if (convention == 1 && p > 0) {
        p -= 360;
    } else if (convention == 2 && p < 0) {
        p += 360;
    }
    return p;
}

std::vector<double> fra_point(const fra_dut& dut, double hz, const fra_conditions& conditions)
{
    const auto [h, input] = dut.respond(hz);
    const complex loop = 1.0 + h;
    // A device behind a source impedance loads the generator: channel 1
    // sees the voltage at its input.
    const complex applied = conditions.amplitude * input;
    const complex output = input == 1.0 ? conditions.amplitude * h : applied * h;
    const complex channel[] = {applied, output,
                               std::abs(loop) > 0 ? output / loop : complex(k_overrange)};
    const int pick = conditions.ratio >= 0 && conditions.ratio < 6 ? conditions.ratio : 0;
    const complex ratio =
        channel[k_ratio_channels[pick][0] - 1] * inverse(channel[k_ratio_channels[pick][1] - 1]);
    std::vector<double> values = {hz,
                                  std::abs(channel[0]),
                                  std::abs(channel[1]),
                                  gain_db(ratio),
                                  fold_phase(degrees(ratio), conditions.phase_convention),
                                  delay_s(ratio, hz)};
    if (conditions.three_channels) {
        const complex second = channel[2] * inverse(channel[0]);
        values.insert(values.end(), {std::abs(channel[2]), gain_db(second),
                                     fold_phase(degrees(second), conditions.phase_convention),
                                     delay_s(second, hz)});
    }
    return values;
}

std::vector<double> lcr_sweep_values(complex z, double hz, int layout, int phase_convention)
{
    const auto q = quantities(z, hz);
    const double z_phase = fold_phase(degrees(q.z), phase_convention);
    const double y_phase = fold_phase(degrees(q.y), phase_convention);
    switch (layout) {
    case 5:
        return {
            hz,           q.q,        q.tan_delta,   std::abs(q.z), z_phase,       series_l(q),
            series_c(q),  q.z.real(), std::abs(q.y), y_phase,       parallel_l(q), parallel_c(q),
            parallel_r(q)};
    case 6: return {hz, q.z.real(), q.z.imag(), std::abs(q.z), z_phase};
    case 7: return {hz, q.y.real(), q.y.imag(), std::abs(q.y), y_phase};
    default:
        return {hz,      q.q,           q.tan_delta,   std::abs(q.z),
                z_phase, parallel_l(q), parallel_c(q), parallel_r(q)};
    }
}

std::vector<double> lcr_reading(complex z, double hz, double amplitude, bool fourteen_values,
                                int phase_convention)
{
    const auto q = quantities(z, hz);
    const double current = amplitude * std::abs(q.y);
    const double z_phase = fold_phase(degrees(q.z), phase_convention);
    if (fourteen_values) {
        return {hz,          amplitude,   current,       std::abs(q.z), z_phase,       q.z.real(),
                series_l(q), series_c(q), parallel_r(q), parallel_l(q), parallel_c(q), q.tan_delta,
                q.q,         q.z.imag()};
    }
    return {hz,
            amplitude,
            current,
            std::abs(q.z),
            z_phase,
            q.z.real(),
            q.z.imag(),
            std::abs(q.y),
            fold_phase(degrees(q.y), phase_convention),
            q.y.real(),
            q.y.imag()};
}

} // namespace sim
