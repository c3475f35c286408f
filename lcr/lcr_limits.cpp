#include "lcr/lcr_limits.h"

#include "base/number_format.h"
#include "lcr/equivalent_circuit.h"
#include "lcr/lcr_layouts.h"
#include "sweep/limit_verdict.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr int BEST_MODEL = -1;
// Columns are read in place across the points.
static_assert(sizeof(LcrPoint) == LCR_VALUES_MAX * sizeof(double));

std::string with_unit(double value, const std::string& unit)
{
    return format_engineering(value) + unit;
}

// The sample of extreme |Z| (sign -1 lowest, +1 highest) at frequencies
// above from; null when there is none.
const impedance_sample* extreme(const std::vector<impedance_sample>& samples, double from, int sign)
{
    const impedance_sample* best = nullptr;
    for (const impedance_sample& s : samples) {
        const double z = std::abs(s.z);
        if (s.hz > from && std::isfinite(z) && (!best || sign * (z - std::abs(best->z)) > 0))
            best = &s;
    }
    return best;
}

// Whether a sample lies strictly inside the swept range.
bool inside(const std::vector<impedance_sample>& samples, const impedance_sample* s)
{
    if (!s)
        return false;
    bool below = false, above = false;
    for (const impedance_sample& other : samples) {
        below = below || other.hz < s->hz;
        above = above || other.hz > s->hz;
    }
    return below && above;
}

struct resonances {
    std::optional<double> fr, fa;
};

resonances measured(const std::vector<impedance_sample>& samples)
{
    resonances out;
    const impedance_sample* fr = extreme(samples, -INFINITY, -1);
    if (!inside(samples, fr))
        fr = nullptr;
    if (fr)
        out.fr = fr->hz;
    const impedance_sample* fa = extreme(samples, fr ? fr->hz : -INFINITY, 1);
    if (inside(samples, fa))
        out.fa = fa->hz;
    return out;
}

// Judges the checks of one verdict; the impedance and the fits are worked
// out once, when a check first needs them.
class lcr_judging {
public:
    explicit lcr_judging(const LcrResults& results) : results_(results) {}

    std::optional<std::string> operator()(const limit_check& check)
    {
        switch (check.kind) {
        case limit_kind::quantity: return quantity(check);
        case limit_kind::fitted: return element(check);
        case limit_kind::resonance: return resonance(check);
        case limit_kind::margin:
        case limit_kind::mask: break;
        }
        return std::string("cannot be judged on an LCR sweep, only on an FRA sweep");
    }

private:
    std::optional<std::string> quantity(const limit_check& check) const
    {
        const s_lcr_layout& layout = lcr_layout(results_.layout);
        for (size_t q = 0; q < layout.quantities.size(); ++q) {
            const s_lcr_quantity& quantity = layout.quantities[q];
            if (!limit_names_column(check.name, quantity.name, quantity.unit))
                continue;
            const limit_column column{results_.points[0].v, results_.points[0].v + q + 1,
                                      LCR_VALUES_MAX,
                                      std::clamp(results_.count, 0, MAX_SWEEP_POINTS)};
            return limit_quantity_failure(check, column);
        }
        return std::string("the sweep has no column of that name");
    }

    const circuit_fit& fit(int key)
    {
        auto it = fits_.find(key);
        if (it != fits_.end())
            return it->second;
        const circuit_fit made = key == BEST_MODEL
                                     ? fit_best_circuit(samples())
                                     : fit_circuit(samples(), static_cast<circuit_model>(key));
        return fits_.emplace(key, made).first->second;
    }

    std::optional<std::string> element(const limit_check& check)
    {
        int key = BEST_MODEL;
        if (!check.model.empty()) {
            const std::optional<circuit_model> model = circuit_model_from_name(check.model);
            if (!model)
                return "no model is called " + check.model;
            key = static_cast<int>(*model);
        }
        const circuit_fit& made = fit(key);
        if (!made.refusal.empty())
            return "no fit, " + made.refusal;
        const fitted_element* e = fitted(made, check.name);
        if (!e)
            return std::string("the model ") + circuit_model_name(made.model) + " has no " +
                   check.name;
        const double spread = check.nominal * check.tolerance_pct / 100;
        if (std::fabs(e->value - check.nominal) <= spread)
            return std::nullopt;
        return with_unit(e->value, e->unit) + ", outside " + with_unit(check.nominal, e->unit) +
               " \xB1 " + limit_number(check.tolerance_pct) + " %";
    }

    const std::vector<impedance_sample>& samples()
    {
        if (!samples_)
            samples_ = lcr_impedance(results_);
        return *samples_;
    }

    std::optional<std::string> resonance(const limit_check& check)
    {
        if (!resonances_)
            resonances_ = measured(samples());
        const std::optional<double> hz = check.name == "fr" ? resonances_->fr : resonances_->fa;
        if (!hz)
            return "the sweep holds no " + check.name;
        return limit_range_failure(*hz, check.low, check.high, "Hz");
    }

    const LcrResults& results_;
    std::optional<std::vector<impedance_sample>> samples_;
    std::optional<resonances> resonances_;
    std::map<int, circuit_fit> fits_;
};

} // namespace

std::optional<double> lcr_measured_resonance(const LcrResults& results, const std::string& which)
{
    const resonances found = measured(lcr_impedance(results));
    return which == "fr" ? found.fr : found.fa;
}

s_test_verdict lcr_judge(const LcrResults& results, const limit_set& set)
{
    lcr_judging judging(results);
    return limit_verdict(set, [&](const limit_check& check) { return judging(check); });
}
