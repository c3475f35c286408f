#pragma once
// What the FRA window does with a completed sweep: take the points into its
// results, build the data table's rows, write the sweep file and store the
// sweep as a database test when asked; judged against a limit set, the
// verdict is stored with the test, both or neither.

#include "db/db_verdict.h"
#include "fra/sweep_context.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

struct s_test;
struct limit_set;

struct s_sweep_store {
    std::string data_folder;
    int sweep_number = 1;              // sweeps done + 1: the file is sweep<number>.dat
    s_test* test = nullptr;            // the pending database test, or nullptr to keep none
    std::time_t when = 0;              // time of the file's date line
    const limit_set* limits = nullptr; // the set the sweep is judged against, or none
};

struct s_sweep_outcome {
    std::vector<std::string> rows; // the data table: tab-separated columns
    bool file_written = false;
    std::string file;                      // the sweep file, when written
    bool stored = false;                   // the test, with its verdict when judged
    std::optional<s_test_verdict> verdict; // when judged against limits
};

// The table row of point i: step, frequency and positions 1..5.
std::string fra_table_row(int step, const s_fra_result& point);

s_sweep_outcome fra_complete_sweep(const FraSweepContext& ctx, FraResults& results,
                                   const s_sweep_store& store);
