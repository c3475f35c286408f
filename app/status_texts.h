#pragma once
// Texts of the main window's status line and title.

#include <string>

struct s_link;

// "HXM4100 serial 041234, LAN 127.0.0.1" for an identified instrument,
// "Not connected" otherwise.
std::string status_instrument_text(const s_link& link);

// The file name of a database path, for the window title.
std::string status_database_name(const std::string& path);

// A database path as the status line shows it: below the home folder
// ("/home/u"), "~/tests/default.db"; elsewhere, or without a home, as it is.
std::string status_database_path(const std::string& path, const std::string& home);
