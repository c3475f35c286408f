#pragma once
// Database failures as the user sees them: a warning box captioned
// "Database Error", showing either SQLite's own message or the text for the
// connection's current error code.

#include <string>

// The user's text for an SQLite result code, with the code filled in.
std::string db_error_text(int code);

// Shows message (cut to 1023 characters) when given, else the text for the
// connection's current error code.
void db_report_error(const char* message = nullptr);

// Shows the table's text for code.
void db_report_error_code(int code);

// After a sweep could not be stored (the failure itself has been shown):
// tells the user where its sweep file is kept for a later import, or that
// there is none when the file could not be written either (empty path).
void db_report_sweep_kept(const std::string& sweep_file);
