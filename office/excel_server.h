#pragma once
// The spreadsheet automation server behind "Excel.Application": an
// in-process object tree (application, workbooks, worksheets, ranges, fonts,
// fills, borders, shapes) that records what the report builds. When the
// report releases the application after making it visible, the workbook is
// written once into the reports folder and handed to the opener.

#include "office/ole_object.h"
#include "office/workbook_model.h"

#include <functional>
#include <string>

ole_object* excel_server_create();

// Where workbooks and documents go, and what opens a written file (the
// desktop's spreadsheet; the command line prints the path). Process-wide;
// the folder defaults to "reports" in the data folder.
void office_set_reports_folder(const std::string& folder);
std::string office_reports_folder();
using office_opener = std::function<void(const std::string& path)>;
void office_set_opener(office_opener opener);
// Where a report goes when the user chooses (the windows do): given the file
// name the report would take in the reports folder and its extension
// ("xlsx", "docx"), the path chosen, or empty when the user declines.
// Without one, reports go into the reports folder (the command line).
using office_destination =
    std::function<std::string(const std::string& name, const std::string& extension)>;
void office_set_destination(office_destination destination);
// The last file written by a server (empty when none), for callers that
// report it.
std::string office_last_written();

// Writes into the reports folder under "<stem>-<UTC time>[-n].<extension>",
// or where the destination chooses, through a temporary file and a rename;
// write(temporary path) does the writing. Shows a message naming the folder
// on failure. Returns the path, or empty (also when the user declined to
// choose one, which shows nothing).
std::string office_write_report(const std::string& stem, const std::string& extension,
                                const std::function<bool(const std::string&)>& write);

// Lets go of a report's application (its last reference), which writes the
// report when it was made visible, and says how that went: 0 when this
// thread wrote a file in doing so, -1 when nothing was written (a failure
// has been shown, or the user declined to choose a file).
int office_release_report(ole_object* application);
