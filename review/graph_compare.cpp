#include "review/graph_compare.h"

#include "graph/round_scale.h"

#include <cmath>

namespace {

std::vector<s_gain_sample> gain_curve(const s_margin_slot& slot)
{
    std::vector<s_gain_sample> out;
    out.reserve(slot.points.size());
    for (const s_margin_sample& p : slot.points)
        out.push_back({p.frequency, p.gain});
    return out;
}

} // namespace

bool graph_can_compare(const graph_model& m)
{
    return m.count >= 2;
}

s_graph_comparison graph_compare_with_reference(const graph_model& m)
{
    s_graph_comparison c;
    if (!graph_can_compare(m))
        return c;
    c.reference = m.plots[0].test_name;
    const std::vector<s_gain_sample> reference = gain_curve(m.plots[0]);
    for (int slot = 1; slot < m.count; ++slot) {
        c.chart_slots.push_back(slot);
        c.rows.push_back(
            {m.plots[slot].test_name, winding_compare(reference, gain_curve(m.plots[slot]))});
    }
    return c;
}

s_gain_range graph_difference_range(const s_graph_comparison& c, const s_freq_range& freq)
{
    double largest = 0;
    for (const s_winding_row& row : c.rows)
        for (const s_common_point& p : row.result.common)
            if (p.frequency >= freq.fmin && p.frequency <= freq.fmax)
                largest = std::max(largest, std::fabs(p.test - p.reference));
    // Symmetric about 0 dB on round divisions: a range without differences
    // still spans 1 dB either side.
    const s_round_scale r = round_scale(-std::max(largest, 1.0), std::max(largest, 1.0));
    return {r.min, r.max};
}
