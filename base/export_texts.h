#pragma once
// What the exports of every mode share around their files: the message
// texts and captions, the save chooser of the text exports and the names of
// the files of a repeating test.

#include <string>

// Message texts and captions shared by the exports.
extern const char* const EXPORT_ERROR_CAPTION;   // "Excel Export Error"
extern const char* const NO_DATA_TEXT;           // "No Data to Export"
extern const char* const CANNOT_CREATE_CSV_TEXT; // "Unable to create CSV file"

// The save chooser of the text exports: the chosen path, or empty after
// "Unable to create CSV file" (cancelled) or a refused overwrite.
std::string export_choose_file(void* owner);

// The file of sweep k of a repeating test: the chosen path without its
// extension, " k" for k > 1, " #<date> @<time>" from the sweep file's date
// line (":" as "_"; "/", "\\" and control characters as "_"), ".txt".
std::string export_series_file_name(const std::string& chosen, int k, const std::string& date_line);
