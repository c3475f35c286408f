#include "archive/archive_connection.h"

#include "archive/archive_address.h"
#include "archive/archive_pq.h"
#include "archive/archive_schema.h"

archive_connection::~archive_connection()
{
    close();
}

void archive_connection::close()
{
    if (conn_)
        PQfinish(conn_);
    conn_ = nullptr;
}

archive_outcome archive_connection::run_restoring(const std::function<archive_outcome()>& statement)
{
    archive_outcome outcome = statement();
    if (outcome.ok() || !conn_ || PQstatus(conn_) != CONNECTION_BAD)
        return outcome;
    PQreset(conn_);
    return PQstatus(conn_) == CONNECTION_OK ? statement() : outcome;
}

archive_outcome archive_connection::open(const std::string& address, const std::string& password,
                                         archive_use use)
{
    close();
    std::string error;
    const archive_keywords keywords = archive_address_keywords(address, password, error);
    if (keywords.empty())
        return archive_outcome::fail(archive_status::refused,
                                     "The archive's address cannot be read: " + error);
    std::vector<const char*> names;
    std::vector<const char*> values;
    for (const auto& [name, value] : keywords) {
        names.push_back(name.c_str());
        values.push_back(value.c_str());
    }
    names.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* conn = PQconnectdbParams(names.data(), values.data(), 0);
    if (!conn)
        return archive_outcome::fail(archive_status::unreachable, "Not enough memory");
    if (PQstatus(conn) != CONNECTION_OK) {
        const bool ask = PQconnectionNeedsPassword(conn) && password.empty();
        archive_outcome outcome = archive_outcome::fail(
            ask ? archive_status::needs_password : archive_status::unreachable,
            ask ? "The archive asks for a password"
                : "The archive cannot be reached: " + pq_error(conn));
        PQfinish(conn);
        return outcome;
    }
    archive_outcome outcome = archive_schema_check(conn, use);
    if (!outcome.ok()) {
        PQfinish(conn);
        return outcome;
    }
    conn_ = conn;
    return {};
}
