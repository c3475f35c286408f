#include "fra/view_state.h"

#include <algorithm>
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
