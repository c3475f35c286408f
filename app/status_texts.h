#pragma once
// Texts of the main window's status line and title.

#include <string>

struct s_link;

// "HXM4100 serial 041234, LAN 127.0.0.1" for an identified instrument,
// "Not connected" otherwise.
std::string status_instrument_text(const s_link& link);

// The file name of a database path, for the window title.
std::string status_database_name(const std::string& path);
