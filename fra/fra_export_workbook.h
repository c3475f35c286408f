#pragma once
// FRA results as spreadsheet workbooks, built through the automation layer:
// the last sweep on one sheet, and every sweep of a completed repeating test
// side by side on the sheet "FRA Sweep data".

#include "fra/fra_result.h"

#include <string>

// "There is nothing to export yet" when the sweep holds no point. Returns 0,
// or -1 after a message.
int fra_single_workbook(const FraResults& results, bool european, bool remove_zeros);

// Sweeps done == total > 0 from data_folder/sweepN.dat, else "No Data to
// Export". A file that cannot be read shows "Error" in its block; one
// message names those sweeps at the end. Returns 0 or -1.
int fra_series_workbook(const std::string& data_folder, int done, int total, bool european);
