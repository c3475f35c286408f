#pragma once
// What the export commands share: where workbooks go, the --format choice,
// the configuration block at the head of text files, and the "written
// PATH" line for every file written.

#include "cli/cli.h"
#include "fra/fra_export.h"

#include <string>

void print_written(const std::string& path);

// Workbooks into DIR/reports, announced on stdout.
void set_reports(const std::string& data);

// --format csv|xlsx; false (with a message) for anything else.
bool format_of(const cli_args& args, bool& excel);

// The configuration block: read from a configured instrument, else the
// current model's initial values with an empty identification. 0, or 3
// when a configured instrument could not be identified.
int header_of(s_export_header& header);
