#pragma once
// The database form without its windows: the three lists (sessions, the
// tests of the selected session, and the selection of up to nine tests),
// their sort state and selected rows, and the commands that change the test
// database from the form. The windows mirror these lists and forward the
// user's clicks; the command line drives the same object.
//
// Every message goes through the user-interface seam with the owner given.
#include "base/ui_seam.h"
#include "db/db_access.h"
#include "db/db_last.h"
#include "db/db_records.h"
#include "db/db_sinks.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr int DB_SELECTION_MAX = 9;

// Turns a file name as the file system spells it into the Windows-1252 text
// the database keeps; false when it holds a character with no such form.
using db_name_to_ansi = std::function<bool(const std::string& name, std::string& ansi)>;

struct db_list_row {
    std::string text; // columns separated by tabs
    int64_t key = 0;  // SessionNo or TestNo
};

// A change of one row: the row at index was inserted, or erased.
struct db_row_change {
    unsigned version = 0; // the list's version the change made
    int index = -1;       // -1: the last change was not of one row
    bool inserted = false;
};

struct db_list {
    std::vector<db_list_row> rows;
    int selected = -1;
    unsigned version = 0; // counts every change of the rows
    db_row_change last;   // so a view shown at version - 1 can follow it row by row

    int64_t selected_key() const;
    // Selects index, clamped to the last row; none when the list is empty.
    void select_clamped(int index);
    int find(int64_t key) const;
    // Inserts the row at index, clamped to the rows; leaves the selection
    // on the row it was on.
    void insert(int index, db_list_row row);
    void erase(int index);
    void clear();
};

// Adds the rows it is given to a list.
struct db_list_sink : db_row_sink {
    explicit db_list_sink(db_list& list) : list_(list) {}
    void add_row(const std::string& text, int64_t key) override
    {
        list_.rows.push_back({text, key});
    }
    db_list& list_;
};

class db_form {
public:
    explicit db_form(ui_owner owner = nullptr) : owner_(owner) {}

    db_list sessions;
    db_list tests;
    db_list selection;

    // Sort state: the session column (0 Name, 1 Unit, 2 Date, 3 Location),
    // the test list's column (DB_TESTS_BY_NAME, _WINDING or, at first,
    // _NUMBER), and the direction of both lists (false: descending).
    int session_column = 0;
    bool session_ascending = false;
    int tests_column = DB_TESTS_BY_NUMBER;
    bool tests_ascending = false;

    // Refreshes the session list, keeping the selected session by key or by
    // row index, then the test list of whichever session is selected.
    void refresh_sessions(bool keep_by_key);
    void refresh_tests();
    // The code of the last list refresh (0 when it read every row); a
    // failure has been shown by the list read itself.
    int list_code = 0;
    // The user selected a row of the session list (-1: none).
    void select_session(int row);
    void select_session_by_key(int64_t session_no);
    // A click on a column header: the same column flips the direction, a
    // new one starts descending.
    void click_session_column(int column);
    void click_test_column(int column);

    bool add_to_selection();
    bool remove_from_selection();
    bool delete_test();
    bool delete_session();
    // Stores a session the Session Details dialog filled, lists and selects
    // it. A failed store (or no database open) is reported and changes nothing.
    bool store_new_session(s_session& session);
    // Adds a session stored since the list was read at its place in the
    // list's order, leaving the other rows as they are.
    void list_new_session(int64_t session_no);
    // Keys of the selection in row order, or empty after telling the user
    // that 1 to 9 tests are needed (for a graph or an export).
    std::vector<int> graph_keys() const;
    std::vector<int> export_keys() const;

    // Empties the three lists, then closes the database.
    void close_database();
    // The tool strip's file commands; remember writes the settings key of a
    // database that opened.
    bool new_database();
    bool open_database(const db_path_writer& remember);
    // The imported test is named after the file; without to_ansi the name's
    // bytes are taken as they are.
    bool import_sweep(const db_name_to_ansi& to_ansi = nullptr);

    ui_owner owner() const { return owner_; }

private:
    int ask(const std::string& text) const;
    void tell(const std::string& text) const;
    std::vector<int> selection_keys(const char* empty_text) const;
    void drop_from_selection(const std::vector<int64_t>& test_keys);
    bool open_current(const db_path_writer& remember);
    void reopen(const std::string& previous, const db_path_writer& remember);

    ui_owner owner_;
};

// Inserts a new session (db_save_session) while the window keeps
// answering; 0 or the code, shown by nobody yet.
int db_store_new_session(s_session& session);

// The texts the form shows.
extern const char* const DB_FORM_CAPTION;
extern const char* const DB_FORM_NO_DATABASE;
