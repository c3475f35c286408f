#pragma once
// The database form's selection exported as the "Export Tests" dialog
// chose: 1 to 9 stored tests into one workbook, or as text files named
// after the file chosen in the save chooser.

#include "fra/fra_export_dispatch.h"

// 0 when something was written, -1 otherwise (the user has been told why).
int review_export_tests(void* owner, const s_export_request& request);
