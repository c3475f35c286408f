#pragma once
// Opening the database the user worked with last, at start-up and after the
// Open Database command.

#include <functional>
#include <string>

// Remembers the path of a database that opened, in the settings file
// (section "Init", key "DatabaseFile").
using db_path_writer = std::function<void(const std::string& path)>;

// Closes whatever is open and opens the current database path as an existing
// test database. On success the path is remembered; on failure the user is
// told "Unable to open the last used database file <path>" and nothing stays
// open. An empty path opens nothing.
bool db_open_last(const db_path_writer& remember);

// At start-up: a current path that is empty or names no file is replaced by
// "default.db" in the working folder, created when missing (a path that had
// been set is first reported as not loadable); then as db_open_last.
bool db_open_at_startup(const std::string& working_folder, const db_path_writer& remember);
