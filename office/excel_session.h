#pragma once
// What every spreadsheet export (FRA, LCR, piezo, stored tests) does around
// its sheets: start the spreadsheet with a new workbook (a start failure is
// shown with the caption of the export), work on ranges that are released
// right after use, and at the end make the spreadsheet visible and let go of
// it, application last, which writes the workbook. A session given up
// before finish() lets go without writing anything.

#include "office/ole.h"

#include <functional>
#include <string>

struct s_excel_session {
    ole_object* app = nullptr;
    ole_object* books = nullptr;
    ole_object* book = nullptr;
    ole_object* sheet = nullptr; // the active sheet after start()

    // 0, or the start failure after its message.
    int start(const std::string& caption);
    // A one-sweep workbook: "There is nothing to export yet" without a
    // point, else start() with the export's caption.
    int start_for_points(int points);
    // Deletes the active sheet `count` times, then takes the active one.
    void delete_active_sheets(int count);
    // Shows and lets go of the workbook: 0 when it was written, else -1
    // (the failure has been shown).
    int finish();
    ~s_excel_session();
};

// Runs f on a range of sheet and releases it.
template <typename F> void on_range(ole_object* sheet, int c1, int r1, int c2, int r2, F f)
{
    ole_object* range = sheet_range(sheet, c1, r1, c2, r2);
    f(range);
    ole_release(range);
}

// A series workbook: "No Data to Export" unless the series can be exported,
// else one sheet called `name` with block(sheet, k) for sweeps 1..total; the
// sweep files a block could not read are named in one message, and when no
// block could read its file nothing is written. 0 when written, else -1.
int series_workbook(bool exportable, const char* name, int total,
                    const std::function<bool(ole_object* sheet, int k)>& block);

// Rows 1 and 2 of a one-sweep sheet, bold 12-point on grey: the title
// merged and centred over the columns, then the column headings.
void single_sweep_headings(ole_object* sheet, int columns);

// The four outer edges of a range in one weight.
void range_outline(ole_object* range, int32_t weight);
