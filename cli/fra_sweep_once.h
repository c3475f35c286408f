#pragma once
// The last sweep for the commands that need one: measured now on the
// identified instrument, as the FRA window's SWEEP button runs it, or read
// back from a sweep file.

#include <string>

struct FraResults;

// Runs one single sweep; its sweep file goes into data_folder as the
// window's does. 0, or 1 when the sweep did not complete.
int cli_fra_sweep_once(const std::string& data_folder, FraResults& results);

// The rows of a sweep file as the points of a last sweep, with a line on
// stderr when the file cannot be read, holds no sweep points or more than
// the first 3000 were read.
enum class sweep_file_use { ok, unreadable, no_points };
sweep_file_use cli_results_from_sweep_file(const std::string& path, FraResults& results);
