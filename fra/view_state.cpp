#include "fra/view_state.h"

#include <algorithm>
#include <cmath>
#include <vector>

void fra_view_gain_range(s_fra_view_state& view, const FraResults& results)
{
    const int n = std::clamp(results.count, 0, MAX_SWEEP_POINTS);
    std::vector<s_gain_sample> samples(static_cast<size_t>(n));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = {results.points[i].frequency(), results.points[i].gain()};
    view.gain = bode_gain_range(samples, view.freq, view.centre_zero);
}

void fra_view_new_sweep(s_fra_view_state& view, const FraResults& results)
{
    const int n = std::clamp(results.count, 0, MAX_SWEEP_POINTS);
    std::vector<double> f(static_cast<size_t>(n));
    for (size_t i = 0; i < f.size(); ++i)
        f[i] = results.points[i].frequency();
    view.freq = bode_freq_range(f);
    fra_view_gain_range(view, results);
    view.cursor[0] = 0;
    view.cursor[1] = std::max(0, n - 1);
}

bool fra_view_move_cursor(s_fra_view_state& view, int which, int index, int count)
{
    const int c = std::clamp(index, 0, std::max(0, count - 1));
    if (view.cursor[which] == c)
        return false;
    view.cursor[which] = c;
    return true;
}

bool fra_view_go_to_crossover(s_fra_view_state& view, const FraResults& results, margin_kind kind)
{
    const int n = std::clamp(results.count, 0, MAX_SWEEP_POINTS);
    const LList<s_gain_phase_point> found = margin_search(results.points.data(), n, kind);
    const s_gain_phase_point* main = margin_main_crossing(found);
    if (!main)
        return false;
    int nearest = 0;
    for (int i = 1; i < n; ++i)
        if (std::fabs(results.points[i].frequency() - main->frequency) <
            std::fabs(results.points[nearest].frequency() - main->frequency))
            nearest = i;
    view.cursor[kind == margin_kind::zero_db ? 0 : 1] = nearest;
    return true;
}
