#pragma once
// Tests stored in the database, side by side in one workbook: test j takes
// columns 5j+1 to 5j+4 (a blank column between blocks): its name merged
// over the first row, the column headings, then step, frequency, gain and
// phase of every point.

#include <vector>

// 1 to 9 test numbers; a test that is not stored gets a block saying so,
// and when none is stored nothing is written. Returns 0 when the workbook
// was written, or -1 after a message.
int db_tests_workbook(const std::vector<int>& test_keys, bool european, bool remove_zeros);
