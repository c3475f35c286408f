#pragma once
// The last sweep for the commands that need one: measured now on the
// identified instrument, as the FRA window's SWEEP button runs it, or read
// back from a sweep file.

#include <string>

struct FraResults;

// Runs one single sweep; its sweep file goes into data_folder as the
// window's does. 0, or 1 when the sweep did not complete.
int cli_fra_sweep_once(const std::string& data_folder, FraResults& results);

// The rows of a sweep file as the points of a last sweep. False (with a line
// on stderr) when the file cannot be read.
bool cli_results_from_sweep_file(const std::string& path, FraResults& results);
