#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_error.h"
#include "db/db_rows.h"
#include "db/db_transaction.h"
#include "db/db_verdict.h"

#include <sqlite3.h>

namespace {

int report_read(const db_statement& statement)
{
    if (statement.code() > 0)
        db_report_error(sqlite3_errmsg(db_handle()));
    return statement.code();
}

// Reads the test row; a missing row leaves TestNo -1.
int read_test(s_test& test, int64_t test_no, bool display)
{
    db_statement query("SELECT * FROM Test WHERE TestNo=?1");
    query.bind_int64(1, test_no);
    if (query.step())
        db_read_test_row(query, test, display);
    else if (query.code() == SQLITE_OK)
        test.TestNo = DB_NO_SUCH_ROW;
    return report_read(query);
}

int read_points(s_test& test, int64_t test_no)
{
    db_statement query("SELECT * FROM Data WHERE TestNo=?1 ORDER BY Frequency ASC");
    query.bind_int64(1, test_no);
    while (query.step()) {
        const s_test_point point{query.real(1), query.real(2), query.real(6)};
        test_add_point(test, &point);
    }
    return query.code();
}

int delete_rows(const char* sql, int64_t key)
{
    db_statement statement(sql);
    statement.bind_int64(1, key);
    return statement.run();
}

} // namespace

int db_list_tests(db_row_sink& sink, int64_t session_no, bool ascending, int column)
{
    const std::string direction = ascending ? " ASC" : " DESC";
    const std::string text_column = column == DB_TESTS_BY_NAME      ? "UPPER(Name)"
                                    : column == DB_TESTS_BY_WINDING ? "UPPER(Winding)"
                                                                    : "";
    const std::string order = text_column.empty()
                                  ? "TestNo" + direction
                                  : text_column + direction + ", TestNo" + direction;
    db_statement query("SELECT * FROM Test WHERE SessionNo=?1 ORDER BY " + order);
    query.bind_int64(1, session_no);
    s_test test;
    while (query.step()) {
        db_read_test_row(query, test, true);
        sink.add_row(test.Name + "\t" + test.Winding, test.TestNo);
    }
    return report_read(query);
}

int db_get_test(s_test& test, int64_t test_no, bool with_points)
{
    if (!db_is_open())
        return -1;
    test = s_test{};
    test.TestNo = test_no;
    const int rc = read_test(test, test_no, false);
    if (rc != SQLITE_OK || !with_points)
        return rc;
    return read_points(test, test_no);
}

int db_load_test(s_test& test, int64_t test_no)
{
    const int rc = db_get_test(test, test_no, false); // shows its own failure
    if (rc != SQLITE_OK || test.TestNo != test_no)
        return rc;
    const int points = read_points(test, test_no);
    if (points != SQLITE_OK)
        db_report_error_code(points);
    return points;
}

int db_add_selection_row(db_row_sink& sink, int64_t test_no)
{
    s_test test;
    int rc = db_get_test(test, test_no, false);
    if (rc != SQLITE_OK)
        return rc;
    s_session session;
    session.SessionNo = test.SessionNo;
    if (test.TestNo > 0 && session.SessionNo > 0)
        rc = db_get_session(session);
    if (rc == SQLITE_OK && test.TestNo > 0 && session.SessionNo > 0) {
        // The row's columns are tab-separated: no text may bring its own.
        for (std::string* text :
             {&session.Name, &session.Unit, &session.Location, &test.Name, &test.Winding})
            std::erase(*text, '\t');
        sink.add_row(session.Name + "\t" + session.Unit + "\t" + db_list_date(session) + "\t" +
                         session.Location + "\t" + test.Name + "\t" + test.Winding,
                     test.TestNo);
    }
    return rc;
}

int db_save_test(s_test& test, bool update)
{
    if (!db_is_open())
        return -1;
    db_transaction_scope transaction;
    db_statement statement(update ? "UPDATE Test SET Name=?3, Winding=?4, TestDescription=?5 "
                                    "WHERE TestNo=?1"
                                  : "INSERT INTO Test VALUES (?1, ?2, ?3, ?4, ?5)");
    if (test.TestNo > 0 || update)
        statement.bind_int64(1, test.TestNo);
    statement.bind_int64(2, test.SessionNo);
    statement.bind_text(3, db_fit(test.Name, DB_NAME_WIDTH));
    statement.bind_text(4, db_fit(test.Winding, DB_WINDING_WIDTH));
    statement.bind_text(5, db_fit(test.TestDescription, DB_DESCRIPTION_WIDTH));
    int rc = statement.run();
    const int64_t inserted = sqlite3_last_insert_rowid(db_handle());
    // Points left under the key by a test deleted outside this program
    // belong to no one; the new test starts without them.
    if (rc == SQLITE_OK && !update)
        rc = delete_rows("DELETE FROM Data WHERE TestNo=?1", inserted);
    if (rc == SQLITE_OK && !update)
        rc = db_delete_verdicts("TestNo=?1", inserted);
    if (rc == SQLITE_OK)
        rc = transaction.commit();
    if (rc == SQLITE_OK && !update)
        test.TestNo = inserted;
    return rc;
}

int db_delete_test(int64_t test_no)
{
    if (!db_is_open())
        return -1;
    db_transaction_scope transaction;
    int rc = delete_rows("DELETE FROM Test WHERE TestNo=?1", test_no);
    if (rc == SQLITE_OK)
        rc = delete_rows("DELETE FROM Data WHERE TestNo=?1", test_no);
    if (rc == SQLITE_OK)
        rc = db_delete_verdicts("TestNo=?1", test_no);
    if (rc == SQLITE_OK)
        rc = transaction.commit();
    return rc;
}

int db_delete_session_tests(int64_t session_no)
{
    if (!db_is_open())
        return -1;
    db_transaction_scope transaction;
    int rc =
        db_delete_verdicts("TestNo IN (SELECT TestNo FROM Test WHERE SessionNo=?1)", session_no);
    if (rc == SQLITE_OK)
        rc = delete_rows(
            "DELETE FROM Data WHERE TestNo IN (SELECT TestNo FROM Test WHERE SessionNo=?1)",
            session_no);
    if (rc == SQLITE_OK)
        rc = delete_rows("DELETE FROM Test WHERE SessionNo=?1", session_no);
    if (rc == SQLITE_OK)
        rc = transaction.commit();
    return rc;
}
