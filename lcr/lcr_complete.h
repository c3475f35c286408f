#pragma once
// What the LCR window does with a completed sweep: take the points into its
// results (with their layout), build the list rows and write the sweep file
// sweepN.dat exactly as the FRA window writes its own.

#include "lcr/lcr_point.h"

#include <ctime>
#include <string>
#include <vector>

struct s_lcr_outcome {
    std::vector<std::string> rows; // the list: tab-separated cells, as the file holds them
    bool file_written = false;
    std::string file_path; // the sweep file written, or that could not be
};

// What the user is told when the sweep file could not be written.
std::string lcr_file_failure_text(const s_lcr_outcome& outcome);

// Row of point i: the step, the frequency with four decimals and every
// further value of the layout in "%.5E" form.
std::string lcr_table_row(int step, const LcrPoint& point, int layout);

// All rows of a results block.
std::vector<std::string> lcr_table_rows(const LcrResults& results);

// The list's column widths for a client width (scroll bar already taken
// off): the step column W / (2 x columns), the others sharing the rest
// equally, so that the list needs no horizontal scroll bar.
std::vector<int> lcr_column_widths(int columns, int width);

s_lcr_outcome lcr_complete_sweep(const LcrSweepContext& ctx, LcrResults& results,
                                 const std::string& data_folder, int sweep_number,
                                 std::time_t when);
