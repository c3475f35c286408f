#include "db/db_assessment.h"

#include "db/db_connection.h"
#include "db/db_records.h"
#include "db/db_statement.h"
#include "db/db_transaction.h"

#include <ctime>
#include <sqlite3.h>

namespace {

constexpr size_t VECTOR_GROUP_WIDTH = 20;
constexpr size_t TAP_WIDTH = 20;

constexpr const char* CREATE_ASSESSMENT =
    "CREATE TABLE IF NOT EXISTS Assessment ( SessionNo INTEGER PRIMARY KEY, "
    "VectorGroup VARCHAR2(20), Tap VARCHAR2(20), FingerprintSessionNo INTEGER DEFAULT 0, "
    "SisterSessionNo INTEGER DEFAULT 0, Conclusion TEXT, AssessedBy VARCHAR2(70), "
    "Written VARCHAR2(16), Report BLOB)";

bool assessment_table_exists(int& code)
{
    db_statement query("SELECT 1 FROM sqlite_master WHERE type='table' AND name='Assessment'");
    const bool exists = query.step();
    code = query.code();
    return exists;
}

std::string local_now()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

} // namespace

int db_store_assessment(const s_assessment_record& record)
{
    if (!db_is_open())
        return -1;
    db_transaction_scope transaction;
    int rc = db_statement(CREATE_ASSESSMENT).run();
    if (rc != SQLITE_OK)
        return rc;
    db_statement insert(
        "INSERT OR REPLACE INTO Assessment VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
    insert.bind_int64(1, record.SessionNo);
    insert.bind_text(2, db_fit(record.VectorGroup, VECTOR_GROUP_WIDTH));
    insert.bind_text(3, db_fit(record.Tap, TAP_WIDTH));
    insert.bind_int64(4, record.FingerprintSessionNo);
    insert.bind_int64(5, record.SisterSessionNo);
    insert.bind_text(6, record.Conclusion);
    insert.bind_text(7, db_fit(record.AssessedBy, DB_PERFORMED_BY_WIDTH));
    insert.bind_text(8, record.Written.empty() ? local_now() : record.Written);
    insert.bind_blob(9, record.Report);
    rc = insert.run();
    return rc == SQLITE_OK ? transaction.commit() : rc;
}

int db_read_assessment(int64_t session_no, s_assessment_record& record, bool& found)
{
    found = false;
    record = s_assessment_record{};
    if (!db_is_open())
        return -1;
    int rc = SQLITE_OK;
    if (!assessment_table_exists(rc))
        return rc;
    db_statement query("SELECT VectorGroup, Tap, FingerprintSessionNo, SisterSessionNo, "
                       "Conclusion, AssessedBy, Written, Report FROM Assessment "
                       "WHERE SessionNo=?1");
    query.bind_int64(1, session_no);
    if (query.step()) {
        found = true;
        record.SessionNo = session_no;
        record.VectorGroup = query.text(0);
        record.Tap = query.text(1);
        record.FingerprintSessionNo = query.int64(2);
        record.SisterSessionNo = query.int64(3);
        record.Conclusion = query.text(4);
        record.AssessedBy = query.text(5);
        record.Written = query.text(6);
        record.Report = query.blob(7);
    }
    return query.code();
}

int db_delete_assessments(const char* where, int64_t key)
{
    int rc = SQLITE_OK;
    if (!assessment_table_exists(rc))
        return rc;
    db_statement statement(std::string("DELETE FROM Assessment WHERE ") + where);
    statement.bind_int64(1, key);
    return statement.run();
}
