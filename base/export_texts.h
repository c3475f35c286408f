#pragma once
// What the exports of every mode share around their files: the message
// texts and captions, the save chooser of the text exports and the names of
// the files of a repeating test.

#include <string>
#include <vector>

// Message texts and captions shared by the exports.
extern const char* const EXPORT_ERROR_CAPTION;   // "Excel Export Error"
extern const char* const NO_DATA_TEXT;           // "No Data to Export"
extern const char* const CANNOT_CREATE_CSV_TEXT; // "Unable to create CSV file"

// An export the user declined by refusing to replace a file: nothing was
// written.
constexpr int EXPORT_DECLINED = -2;

// The save chooser of the text exports: the chosen path, or empty after
// "Unable to create CSV file" (cancelled). It asks nothing about an existing
// file: the export asks about each file it is going to write.
std::string export_choose_file(void* owner);
// The same for comma-separated tables that are nothing but CSV: "CSV File
// (*.csv)", the suffix ".csv" added to a name without one.
std::string export_choose_csv_file(void* owner);
// The same for one-port Touchstone files: "Touchstone File (*.s1p)", ".s1p".
std::string export_choose_touchstone_file(void* owner);

// True unless a file is at path and the user does not let it be replaced
// ("<path> already exists. Do you want to replace it?", captioned "Save
// As"). A folder in its place is not asked about: writing there fails.
bool export_may_replace(void* owner, const std::string& path);

// One text file of an export: where it goes and its text ("\n" line ends).
struct s_export_file {
    std::string path;
    std::string text;
};

// Asks before replacing each of the files that exists, then writes them in
// order, and tells the status line what it wrote. Returns the number written; EXPORT_DECLINED when
// a replacement is refused (nothing written); -1 after "Unable to create CSV file" naming the file
// that could not be written (the ones before it stay written). written, when given, receives the
// path of every file written.
int export_write_text_files(const std::vector<s_export_file>& files,
                            std::vector<std::string>* written = nullptr);

// "Wrote 1 file to <folder>", "Wrote 3 files to <folder>": the status text
// of an export, naming the folder of the first file.
std::string export_written_status(const std::vector<std::string>& paths);

// The file of sweep k of a repeating test: the chosen path without its
// extension, " k" for k > 1, " #<date> @<time>" from the sweep file's date
// line (":" as "_"; "/", "\\" and control characters as "_"), ".txt".
std::string export_series_file_name(const std::string& chosen, int k, const std::string& date_line);
