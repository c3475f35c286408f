#pragma once
// What OK of the "Export Tests" dialog runs, by the window that opened it
// and the choices made: the FRA window exports its last sweep or, with a
// repeating test set up, every sweep of the series; the database form's
// selection (1 to 9 tests) is the stored-test review's export of the same
// request. Text exports ask for the file through the save chooser first.

#include "fra/fra_export.h"

#include <string>
#include <vector>

enum export_mode : int {
    EXPORT_MODE_FRA = 0,
    EXPORT_MODE_FRA_SERIES = -1,
    EXPORT_MODE_DATABASE = 1,
};

struct s_export_choice {
    bool excel = true;
    bool european = false;
    bool remove_zeros = false;
};

struct s_export_request {
    int mode = EXPORT_MODE_FRA;
    s_export_choice choice;
    // FRA window
    const FraResults* results = nullptr;
    int repeat_count = 0; // non-zero: a repeating test is set up
    int sweeps_done = 0;
    int sweeps_total = 0;
    std::string data_folder;
    // database form
    std::vector<int> test_keys;
    s_export_header header;
};

// Runs the FRA window's export; 0 when something was written, -1 otherwise (the user
// has been told why).
int fra_export_run(void* owner, const s_export_request& request);
