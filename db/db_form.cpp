// The database form's lists and the commands that act on them.
#include "db/db_form.h"

#include "base/off_window.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_error.h"

#include <algorithm>

const char* const DB_FORM_CAPTION = "Tarvelo2";
const char* const DB_FORM_NO_DATABASE =
    "No database is open. Create one with New Database or choose one with Open Database.";

namespace {

struct key_sink : db_row_sink {
    std::vector<int64_t> keys;
    void add_row(const std::string&, int64_t key) override { keys.push_back(key); }
};

} // namespace

int64_t db_list::selected_key() const
{
    return selected >= 0 && selected < int(rows.size()) ? rows[selected].key : 0;
}

void db_list::select_clamped(int index)
{
    selected = rows.empty() ? -1 : std::clamp(index, 0, int(rows.size()) - 1);
}

int db_list::find(int64_t key) const
{
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].key == key)
            return int(i);
    return -1;
}

void db_list::insert(int index, db_list_row row)
{
    index = std::clamp(index, 0, int(rows.size()));
    rows.insert(rows.begin() + index, std::move(row));
    if (selected >= index)
        ++selected;
    last = {++version, index, true};
}

void db_list::erase(int index)
{
    rows.erase(rows.begin() + index);
    last = {++version, index, false};
    selected = -1;
}

void db_list::clear()
{
    rows.clear();
    selected = -1;
    ++version;
}

int db_form::ask(const std::string& text) const
{
    return ui_message_box(owner_, text, DB_FORM_CAPTION,
                          MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
}

void db_form::tell(const std::string& text) const
{
    ui_message_box(owner_, text, DB_FORM_CAPTION, MB_OK | MB_ICONINFORMATION);
}

void db_form::refresh_sessions(bool keep_by_key)
{
    const int64_t key = sessions.selected_key();
    const int index = sessions.selected;
    // A large file's list is read while the window keeps answering.
    db_list read;
    run_off_window("Reading the sessions\x85", [&](const std::atomic<bool>&) {
        db_list_sink sink(read);
        list_code = db_list_sessions(sink, session_column, session_ascending);
        return true;
    });
    sessions.clear();
    sessions.rows = std::move(read.rows);
    if (keep_by_key)
        sessions.selected = key > 0 ? sessions.find(key) : -1;
    else if (index >= 0)
        sessions.select_clamped(index);
    const int code = list_code;
    refresh_tests();
    list_code = code ? code : list_code;
}

void db_form::refresh_tests()
{
    const int64_t key = tests.selected_key();
    tests.clear();
    list_code = 0;
    const int64_t session_no = sessions.selected_key();
    if (session_no > 0) {
        db_list_sink sink(tests);
        list_code = db_list_tests(sink, session_no, tests_ascending, tests_column);
    }
    if (key > 0)
        tests.selected = tests.find(key);
}

void db_form::select_session(int row)
{
    const int64_t before = sessions.selected_key();
    sessions.selected = row >= 0 && row < int(sessions.rows.size()) ? row : -1;
    if (sessions.selected_key() != before)
        refresh_tests();
}

void db_form::select_session_by_key(int64_t session_no)
{
    select_session(sessions.find(session_no));
}

void db_form::click_session_column(int column)
{
    if (column == session_column) {
        session_ascending = !session_ascending;
    } else {
        session_column = column;
        session_ascending = false;
    }
    refresh_sessions(true);
}

void db_form::click_test_column(int column)
{
    if (column == tests_column) {
        tests_ascending = !tests_ascending;
    } else {
        tests_column = column;
        tests_ascending = false;
    }
    refresh_tests();
}

bool db_form::add_to_selection()
{
    const int64_t test_no = tests.selected_key();
    if (test_no <= 0) {
        tell("Please select a test");
        return false;
    }
    if (int(selection.rows.size()) >= DB_SELECTION_MAX) {
        tell("You may only select a maximum of " + std::to_string(DB_SELECTION_MAX) + " tests");
        return false;
    }
    db_list_sink sink(selection);
    const size_t before = selection.rows.size();
    db_add_selection_row(sink, test_no);
    ++selection.version;
    return selection.rows.size() > before;
}

bool db_form::remove_from_selection()
{
    const int row = selection.selected;
    if (row < 0 || row >= int(selection.rows.size())) {
        tell("Please select a test");
        return false;
    }
    selection.erase(row);
    selection.select_clamped(row);
    return true;
}

void db_form::drop_from_selection(const std::vector<int64_t>& test_keys)
{
    auto& rows = selection.rows;
    const auto gone = [&](const db_list_row& r) {
        return std::find(test_keys.begin(), test_keys.end(), r.key) != test_keys.end();
    };
    const auto end = std::remove_if(rows.begin(), rows.end(), gone);
    if (end == rows.end())
        return;
    rows.erase(end, rows.end());
    ++selection.version;
    selection.select_clamped(selection.selected);
}

bool db_form::delete_test()
{
    const int row = tests.selected;
    const int64_t test_no = tests.selected_key();
    if (test_no <= 0) {
        tell("Please select a test");
        return false;
    }
    if (ask("Are you sure you want to delete this test from the database") != IDYES)
        return false;
    int rc = 0;
    run_off_window("Deleting the test\x85", [&](const std::atomic<bool>&) {
        rc = db_delete_test(test_no);
        return rc == 0;
    });
    if (rc != 0) {
        db_report_error_code(rc);
        refresh_sessions(false);
        return false;
    }
    tests.erase(row);
    tests.select_clamped(row);
    drop_from_selection({test_no});
    return true;
}

bool db_form::delete_session()
{
    const int row = sessions.selected;
    const int64_t session_no = sessions.selected_key();
    if (session_no <= 0) {
        tell("Please select a session");
        return false;
    }
    const std::string question =
        tests.rows.empty()
            ? "Are you sure you want to delete this session from the database"
            : "Are you sure you want to delete this session and associated tests from the database";
    if (ask(question) != IDYES)
        return false;
    // Every test the file holds for the session goes, not only the rows
    // listed: SQLite hands a freed highest key out again, so a test left
    // behind would turn up under the next new session. A deletion begun is
    // finished: Cancel does not stop it halfway.
    key_sink held;
    int rc = 0;
    run_off_window("Deleting the session\x85", [&](const std::atomic<bool>&) {
        rc = db_begin();
        if (rc == 0)
            rc = db_list_tests(held, session_no, true);
        if (rc == 0)
            rc = db_delete_session_tests(session_no);
        if (rc == 0)
            rc = db_delete_session(session_no);
        if (rc == 0)
            rc = db_commit();
        if (rc != 0)
            db_rollback(); // never leave half a deletion open for the next commit
        return rc == 0;
    });
    if (rc != 0) {
        db_report_error_code(rc);
        refresh_sessions(false);
        return false;
    }
    drop_from_selection(held.keys);
    sessions.erase(row);
    if (sessions.rows.empty())
        tests.clear();
    else
        select_session(std::min(row, int(sessions.rows.size()) - 1));
    return true;
}

int db_store_new_session(s_session& session)
{
    // The insert may wait for another program's lock on the file.
    int rc = 0;
    run_off_window("Storing the session\x85", [&](const std::atomic<bool>&) {
        rc = db_save_session(session, false);
        return rc == 0;
    });
    return rc;
}

bool db_form::store_new_session(s_session& session)
{
    if (!db_is_open()) {
        tell(DB_FORM_NO_DATABASE);
        return false;
    }
    if (const int rc = db_store_new_session(session); rc != 0) {
        db_report_error_code(rc);
        return false;
    }
    list_new_session(session.SessionNo);
    select_session_by_key(session.SessionNo);
    return true;
}

void db_form::list_new_session(int64_t session_no)
{
    if (sessions.find(session_no) >= 0)
        return;
    db_list added;
    int place = -1;
    run_off_window("Reading the sessions\x85", [&](const std::atomic<bool>&) {
        db_list_sink sink(added);
        return db_list_session(sink, session_no, session_column, session_ascending, place) == 0;
    });
    if (!added.rows.empty())
        sessions.insert(place, std::move(added.rows.front()));
}

std::vector<int> db_form::selection_keys(const char* empty_text) const
{
    const size_t n = selection.rows.size();
    if (n < 1 || n > size_t(DB_SELECTION_MAX)) {
        tell(empty_text);
        return {};
    }
    std::vector<int> keys;
    for (const db_list_row& r : selection.rows)
        keys.push_back(int(r.key));
    return keys;
}

std::vector<int> db_form::graph_keys() const
{
    return selection_keys("Please add some tests to plot a graph");
}

std::vector<int> db_form::export_keys() const
{
    return selection_keys("Please add some tests to export");
}

void db_form::close_database()
{
    sessions.clear();
    tests.clear();
    selection.clear();
    db_close();
}
