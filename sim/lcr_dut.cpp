#include "sim/lcr_dut.h"

#include "sim/dut_text.h"

#include <cmath>
#include <numbers>
#include <random>

namespace sim {

namespace {

using complex = std::complex<double>;

// Impedance of an inductor and a capacitor at j omega; a capacitance of 0
// means the capacitor is absent (a short in a series branch).
complex series_branch(double r, double l, double c, double omega)
{
    complex z(r, omega * l);
    if (c > 0) {
        z += complex(0, -1.0 / (omega * c));
    }
    return z;
}

std::optional<lcr_dut::circuit> circuit_named(std::string_view name)
{
    if (name == "bvd") {
        return lcr_dut::circuit::bvd;
    }
    if (name == "series") {
        return lcr_dut::circuit::series;
    }
    if (name == "parallel") {
        return lcr_dut::circuit::parallel;
    }
    return std::nullopt;
}

double* element(lcr_dut& dut, const std::string& name)
{
    if (name == "R") {
        return &dut.r;
    }
    if (name == "L") {
        return &dut.l;
    }
    if (name == "C") {
        return &dut.c;
    }
    if (name == "Cp" && dut.kind != lcr_dut::circuit::parallel) {
        return &dut.cp;
    }
    if (name == "Rs" && dut.kind == lcr_dut::circuit::parallel) {
        return &dut.rs;
    }
    if (name == "Ls" && dut.kind == lcr_dut::circuit::parallel) {
        return &dut.ls;
    }
    return nullptr;
}

bool complete(const lcr_dut& dut)
{
    switch (dut.kind) {
    case lcr_dut::circuit::bvd: return dut.l > 0 && dut.c > 0 && dut.cp > 0;
    case lcr_dut::circuit::series: return dut.r > 0 || dut.l > 0 || dut.c > 0;
    case lcr_dut::circuit::parallel: return dut.r > 0 || dut.l > 0 || dut.c > 0;
    }
    return false;
}

} // namespace

complex lcr_dut::impedance(double hz) const
{
    const double omega = 2 * std::numbers::pi * hz;
    switch (kind) {
    case circuit::parallel: {
        const complex y((r > 0 ? 1.0 / r : 0.0), omega * c - (l > 0 ? 1.0 / (omega * l) : 0.0));
        return 1.0 / y + complex(rs, omega * ls);
    }
    case circuit::series:
    case circuit::bvd: {
        const complex zm = series_branch(r, l, c, omega);
        return zm / (1.0 + complex(0, omega * cp) * zm);
    }
    }
    return 0;
}

double lcr_dut::series_resonance() const
{
    return 1.0 / (2 * std::numbers::pi * std::sqrt(l * c));
}

double lcr_dut::parallel_resonance() const
{
    return series_resonance() * std::sqrt(1.0 + c / cp);
}

std::optional<lcr_dut> parse_lcr_dut(std::string_view description, std::string& error)
{
    const auto colon = description.find(':');
    const auto kind = circuit_named(description.substr(0, colon));
    if (!kind || colon == std::string_view::npos) {
        error = "expected bvd:, series: or parallel: followed by element values";
        return std::nullopt;
    }
    const auto parts = split_assignments(description.substr(colon + 1), ',');
    if (!parts) {
        error = "expected name=value elements separated by ','";
        return std::nullopt;
    }
    lcr_dut dut;
    dut.kind = *kind;
    for (const auto& [name, text] : *parts) {
        double* target = element(dut, name);
        const auto value = parse_quantity(text);
        if (!target || !value || *value < 0) {
            error = "bad element '" + name + "=" + text + "'";
            return std::nullopt;
        }
        *target = *value;
    }
    if (!complete(dut)) {
        error = "the circuit needs its elements (bvd: L, C and Cp greater than 0)";
        return std::nullopt;
    }
    return dut;
}

lcr_dut lcr_dut_part(const lcr_dut& nominal, double spread, int part)
{
    if (spread <= 0) {
        return nominal;
    }
    std::mt19937_64 generator(static_cast<uint64_t>(part) * 0x9E3779B97F4A7C15u ^ 0x9A27u);
    std::uniform_real_distribution<double> deviation(-spread, spread);
    lcr_dut out = nominal;
    for (double* v : {&out.r, &out.l, &out.c, &out.cp, &out.rs, &out.ls}) {
        *v *= 1.0 + deviation(generator);
    }
    return out;
}

lcr_dut default_lcr_dut()
{
    return lcr_dut{lcr_dut::circuit::bvd, 200.0, 0.1, 2.5e-9, 2.5e-9};
}

} // namespace sim
