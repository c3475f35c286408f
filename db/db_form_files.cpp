// The database form's file commands: a new database file, another database
// file, and a sweep file imported as a test.
#include "base/off_window.h"
#include "base/ui_status.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_error.h"
#include "db/db_form.h"
#include "db/db_import.h"

#include <sys/stat.h>

namespace {

const char* const DATABASE_FILTERS = "Database Files (*.db);;All Files (*.*)";

bool file_exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

} // namespace

// A file another program holds locked may keep the open waiting; the path
// is remembered on the window's thread once it has opened.
bool db_form::open_current(const db_path_writer& remember)
{
    bool opened = false;
    run_off_window("Opening the database\x85", [&](const std::atomic<bool>&) {
        opened = db_open_last(nullptr);
        return opened;
    });
    if (opened && remember)
        remember(db_current_path());
    return opened;
}

void db_form::reopen(const std::string& previous, const db_path_writer& remember)
{
    db_set_current_path(previous);
    open_current(remember);
    refresh_sessions(false);
}

bool db_form::new_database()
{
    ui_file_request request;
    request.save = true;
    request.caption = "New Database";
    request.filters = DATABASE_FILTERS;
    request.default_suffix = "db";
    ui_file_choice choice;
    if (!ui_choose_file(owner_, request, choice))
        return false;
    if (file_exists(choice.path)) {
        ui_message_box(owner_, "A file with that name already exists", DB_FORM_CAPTION,
                       MB_OK | MB_ICONWARNING);
        return false;
    }
    const std::string previous = db_current_path();
    // The lists go first: nothing listed may outlive the file behind it.
    close_database();
    bool is_new = false, opened = false;
    run_off_window("Creating the database\x85", [&](const std::atomic<bool>&) {
        opened = db_open(choice.path, DB_OPEN_OR_CREATE, &is_new);
        return opened;
    });
    if (opened && is_new) {
        db_set_current_path(choice.path);
        refresh_sessions(false);
        return true;
    }
    db_close();
    db_report_error(("Unable to create the database file <" + choice.path + ">").c_str());
    // The settings already name the previous file; writing it again is harmless.
    reopen(previous, [](const std::string&) {});
    return false;
}

bool db_form::open_database(const db_path_writer& remember)
{
    if (db_is_open() &&
        ui_message_box(owner_,
                       "Are you sure you want to break the connection to the database file " +
                           db_current_path(),
                       DB_FORM_CAPTION, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    const std::string previous = db_current_path();
    close_database();
    db_set_current_path({});
    ui_file_request request;
    request.caption = "Open Database";
    request.filters = DATABASE_FILTERS;
    request.default_suffix = "db";
    ui_file_choice choice;
    if (!ui_choose_file(owner_, request, choice))
        return false; // the user chose to work without a database
    db_set_current_path(choice.path);
    if (open_current(remember)) {
        refresh_sessions(false);
        return true;
    }
    if (!previous.empty())
        reopen(previous, remember);
    return false;
}

bool db_form::import_sweep(const db_name_to_ansi& to_ansi)
{
    ui_file_request request;
    request.caption = "Import Sweep";
    request.filters = "Text Files (*.txt);;CSV Files (*.csv);;All Files (*.*)";
    request.default_suffix = "csv";
    ui_file_choice choice;
    if (!ui_choose_file(owner_, request, choice) || !file_exists(choice.path))
        return false;
    const std::string stem = db_import_file_stem(choice.path);
    std::string name = stem;
    if (to_ansi && !to_ansi(stem, name)) {
        tell("The file name holds a character that cannot be stored (only the characters of "
             "Windows-1252 can)");
        return false;
    }
    // The insert may wait for another program's lock on the file.
    s_test test;
    db_import_result result;
    s_session session;
    run_off_window("Importing the sweep\x85", [&](const std::atomic<bool>&) {
        result = db_import_sweep_file(choice.path, test, &name);
        session.SessionNo = test.SessionNo;
        return result.status == db_import_status::ok && db_get_session(session) == 0;
    });
    if (result.status != db_import_status::ok) {
        refresh_sessions(false);
        return false;
    }
    // The rest of a large list stays as it is.
    list_new_session(test.SessionNo);
    if (sessions.selected_key() == test.SessionNo)
        refresh_tests();
    ui_status("Imported as test " + std::to_string(test.TestNo) + " into session " +
              std::to_string(test.SessionNo) + ", " + session.Name);
    return true;
}
