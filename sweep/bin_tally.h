#pragma once
// The parts of a run counted per bin, as the bench shows them after each
// verdict: one row per bin of the limit set (or PASS for a set without
// bins) and a last row for the parts that failed. A new limit set or Reset
// starts the run again.

#include "db/db_verdict.h"
#include "sweep/limit_set.h"

#include <string>
#include <vector>

struct s_bin_row {
    std::string name; // "1 A", "2 B", "PASS", "FAIL"
    int parts = 0;
};

struct s_bin_tally {
    std::vector<s_bin_row> rows; // the last row counts the failed parts
};

// Every row at zero for the set's bins.
s_bin_tally bin_tally_for(const limit_set& set);

// Counts one part: a passing verdict in its bin's row (the PASS row without
// bins), any other in the FAIL row.
void bin_tally_add(s_bin_tally& tally, const s_test_verdict& verdict);

// Every row back to zero.
void bin_tally_reset(s_bin_tally& tally);

// The parts counted in the run.
int bin_tally_total(const s_bin_tally& tally);
