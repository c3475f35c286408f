#include "sim/fra_dut.h"

#include "sim/dut_text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim {

namespace {

// A pole exactly on the measured frequency would divide by zero; the
// response is held at a very large but finite magnitude instead.
constexpr double k_tiny_denominator = 1e-300;

std::complex<double> polynomial(const std::vector<double>& coefficients, std::complex<double> s)
{
    std::complex<double> sum = 0;
    for (double c : coefficients) {
        sum = sum * s + c;
    }
    return sum;
}

std::optional<std::vector<double>> parse_coefficients(std::string_view text)
{
    std::vector<double> values;
    while (true) {
        const auto cut = text.find(',');
        const auto value = parse_quantity(text.substr(0, cut));
        if (!value) {
            return std::nullopt;
        }
        values.push_back(*value);
        if (cut == std::string_view::npos) {
            return values;
        }
        text = text.substr(cut + 1);
    }
}

bool all_zero(const std::vector<double>& values)
{
    for (double v : values) {
        if (v != 0) {
            return false;
        }
    }
    return true;
}

} // namespace

std::complex<double> fra_dut::response(double hz) const
{
    if (ladder) {
        return ladder->respond(hz).transfer;
    }
    const std::complex<double> s(0, 2 * std::numbers::pi * hz);
    std::complex<double> d = polynomial(den, s);
    if (std::abs(d) < k_tiny_denominator) {
        d = k_tiny_denominator;
    }
    return polynomial(num, s) / d * std::exp(-s * delay);
}

fra_response fra_dut::respond(double hz) const
{
    return ladder ? ladder->respond(hz) : fra_response{response(hz), 1.0};
}

std::optional<fra_dut> parse_fra_dut(std::string_view description, std::string& error)
{
    const auto parts = split_assignments(description, ';');
    if (!parts) {
        error = "expected name=value parts separated by ';'";
        return std::nullopt;
    }
    if (std::any_of(parts->begin(), parts->end(),
                    [](const auto& p) { return p.first == "ladder"; })) {
        auto ladder = parse_ladder_dut(description, error);
        return ladder ? std::optional<fra_dut>(fra_dut{{}, {1.0}, 0, std::move(*ladder)})
                      : std::nullopt;
    }
    fra_dut dut{{}, {1.0}, 0, std::nullopt};
    for (const auto& [name, value] : *parts) {
        if (name == "delay") {
            const auto t = parse_quantity(value);
            if (!t || *t < 0) {
                error = "delay must be a number of seconds, 0 or more";
                return std::nullopt;
            }
            dut.delay = *t;
            continue;
        }
        if (name != "num" && name != "den") {
            error = "unknown part '" + name + "'";
            return std::nullopt;
        }
        auto coefficients = parse_coefficients(value);
        if (!coefficients) {
            error = "bad coefficient list for " + name;
            return std::nullopt;
        }
        (name == "num" ? dut.num : dut.den) = std::move(*coefficients);
    }
    if (dut.num.empty() || all_zero(dut.den)) {
        error = "num is required and den must not be all zero";
        return std::nullopt;
    }
    return dut;
}

fra_dut default_fra_dut()
{
    const double p1 = 2 * std::numbers::pi * 1e3;
    const double p2 = 2 * std::numbers::pi * 1e4;
    const double k = 3517.0;
    return fra_dut{{-k * p1 * p2}, {1.0, p1 + p2, p1 * p2, 0.0}, 0, std::nullopt};
}

} // namespace sim
