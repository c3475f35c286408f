#pragma once
// A damaged test database as a failing disk leaves it: the first page of one
// table (its root page) overwritten with garbage, the rest of the file whole.
// The page is found with the sqlite3 program.

#include "tests/support/cli_run.h"

#include <fstream>
#include <sstream>
#include <string>

// False when the table's page could not be found or written.
inline bool db_damage_table(const std::string& file, const std::string& table)
{
    const cli_output r = run_command_line("sqlite3 -readonly '" + file +
                                              "' \"PRAGMA page_size; SELECT rootpage FROM "
                                              "sqlite_master WHERE name='" +
                                              table + "'\"",
                                          "/dev/null");
    std::istringstream numbers(r.out);
    long page_size = 0, root = 0;
    if (!(numbers >> page_size >> root) || page_size <= 0 || root <= 1)
        return false;
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp((root - 1) * page_size);
    const std::string garbage(size_t(page_size), '\xA5');
    f.write(garbage.data(), std::streamsize(garbage.size()));
    return bool(f);
}
