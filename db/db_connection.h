#pragma once
// The one connection to the test database file.
//
// All database calls come from the window thread. Every operation except
// db_open and db_close returns the SQLite result code (0 on success) and -1,
// without touching SQLite, while no database is open.

#include <string>

enum : int {
    DB_OPEN_OR_CREATE = 1, // open the file, creating it with the schema when missing
    DB_OPEN_EXISTING = 3,  // open a file that must already be a test database
};

// Opens path in the given mode. The path is always a plain file name: one
// starting with "file:" is the file of that name, not a URI; an empty name
// and ":memory:" are refused with a message. A new file is made only where
// nothing has the name yet, so an existing file is never re-created. Every
// statement waits a few seconds for another program's lock before failing
// with "Database file is locked".
//
// Opens path in the given mode and checks that it is a test database (it has
// the Session, Test and Data tables; rows are not needed). With
// DB_OPEN_OR_CREATE and is_new given, a missing file is created whole with
// its schema, or not at all, and is_new tells so. Without is_new a missing file
// is not created. A file that cannot be opened, or that another program
// holds locked, is reported with the error-code table; a failed schema or
// check shows nothing else (the caller reports). On any failure the
// database open before stays open. A file opened read-only stays open;
// only a write to it is refused and reported. Any other mode closes the connection and returns
// false.
bool db_open(const std::string& path, int mode, bool* is_new = nullptr);
void db_close();
// The message that refuses path as a database file name, or nullptr.
const char* db_path_refusal(const std::string& path);
bool db_is_open();
// True when the last db_open failed because the file, though readable, is
// no test database (not when it was missing, locked or unreadable).
bool db_last_open_foreign();

// The file the user works with: set by start-up from the settings and by the
// form's New and Open commands.
const std::string& db_current_path();
void db_set_current_path(const std::string& path);

// Runs one statement; SQLite's error text is dropped. Returns the code.
int db_exec(const std::string& sql);

// Transactions. A BEGIN while one is open fails silently, as does a COMMIT
// or ROLLBACK with none open.
int db_begin();
int db_commit();
int db_rollback();
bool db_in_transaction();
