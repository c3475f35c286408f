#pragma once
// Importing a sweep file as a test: the test is named after the file (its
// name without folder and without the text from its last "."), described as
// "Imported", and stored under session 1. When the file has no session 1 the
// import creates it (named "Imported", dated today), because the lists show
// tests only under existing sessions and the test would otherwise be stored
// where no one ever sees it.

#include "db/db_records.h"
#include "db/sweep_import.h"

#include <string>

constexpr int64_t DB_IMPORT_SESSION = 1;

enum class db_import_status { ok, no_database, not_read, not_stored };

struct db_import_result {
    db_import_status status = db_import_status::ok;
    sweep_import_result read; // why the file was refused, when it was
};

// Reads and stores the file; test receives the stored test with its points.
// A file that cannot be read, or no open database, shows "Unable to import
// sweep to database"; a database failure is shown by the store. Either way
// nothing is stored.
// name, when given, is the test's name in place of the one the file name
// gives (a caller whose file names are not Windows-1252 converts it).
db_import_result db_import_sweep_file(const std::string& path, s_test& test,
                                      const std::string* name = nullptr);

std::string db_import_test_name(const std::string& path);
// The file name without its folder and without the text from its last ".".
std::string db_import_file_stem(const std::string& path);
