#include "db/db_statement.h"

#include <sqlite3.h>

db_statement::db_statement(const std::string& sql)
{
    stmt_ = db_prepare_cached(sql, code_);
}

db_statement::~db_statement()
{
    if (stmt_)
        db_release_cached(stmt_);
}

void db_statement::bind_text(int index, const std::string& text)
{
    if (stmt_)
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
}

void db_statement::bind_double(int index, double value)
{
    if (stmt_)
        sqlite3_bind_double(stmt_, index, value);
}

void db_statement::bind_int64(int index, int64_t value)
{
    if (stmt_)
        sqlite3_bind_int64(stmt_, index, value);
}

void db_statement::bind_blob(int index, const std::string& bytes)
{
    if (stmt_)
        sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()),
                          SQLITE_TRANSIENT);
}

bool db_statement::step()
{
    if (!stmt_)
        return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    code_ = rc == SQLITE_DONE ? SQLITE_OK : rc;
    return false;
}

int db_statement::run()
{
    while (step())
        ;
    if (stmt_)
        sqlite3_reset(stmt_);
    return code_;
}

std::string db_statement::text(int column) const
{
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    if (!bytes)
        return {};
    return std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

int64_t db_statement::int64(int column) const
{
    return sqlite3_column_int64(stmt_, column);
}

double db_statement::real(int column) const
{
    return sqlite3_column_double(stmt_, column);
}

std::string db_statement::blob(int column) const
{
    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    if (!bytes)
        return {};
    return std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}
