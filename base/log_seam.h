#pragma once
// Where infrastructure below the instrument link writes a diagnostic line
// (the automation layer notes the spreadsheet's version, for instance). The
// link's comms log takes the lines once it is linked in; until a writer is
// set they go nowhere.

#include <string>

using log_writer = void (*)(const std::string& text);

void log_seam_set_writer(log_writer writer);
void log_seam_write(const std::string& text);
