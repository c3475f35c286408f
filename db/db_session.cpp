#include "db/db_access.h"
#include "db/db_assessment.h"
#include "db/db_connection.h"
#include "db/db_error.h"
#include "db/db_rows.h"
#include "db/db_transaction.h"

#include <cctype>
#include <cstdio>
#include <sqlite3.h>

namespace {

const char* const SORT_COLUMNS[] = {"Name", "Unit", "Date", "Location"};

// The text DATETIME() turns into the stored "YYYY-MM-DD 00:00:00".
std::string date_literal(const s_session& session)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d 00:00:00", session.year, session.month,
                  session.day);
    return text;
}

void bind_session(db_statement& statement, const s_session& session)
{
    statement.bind_text(2, db_fit(session.Name, DB_NAME_WIDTH));
    statement.bind_text(3, db_fit(session.Unit, DB_UNIT_WIDTH));
    statement.bind_text(4, date_literal(session));
    statement.bind_text(5, db_fit(session.Location, DB_LOCATION_WIDTH));
    statement.bind_text(6, db_fit(session.PerformedBy, DB_PERFORMED_BY_WIDTH));
    statement.bind_text(7, db_fit(session.Comments, DB_COMMENTS_WIDTH));
}

// A failed read shows SQLite's own message.
int report_read(const db_statement& statement)
{
    if (statement.code() > 0)
        db_report_error(sqlite3_errmsg(db_handle()));
    return statement.code();
}

bool equal_ignoring_case(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int sort_column(int column)
{
    return column < 0 || column > 3 ? 0 : column;
}

void add_session_row(db_row_sink& sink, const s_session& session)
{
    sink.add_row(session.Name + "\t" + session.Unit + "\t" + db_list_date(session) + "\t" +
                     session.Location,
                 session.SessionNo);
}

} // namespace

int db_list_sessions(db_row_sink& sink, int column, bool ascending)
{
    db_statement query(std::string("SELECT * FROM Session ORDER BY UPPER(") +
                       SORT_COLUMNS[sort_column(column)] + ") " + (ascending ? "ASC" : "DESC") +
                       ", SessionNo ASC");
    s_session session;
    while (query.step()) {
        db_read_session_row(query, session, true);
        add_session_row(sink, session);
    }
    return report_read(query);
}

int db_list_session(db_row_sink& sink, int64_t session_no, int column, bool ascending, int& place)
{
    const std::string column_name = SORT_COLUMNS[sort_column(column)];
    const std::string other = "UPPER(o." + column_name + ")", own = "UPPER(s." + column_name + ")";
    db_statement query("SELECT s.*, (SELECT COUNT(*) FROM Session o WHERE " + other +
                       (ascending ? " < " : " > ") + own + " OR (" + other + " = " + own +
                       " AND o.SessionNo < s.SessionNo)) FROM Session s WHERE s.SessionNo=?1");
    query.bind_int64(1, session_no);
    place = -1;
    if (query.step()) {
        s_session session;
        db_read_session_row(query, session, true);
        place = static_cast<int>(query.int64(7));
        add_session_row(sink, session);
    }
    return report_read(query);
}

int db_get_session(s_session& session)
{
    db_statement query("SELECT * FROM Session WHERE SessionNo=?1");
    if (!query.ok())
        return report_read(query);
    query.bind_int64(1, session.SessionNo);
    if (query.step())
        db_read_session_row(query, session, false);
    else if (query.code() == SQLITE_OK)
        session.SessionNo = DB_NO_SUCH_ROW;
    return report_read(query);
}

int db_save_session(s_session& session, bool update)
{
    db_transaction_scope transaction;
    db_statement statement(update ? "UPDATE Session SET Name=?2, Unit=?3, Date=DATETIME(?4), "
                                    "Location=?5, Performed=?6, Comments=?7 WHERE SessionNo=?1"
                                  : "INSERT INTO Session VALUES (?1, ?2, ?3, DATETIME(?4), ?5, "
                                    "?6, ?7)");
    if (session.SessionNo > 0 || update)
        statement.bind_int64(1, session.SessionNo);
    bind_session(statement, session);
    int rc = statement.run();
    int64_t inserted = 0;
    // An assessment left under the key by a session deleted outside this
    // program belongs to no one; the new session starts without it.
    if (rc == SQLITE_OK && !update) {
        inserted = sqlite3_last_insert_rowid(db_handle());
        rc = db_delete_assessments("SessionNo=?1", inserted);
    }
    if (rc == SQLITE_OK)
        rc = transaction.commit();
    if (rc == SQLITE_OK && !update)
        session.SessionNo = inserted;
    return rc;
}

int db_delete_session(int64_t session_no)
{
    db_transaction_scope transaction;
    db_statement statement("DELETE FROM Session WHERE SessionNo=?1");
    statement.bind_int64(1, session_no);
    int rc = statement.run();
    if (rc == SQLITE_OK)
        rc = db_delete_assessments("SessionNo=?1", session_no);
    return rc == SQLITE_OK ? transaction.commit() : rc;
}

int64_t db_find_session_by_name(const std::string& name)
{
    db_statement query("SELECT * FROM Session");
    s_session session;
    while (query.step()) {
        db_read_session_row(query, session, false);
        if (equal_ignoring_case(session.Name, name))
            return session.SessionNo;
    }
    report_read(query);
    return DB_NO_SUCH_ROW;
}

int db_fill_combo(db_table table, int position, db_text_sink& sink)
{
    if (!db_is_open())
        return -1;
    const char* column = db_column_name(table, position);
    if (!column)
        return SQLITE_RANGE;
    db_statement query(std::string("SELECT ") + column + " FROM " + db_table_name(table));
    while (query.step())
        sink.add_text(query.text(0));
    return report_read(query);
}
