#pragma once
// What the export commands share: where workbooks go, the --format choice,
// the configuration block at the head of text files, and the "written
// PATH" line for every file written.

#include "cli/cli.h"
#include "fra/fra_export.h"

#include <string>
#include <vector>

void print_written(const std::string& path);
void print_all_written(const std::vector<std::string>& paths);

// Exit status of an export declined by refusing to replace a file.
constexpr int EXPORT_REFUSED = 4;
// The exit status of an export's result: 0 for a count or 0, 4 for
// EXPORT_DECLINED, 1 for any other failure.
int export_status(int result);

// Workbooks into DIR/reports, announced on stdout.
void set_reports(const std::string& data);

// --format csv|xlsx; false (with a message) for anything else.
bool format_of(const cli_args& args, bool& excel);

// The configuration block: read from a configured instrument, else the
// current model's initial values with an empty identification. 0, or 3
// when a configured instrument could not be identified.
int header_of(s_export_header& header);
