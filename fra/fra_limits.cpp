#include "fra/fra_limits.h"

#include "fra/margins.h"
#include "sweep/limit_verdict.h"

#include <algorithm>

namespace {

// Columns are read in place across the points.
static_assert(sizeof(s_fra_result) == FRA_VALUES_MAX * sizeof(double));

struct fra_column_name {
    int position;
    const char* name;
    const char* unit;
};

constexpr fra_column_name COLUMNS[] = {{FRA_MAGNITUDE1, "Magnitude 1", "V"},
                                       {FRA_MAGNITUDE2, "Magnitude 2", "V"},
                                       {FRA_GAIN, "Gain", "dB"},
                                       {FRA_PHASE, "Phase", "\xB0"},
                                       {FRA_DELAY, "Delay", "s"}};

limit_column column_of(const FraResults& results, int position)
{
    const double* first = results.points[0].v;
    return {first, first + position, FRA_VALUES_MAX,
            std::clamp(results.count, 0, MAX_SWEEP_POINTS)};
}

std::optional<std::string> quantity(const FraResults& results, const limit_check& check)
{
    for (const fra_column_name& c : COLUMNS)
        if (limit_names_column(check.name, c.name, c.unit))
            return limit_quantity_failure(check, column_of(results, c.position));
    return std::string("the sweep has no column of that name");
}

std::optional<std::string> margin(const FraResults& results, const limit_check& check)
{
    const bool gain = check.name == "gain";
    const int count = std::clamp(results.count, 0, MAX_SWEEP_POINTS);
    LList<s_gain_phase_point> found = margin_search(
        results.points.data(), count, gain ? margin_kind::zero_phase : margin_kind::zero_db);
    const s_gain_phase_point* main = margin_main_crossing(found);
    if (!main)
        return std::string(gain ? "the phase never crosses 0\xB0" : "the gain never crosses 0 dB");
    const double value = gain ? (main->gain == 0 ? 0.0 : -main->gain) : main->phase;
    if (value >= check.at_least)
        return std::nullopt;
    // The margin in the form the window's margin boxes and the report show.
    return margin_text(*main, gain) + ", below the least allowed " + limit_number(check.at_least) +
           (gain ? " dB" : " deg");
}

std::optional<std::string> judge(const FraResults& results, const limit_check& check)
{
    switch (check.kind) {
    case limit_kind::quantity: return quantity(results, check);
    case limit_kind::margin: return margin(results, check);
    case limit_kind::mask:
        return check.name == "gain"
                   ? limit_mask_failure(check, column_of(results, FRA_GAIN), "dB")
                   : limit_mask_failure(check, column_of(results, FRA_PHASE), "\xB0");
    case limit_kind::fitted:
    case limit_kind::resonance: break;
    }
    return std::string("cannot be judged on an FRA sweep, only on an LCR sweep");
}

} // namespace

s_test_verdict fra_judge(const FraResults& results, const limit_set& set)
{
    return limit_verdict(set, [&](const limit_check& check) { return judge(results, check); });
}
