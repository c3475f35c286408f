#pragma once
// LCR results as text files and workbooks: the last sweep, and every sweep
// of a completed repeating test read back from its sweepN.dat files.
//
// Text files start with the configuration block, the last sweep's verdict
// when the header holds one, and "data start sweep 1",
// then the layout's column header line and one line per point: the step,
// then every value of the layout in "%.5E" form with three exponent digits.
// Standard files separate fields with "," and use "."; European files use
// ";" and a decimal comma (full precision), in the header line too, while
// the configuration block keeps its commas. Files are written with CR LF
// line ends through a temporary name, so a failed write leaves no partial
// file.

#include "base/export_texts.h"
#include "base/text_file.h"
#include "config/config_text_block.h"
#include "lcr/lcr_point.h"
#include "lcr/lcr_touchstone.h"

#include <span>
#include <string>

// The column header line of a layout (without its line end), its commas
// as ";" in European files. Unknown layouts read as layout 2.
std::string lcr_export_columns(int layout, bool european);

// One data line: "<step><sep>" then the values, "%.5E" each, separated.
std::string lcr_export_line(long step, std::span<const double> values, bool european);

// The layout whose sweeps the data folder's sweepN.dat files hold, from the
// mode recorded beside them ("LCR <layout>"); 0 when the set was not
// written by an LCR sweep.
int lcr_series_layout(const std::string& data_folder);

// The last sweep to one file. "No Data to Export" when it holds no point.
// Returns 0, EXPORT_DECLINED (a replacement refused), or -1 after a message.
int lcr_export_single_text(const std::string& path, const LcrResults& results,
                           const s_export_header& header, bool european);

// Every sweep of a completed LCR series (done == total > 0, files written
// by an LCR sweep, else "No Data to Export") to files named as the FRA
// series files are. A sweep file that cannot be read, or whose rows do not
// hold the layout's values, is skipped and named in one message at the end.
// A file that cannot be written stops the export with "Unable to create CSV
// file" and its name; files already written stay (and go into written, when
// given). Nothing is written when no sweep file can be read, or when the
// user refuses to replace one of the files. Returns the number of files
// written, EXPORT_DECLINED or -1.
int lcr_export_series_text(const std::string& chosen, const std::string& data_folder, int done,
                           int total, const s_export_header& header, bool european,
                           std::vector<std::string>* written = nullptr);

// The last sweep on one sheet, every value to at least six significant
// digits: a column in "%.5f" when that form keeps them for all its values,
// else in "%.5E" (inductances, capacitances and admittances always).
// "There is nothing to export yet" when it holds no point. Returns 0 or -1.
int lcr_single_workbook(const LcrResults& results, bool european, bool remove_zeros);

// Every sweep of a completed LCR series side by side on the sheet "LCR
// Sweep data" (European numbers as "%.5E" with a decimal comma). A file
// that cannot be read shows "Error" in its block.
// Returns 0 or -1.
int lcr_series_workbook(const std::string& data_folder, int done, int total, bool european);

// Whether value position p (1 = first after the frequency) of a layout is
// an inductance, a capacitance or an admittance: such values span many
// decades below one and are written in scientific form in workbooks.
bool lcr_export_scientific(int layout, int position);

// What OK of the Export Tests dialog runs for the LCR window (modes 2 and
// -2): with an LCR repeat count set up the series, else the last sweep;
// "Excel" builds the workbook, "CSV" asks for the file and writes text.
// "Touchstone" writes the last sweep as S11 against 50 ohms, after
// refusing a sweep the format cannot hold and before asking for the file.
struct s_lcr_export_request {
    bool excel = true;
    bool touchstone = false;
    bool european = false;
    bool remove_zeros = false;
    const LcrResults* results = nullptr;
    int repeat_count = 0; // non-zero: a repeating test is set up
    int sweeps_done = 0;
    int sweeps_total = 0;
    std::string data_folder;
    s_export_header header;
    s_touchstone_source touchstone_source;
};

// 0 when something was written, -1 otherwise (the user has been told why).
int lcr_export_run(void* owner, const s_lcr_export_request& request);
