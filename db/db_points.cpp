#include "base/ui_seam.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_error.h"
#include "db/db_statement.h"
#include "db/db_transaction.h"

#include <algorithm>
#include <sqlite3.h>

namespace {

constexpr const char* INSERT_POINT = "INSERT INTO Data VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)";

// Inserts the points with one prepared statement, reset between rows.
int insert_points(const s_test& test, int count)
{
    db_statement statement(INSERT_POINT);
    for (int i = 0; i < count; ++i) {
        const s_test_point& point = test.points[i];
        statement.bind_int64(1, test.TestNo);
        statement.bind_double(2, point.Frequency);
        statement.bind_double(3, point.Amplitude);
        statement.bind_int64(4, 1);
        statement.bind_int64(5, 0);
        statement.bind_double(7, point.Phase);
        if (const int rc = statement.run(); rc != SQLITE_OK)
            return rc;
    }
    return statement.code();
}

} // namespace

int db_insert_point(int64_t test_no, int64_t data_no, const s_test_point& point)
{
    db_statement statement(INSERT_POINT);
    statement.bind_int64(1, test_no);
    statement.bind_double(2, point.Frequency);
    statement.bind_double(3, point.Amplitude);
    statement.bind_int64(4, 1);
    statement.bind_int64(5, 0);
    if (data_no > 0)
        statement.bind_int64(6, data_no);
    statement.bind_double(7, point.Phase);
    return statement.run();
}

bool db_save_test_points(s_test& test, int count)
{
    if (!db_is_open())
        return false;
    wait_cursor busy;
    db_transaction_scope transaction;
    count = std::clamp(count, 0, test.points.count());
    int rc = db_save_test(test, true);
    if (rc == SQLITE_OK)
        rc = insert_points(test, count);
    if (rc == SQLITE_OK)
        rc = transaction.commit();
    if (rc == SQLITE_OK)
        return true;
    db_report_error_code(rc);
    if (db_in_transaction())
        db_rollback();
    return false;
}

bool db_store_test(s_test& test)
{
    if (!db_is_open())
        return false;
    db_transaction_scope transaction;
    test.TestNo = 0;
    if (const int rc = db_save_test(test, false); rc != SQLITE_OK) {
        db_report_error_code(rc);
        test.TestNo = 0;
        return false;
    }
    if (!db_save_test_points(test, test.points.count())) {
        test.TestNo = 0;
        return false;
    }
    // Another program reading the file holds the commit back until the wait
    // runs out: the test is then not stored, and the user must know it.
    if (const int rc = transaction.commit(); rc != SQLITE_OK) {
        db_report_error_code(rc);
        test.TestNo = 0;
        return false;
    }
    return true;
}
