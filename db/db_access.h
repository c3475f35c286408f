#pragma once
// Reading and writing sessions, tests and their points.
//
// Every function returns the SQLite result code (0 on success) and -1, with
// its outputs untouched, while no database is open. Keys and texts are bound
// to prepared statements; each statement text is prepared once per
// connection, so storing a sweep prepares its point insert once.

#include "db/db_records.h"
#include "db/db_schema.h"
#include "db/db_sinks.h"

#include <cstdint>
#include <string>

// Sessions. The list sorts on column 0 Name, 1 Unit, 2 Date, 3 Location
// (upper-cased; the stored date text "YYYY-MM-DD 00:00:00" sorts in time
// order) and adds rows "Name\tUnit\tD/M/Y\tLocation" keyed by SessionNo.
int db_list_sessions(db_row_sink& sink, int column, bool ascending);
// The row db_list_sessions adds for one session, and its place in that
// list (sessions that sort alike in the order of their keys); place is -1
// and nothing is added when there is no such session.
int db_list_session(db_row_sink& sink, int64_t session_no, int column, bool ascending, int& place);
// Fills the record for its SessionNo; a missing row leaves SessionNo -1.
int db_get_session(s_session& session);
// Inserts (a SessionNo <= 0 takes the next free key, which is written back)
// or updates the row. Shows nothing.
int db_save_session(s_session& session, bool update);
// Deletes the Session row and its stored assessment; the caller deletes its
// tests first.
int db_delete_session(int64_t session_no);
// The first session whose Name equals name, ignoring case; -1 when none.
int64_t db_find_session_by_name(const std::string& name);

// Tests. The list adds rows "Name\tWinding" keyed by TestNo, sorted on the
// column (0 Name, 1 Winding, ignoring case, then TestNo) or, by default, on
// TestNo as a number.
enum : int { DB_TESTS_BY_NAME = 0, DB_TESTS_BY_WINDING = 1, DB_TESTS_BY_NUMBER = 2 };
int db_list_tests(db_row_sink& sink, int64_t session_no, bool ascending,
                  int column = DB_TESTS_BY_NUMBER);
// Replaces the record with the test test_no (TestNo -1 when there is no such
// row) and, with with_points, its points in frequency order.
int db_get_test(s_test& test, int64_t test_no, bool with_points);
// db_get_test with points for a reader that shows the test: a failure of
// either read has been shown in the database error box when this returns
// (the row's with SQLite's message, the points' with the code table).
int db_load_test(s_test& test, int64_t test_no);
// Adds "Session\tUnit\tD/M/Y\tLocation\tTest\tWinding" for a test that exists
// with its session, keyed by TestNo.
int db_add_selection_row(db_row_sink& sink, int64_t test_no);
// Inserts (a TestNo <= 0 takes the next free key, written back) or updates
// the Test row. Runs in a transaction of its own unless one is open. Shows
// nothing.
int db_save_test(s_test& test, bool update);
// Deletes the test and its points, both or neither.
int db_delete_test(int64_t test_no);
// Deletes every test of the session and their points, one statement each.
int db_delete_session_tests(int64_t session_no);

// Points. data_no <= 0 lets the file choose the point's key. Graphed is
// written 1 and Range 0.
int db_insert_point(int64_t test_no, int64_t data_no, const s_test_point& point);
// Updates the test row and inserts its first count points, under the wait
// cursor. A failure is shown with the error-code table and undoes the open
// transaction, so no test is left with part of its points.
bool db_save_test_points(s_test& test, int count);
// Stores a finished sweep as a new test in one transaction: the Test row and
// every point, or nothing (a failure is shown and TestNo is 0 again). A
// kill or crash at any moment leaves the test whole or absent.
bool db_store_test(s_test& test);

// Adds every value of the column at position of table, in the order SQLite
// returns the rows.
int db_fill_combo(db_table table, int position, db_text_sink& sink);
