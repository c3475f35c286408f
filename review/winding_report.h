#pragma once
// Winding comparisons of stored tests as the user sees them: the tests'
// gain curves read from the database, one comparison per test against the
// reference, the command line's blocks and the comparison table as a CSV
// file (Standard or European numbers).
#include "review/winding_compare.h"

#include <string>
#include <vector>

struct s_winding_row {
    std::string name; // the test's name
    s_winding_result result;
};

struct s_test;
// The gain curve (frequency, gain in dB) of a stored test.
std::vector<s_gain_sample> winding_curve(const s_test& test);

// Every test against the reference, in the order given.
std::vector<s_winding_row>
winding_compare_all(std::span<const s_gain_sample> reference, const std::vector<std::string>& names,
                    const std::vector<std::vector<s_gain_sample>>& tests);

// The command line's block of one test: "test\tNAME", "R_LF\tX", "R_MF\tX",
// "R_HF\tX", "judgement\tTEXT", "correlation\t%.4f",
// "mean abs difference dB\t%.3f", each ending in "\n".
std::string winding_block_text(const s_winding_row& row);

// The comparison table's column names and the cells of one test's row:
// name, R_LF, R_MF, R_HF ("%.2f" or "not covered"), judgement, correlation
// ("%.4f") and mean absolute difference ("%.3f" dB); European numbers with
// a decimal comma.
std::vector<std::string> winding_table_columns();
std::vector<std::string> winding_table_cells(const s_winding_row& row, bool european);

// The comparison table: the reference's line, the column names and one line
// per test. Standard files separate fields with "," and write "." decimals;
// European ones ";" and ",". A field holding the separator or a quote is
// quoted. Line ends "\n".
std::string winding_csv_text(const std::string& reference, const std::vector<s_winding_row>& rows,
                             bool european);
// The table into path (CR LF, through a temporary file), asking before
// replacing a file. 0, EXPORT_DECLINED, or -1 after "Unable to create CSV
// file" with the path.
int winding_export_csv(const std::string& path, const std::string& reference,
                       const std::vector<s_winding_row>& rows, bool european);
