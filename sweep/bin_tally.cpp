#include "sweep/bin_tally.h"

#include <numeric>

s_bin_tally bin_tally_for(const limit_set& set)
{
    s_bin_tally t;
    for (size_t i = 0; i < set.bins.size(); ++i)
        t.rows.push_back({std::to_string(i + 1) + " " + set.bins[i].name, 0});
    if (set.bins.empty())
        t.rows.push_back({"PASS", 0});
    t.rows.push_back({"FAIL", 0});
    return t;
}

void bin_tally_add(s_bin_tally& tally, const s_test_verdict& verdict)
{
    if (tally.rows.size() < 2)
        return;
    const size_t bins = tally.rows.size() - 1;
    size_t row = bins; // FAIL
    if (verdict.pass && verdict.bin >= 1 && static_cast<size_t>(verdict.bin) <= bins)
        row = static_cast<size_t>(verdict.bin) - 1;
    else if (verdict.pass && verdict.bin == 0 && bins == 1 && tally.rows[0].name == "PASS")
        row = 0;
    ++tally.rows[row].parts;
}

void bin_tally_reset(s_bin_tally& tally)
{
    for (s_bin_row& r : tally.rows)
        r.parts = 0;
}

int bin_tally_total(const s_bin_tally& tally)
{
    return std::accumulate(tally.rows.begin(), tally.rows.end(), 0,
                           [](int n, const s_bin_row& r) { return n + r.parts; });
}
