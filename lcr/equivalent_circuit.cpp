#include "lcr/equivalent_circuit.h"

#include "lcr/circuit_models.h"
#include "lcr/lcr_touchstone.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <unsupported/Eigen/NonLinearOptimization>

namespace {

using complex = std::complex<double>;

constexpr double TWO_PI = 2 * std::numbers::pi;
// The fit works on natural logarithms of the elements; beyond these bounds
// (1e-100 to 1e100 of the unit) a value means nothing measurable.
constexpr double LOG_BOUND = 230;
// Best model: residuals below what any instrument resolves count as equal,
// and each element costs a tenth of the residual, so that a model with an
// element more wins only when it explains the sweep clearly better.
constexpr double RESIDUAL_FLOOR = 1e-4;
constexpr double PENALTY_PER_ELEMENT = 0.1;

// The relative complex error (Zmodel - Z) / |Z| at every sample, as real
// and imaginary parts, and its derivatives by the logarithms of the elements.
struct relative_error {
    using Scalar = double;
    enum { InputsAtCompileTime = Eigen::Dynamic, ValuesAtCompileTime = Eigen::Dynamic };
    using InputType = Eigen::VectorXd;
    using ValueType = Eigen::VectorXd;
    using JacobianType = Eigen::MatrixXd;

    const circuit_shape& shape;
    std::span<const impedance_sample> samples;

    int inputs() const { return shape.count; }
    int values() const { return static_cast<int>(2 * samples.size()); }
    int operator()(const Eigen::VectorXd& x, Eigen::VectorXd& f) const
    {
        evaluate(x, &f, nullptr);
        return 0;
    }
    int df(const Eigen::VectorXd& x, Eigen::MatrixXd& j) const
    {
        evaluate(x, nullptr, &j);
        return 0;
    }

    void evaluate(const Eigen::VectorXd& x, Eigen::VectorXd* f, Eigen::MatrixXd* j) const
    {
        double v[CIRCUIT_ELEMENTS_MAX] = {};
        for (int i = 0; i < shape.count; ++i)
            v[i] = std::exp(std::clamp(x(i), -LOG_BOUND, LOG_BOUND));
        complex d[CIRCUIT_ELEMENTS_MAX];
        for (size_t k = 0; k < samples.size(); ++k) {
            const impedance_sample& s = samples[k];
            const double inv = 1 / std::abs(s.z);
            const complex z = model_impedance(shape, v, TWO_PI * s.hz, j ? d : nullptr);
            const auto row = static_cast<Eigen::Index>(2 * k);
            if (f) {
                (*f)(row) = (z.real() - s.z.real()) * inv;
                (*f)(row + 1) = (z.imag() - s.z.imag()) * inv;
            }
            for (int i = 0; j && i < shape.count; ++i) {
                (*j)(row, i) = d[i].real() * inv;
                (*j)(row + 1, i) = d[i].imag() * inv;
            }
        }
    }
};

// Positive finite frequencies and finite non-zero impedances, in ascending
// frequency.
std::vector<impedance_sample> usable(std::span<const impedance_sample> samples)
{
    std::vector<impedance_sample> out;
    for (const impedance_sample& s : samples)
        if (std::isfinite(s.hz) && s.hz > 0 && std::isfinite(std::abs(s.z)) && std::abs(s.z) > 0)
            out.push_back(s);
    std::stable_sort(
        out.begin(), out.end(),
        [](const impedance_sample& a, const impedance_sample& b) { return a.hz < b.hz; });
    return out;
}

// Standard uncertainties of the logarithms: the square roots of the
// diagonal of s^2 (J'J)^-1, s^2 the sum of squares over the degrees of
// freedom. An element the sweep does not determine (its column of J is
// nothing beside the others', as when it ran to a bound) gets an infinite
// uncertainty and the others are taken without it; the normal matrix is
// scaled to a unit diagonal before inverting.
Eigen::VectorXd log_uncertainties(const Eigen::MatrixXd& j, double sum_of_squares, int freedom)
{
    const Eigen::VectorXd scale = j.colwise().norm().transpose();
    std::vector<Eigen::Index> kept;
    for (Eigen::Index i = 0; i < j.cols(); ++i)
        if (std::isfinite(scale(i)) && scale(i) > 1e-12 * scale.maxCoeff())
            kept.push_back(i);
    Eigen::VectorXd out =
        Eigen::VectorXd::Constant(j.cols(), std::numeric_limits<double>::infinity());
    const auto n = static_cast<Eigen::Index>(kept.size());
    Eigen::MatrixXd unit(n, n);
    for (Eigen::Index a = 0; a < n; ++a)
        for (Eigen::Index b = 0; b < n; ++b)
            unit(a, b) = j.col(kept[a]).dot(j.col(kept[b])) / (scale(kept[a]) * scale(kept[b]));
    const Eigen::FullPivLU<Eigen::MatrixXd> lu(unit);
    if (n == 0 || !lu.isInvertible())
        return out;
    const Eigen::VectorXd diagonal = lu.inverse().diagonal();
    const double variance = sum_of_squares / freedom;
    for (Eigen::Index a = 0; a < n; ++a)
        if (diagonal(a) >= 0)
            out(kept[a]) = std::sqrt(variance * diagonal(a)) / scale(kept[a]);
    return out;
}

void add_resonances(circuit_fit& fit)
{
    const fitted_element* r = fitted(fit, "R");
    const fitted_element* l = fitted(fit, "L");
    const fitted_element* c = fitted(fit, "C");
    if (!r || !l || !c)
        return;
    fit.fr = 1 / (TWO_PI * std::sqrt(l->value * c->value));
    const double characteristic = std::sqrt(l->value / c->value);
    fit.q = fit.model == circuit_model::rlc_parallel ? r->value / characteristic
                                                     : characteristic / r->value;
    if (const fitted_element* cp = fitted(fit, "Cp"))
        fit.fa = *fit.fr * std::sqrt(1 + c->value / cp->value);
}

circuit_fit refused(circuit_model model, std::string reason)
{
    circuit_fit fit;
    fit.model = model;
    fit.refusal = std::move(reason);
    return fit;
}

circuit_fit fit_usable(std::span<const impedance_sample> samples, circuit_model model)
{
    const circuit_shape& shape = circuit_shape_of(model);
    const int count = shape.count;
    if (2 * static_cast<int>(samples.size()) <= count)
        return refused(model, "The sweep has too few usable points for this model.");
    std::array<double, CIRCUIT_ELEMENTS_MAX> seed{};
    std::string reason;
    if (!circuit_seed(shape, samples, seed, reason))
        return refused(model, reason);
    Eigen::VectorXd x(count);
    for (int i = 0; i < count; ++i)
        x(i) = std::log(seed[static_cast<size_t>(i)]);
    relative_error error{shape, samples};
    Eigen::LevenbergMarquardt<relative_error> solver(error);
    if (solver.minimize(x) == Eigen::LevenbergMarquardtSpace::ImproperInputParameters ||
        !x.allFinite())
        return refused(model, "The fit did not converge to finite element values.");
    // An element beyond the bounds is one the sweep cannot see (a series
    // capacitor too large to matter): it stays at the bound.
    x = x.cwiseMax(-LOG_BOUND).cwiseMin(LOG_BOUND);
    Eigen::VectorXd f(error.values());
    Eigen::MatrixXd j(error.values(), count);
    error.evaluate(x, &f, &j);
    const double sum_of_squares = f.squaredNorm();
    const Eigen::VectorXd u = log_uncertainties(j, sum_of_squares, error.values() - count);
    circuit_fit fit;
    fit.model = model;
    fit.residual = std::sqrt(sum_of_squares / static_cast<double>(samples.size()));
    for (int i = 0; i < count; ++i) {
        const element_kind kind = shape.elements[static_cast<size_t>(i)];
        const double value = std::exp(x(i));
        fit.elements.push_back({element_name(kind), value, value * u(i), element_unit(kind)});
    }
    add_resonances(fit);
    return fit;
}

} // namespace

std::vector<impedance_sample> lcr_impedance(const LcrResults& results)
{
    std::vector<impedance_sample> out;
    const int count = std::clamp(results.count, 0, MAX_SWEEP_POINTS);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int i = 0; i < count; ++i) {
        const LcrPoint& point = results.points[static_cast<size_t>(i)];
        complex z;
        if (!lcr_point_impedance(results.layout, point, z))
            z = complex(nan, nan);
        out.push_back({point.v[0], z});
    }
    return out;
}

std::vector<impedance_sample> impedance_between(std::span<const impedance_sample> samples,
                                                double low_hz, double high_hz)
{
    std::vector<impedance_sample> out;
    for (const impedance_sample& s : samples)
        if (s.hz >= low_hz && s.hz <= high_hz)
            out.push_back(s);
    return out;
}

circuit_fit fit_circuit(std::span<const impedance_sample> samples, circuit_model model)
{
    return fit_usable(usable(samples), model);
}

circuit_fit fit_best_circuit(std::span<const impedance_sample> samples)
{
    const std::vector<impedance_sample> points = usable(samples);
    circuit_fit best;
    double best_score = std::numeric_limits<double>::infinity();
    for (const circuit_shape& shape : circuit_shapes()) {
        circuit_fit fit = fit_usable(points, shape.model);
        if (!fit.refusal.empty()) {
            if (best.elements.empty() && best.refusal.empty())
                best.refusal = fit.refusal;
            continue;
        }
        const double score =
            std::max(fit.residual, RESIDUAL_FLOOR) * (1 + PENALTY_PER_ELEMENT * shape.count);
        if (score < best_score) {
            best_score = score;
            best = std::move(fit);
        }
    }
    return best;
}

complex circuit_impedance(const circuit_fit& fit, double hz)
{
    const circuit_shape& shape = circuit_shape_of(fit.model);
    if (!fit.refusal.empty() || fit.elements.size() != static_cast<size_t>(shape.count))
        return {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN()};
    double v[CIRCUIT_ELEMENTS_MAX] = {};
    for (int i = 0; i < shape.count; ++i)
        v[i] = fit.elements[static_cast<size_t>(i)].value;
    return model_impedance(shape, v, TWO_PI * hz);
}

const char* circuit_model_name(circuit_model model)
{
    return circuit_shape_of(model).name;
}

std::optional<circuit_model> circuit_model_from_name(std::string_view name)
{
    for (const circuit_shape& shape : circuit_shapes())
        if (name == shape.name || name == shape.cli_name)
            return shape.model;
    return std::nullopt;
}

const fitted_element* fitted(const circuit_fit& fit, std::string_view element)
{
    for (const fitted_element& e : fit.elements)
        if (e.name == element)
            return &e;
    return nullptr;
}
