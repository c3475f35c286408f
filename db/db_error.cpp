#include "db/db_error.h"

#include "base/ui_seam.h"
#include "db/db_statement.h"

#include <cstdio>
#include <sqlite3.h>

namespace {

constexpr size_t MESSAGE_LIMIT = 1023;

const char* error_pattern(int code)
{
    switch (code) {
    case 2: return "SQL Internal Error\nError Code: %d";
    case 3: return "Permission Denied!\nError Code: %d";
    case 4: return "Routine Aborted\nError Code: %d";
    case 5: return "Database file is locked\nError Code: %d";
    case 6: return "Table is locked\nError Code: %d";
    case 7: return "Not enough memory\nError Code: %d";
    case 8: return "Database is Read Only\nError Code: %d";
    case 9: return "Operation Terminated\nError Code: %d";
    case 10: return "Database load error\nError Code: %d";
    case 11: return "Corrupt Database\nError Code: %d";
    case 12: return "Bad Command\nError Code: %d";
    case 13: return "Databse Full!\nError Code: %d";
    case 14: return "Unable to open Database file\nError Code: %d";
    case 15: return "Protocol Error\nError Code: %d";
    case 16: return "Operation cannot be done to an empty Database\nError Code: %d";
    case 17: return "Database Schema Error\nError Code: %d";
    case 18: return "The Value entered was too long!\nError Code: %d";
    case 19: return "Constraint Violation\nError Code: %d";
    case 20: return "Incorrect Data Type\nError Code: %d";
    case 21: return "Library used Incorrectly\nError Code: %d";
    case 22: return "Feature not supported\nError Code: %d";
    case 23: return "Unable to receive Authorization\nError Code: %d";
    case 24: return "Database Format Error\nError Code: %d";
    case 25: return "Binding Error\nError Code: %d";
    case 26: return "File selected is not a Database\nError Code: %d";
    default: return "Unknown Error\nError Code: %d";
    }
}

} // namespace

std::string db_error_text(int code)
{
    char text[128];
    std::snprintf(text, sizeof text, error_pattern(code), code);
    return text;
}

void db_report_error(const char* message)
{
    std::string text;
    if (message)
        text = std::string(message).substr(0, MESSAGE_LIMIT);
    else
        text = db_error_text(sqlite3_errcode(db_handle()));
    ui_message_box(nullptr, text, "Database Error", MB_OK | MB_ICONWARNING);
}

void db_report_error_code(int code)
{
    ui_message_box(nullptr, db_error_text(code), "Database Error", MB_OK | MB_ICONWARNING);
}

void db_report_sweep_kept(const std::string& sweep_file)
{
    const std::string text =
        sweep_file.empty()
            ? "The sweep was not stored in the database, and its sweep file could not be written."
            : "The sweep was not stored in the database. Its sweep file is kept as\n" + sweep_file +
                  "\nImport it into the database when the database can be written.";
    db_report_error(text.c_str());
}
