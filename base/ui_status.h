#pragma once
// The status line of the user-interface seam: the outcome of the last action
// for the main window's status bar ("Sweep stored", "Wrote 3 files to /tmp").
// Texts are UTF-8, as the file paths they name are; any thread may report.
// Without a sink (the command line, core tests) a report goes nowhere.

#include <string>

using ui_status_sink = void (*)(const std::string& text);

// The shell installs its sink once and removes it (nullptr) when it closes.
void ui_set_status_sink(ui_status_sink sink);
void ui_status(const std::string& text);
