#pragma once
// FRA results as text files: the last sweep, every sweep of a completed
// repeating test (read back from its sweepN.dat files) and tests stored in
// the database. Each file starts with the configuration block, the verdict
// of a sweep judged against limits (the last sweep's from the header, a
// stored test's from the database), then "data start sweep 1", the column header and the data
// lines. Standard numbers are
// "%.5E" with three exponent digits, fields right-aligned to 13 characters
// and separated by commas. European files use the short form with a decimal
// comma ("1,23E+03    "), so their fields and column names are separated by
// ";" instead; the configuration block keeps its commas in both.
//
// Files are written with CR LF line ends into a temporary file beside the
// target and renamed over it once complete, so a failed write never leaves a
// partial file. Failures are reported through the user-interface seam.

#include "base/export_texts.h"
#include "base/text_file.h"
#include "config/config_text_block.h"
#include "fra/fra_result.h"

#include <span>
#include <string>
#include <vector>

// One field ("%.5E" or the European short form).
std::string fra_export_number(double value, bool european);
// Fields right-aligned to 13 characters, separated by "," (European ";").
std::string fra_export_line(std::span<const double> values, bool european);
// The column header line of the six-column (last sweep, repeating test) or
// three-column (database tests) files, without its line end.
std::string fra_export_columns(bool six_columns, bool european);
// Configuration block, "data start sweep 1" and the column header, line
// feeds as "\n".
std::string fra_export_head(const s_export_header& header, bool six_columns, bool european);

// Every writer asks before replacing a file and writes nothing when the
// answer is no (EXPORT_DECLINED); a file that cannot be written is named in
// "Unable to create CSV file". written, when given, receives the path of
// every file written, also when a later one fails.

// The last sweep to one file. "No Data to Export" when it holds no point.
// Returns 0, EXPORT_DECLINED, or -1 after a message.
int fra_export_single_text(const std::string& path, const FraResults& results,
                           const s_export_header& header, bool european);

// Every sweep of a completed series (sweeps done == total > 0) from
// data_folder/sweepN.dat. Files that cannot be read are skipped and named
// in one message at the end; when none can be read nothing is written.
// Returns the number of files written, EXPORT_DECLINED or -1.
int fra_export_series_text(const std::string& chosen, const std::string& data_folder, int done,
                           int total, const s_export_header& header, bool european,
                           std::vector<std::string>* written = nullptr);

// The stored tests (by TestNo, in order) to "<chosen without extension><i>.txt",
// i from 1; tests without points are passed over ("No Data to Export" when
// none is left). A file that cannot be written stops the export (earlier
// files stay). Returns files written, EXPORT_DECLINED or -1.
int fra_export_db_text(const std::string& chosen, const std::vector<int>& test_keys,
                       const s_export_header& header, bool european,
                       std::vector<std::string>* written = nullptr);

// A completed series (sweeps done == total > 0) whose sweepN.dat files were
// not written by another mode. FRA and LCR sweeps share those names; the mode
// that wrote the present set is recorded beside them, and exporting LCR
// columns under FRA headings would mislabel every value.
bool fra_series_exportable(const std::string& data_folder, int done, int total);
