#pragma once
// What the program does between creating its application object and running
// the event loop: register every window, dialog and exporter the main window
// reaches, then show the main window. main() and the journey tests both start
// the program through here, so they run the same program.

#include "app/ui/main_window.h"

#include <memory>
#include <string>

// The window factories, dialogs and exporters of every mode.
void app_register_windows();

// Registers them and shows the main window over the per-user data root and
// the working folder that holds the default test database.
std::unique_ptr<main_window> app_start(const std::string& local_data_root,
                                       const std::string& working_dir);
