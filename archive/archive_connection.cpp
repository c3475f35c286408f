#include "archive/archive_connection.h"

#include "archive/archive_address.h"
#include "archive/archive_schema.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

namespace {

// A reply may take as long as the server lets a statement run, and then
// some for the way back.
constexpr int REPLY_LIMIT_MS = (ARCHIVE_STATEMENT_TIMEOUT_S + 10) * 1000;

// libpq's connect_timeout as a limit on the whole connection (0: none).
int connect_limit_ms(const archive_keywords& keywords)
{
    for (const auto& [name, value] : keywords)
        if (name == "connect_timeout") {
            const int seconds = std::atoi(value.c_str());
            return seconds <= 0 ? 0 : std::max(seconds, 2) * 1000;
        }
    return 0;
}

// A link that left this machine must be encrypted, whatever the address,
// the environment or a service file asked for.
archive_outcome check_tls(PGconn* conn)
{
    const std::string host = PQhost(conn) ? PQhost(conn) : "";
    const std::string address = PQhostaddr(conn) ? PQhostaddr(conn) : "";
    if (!archive_link_needs_tls(host, address) || PQsslInUse(conn))
        return {};
    return archive_outcome::fail(archive_status::refused,
                                 "The archive at " + (address.empty() ? host : address) +
                                     " was reached without TLS, so the connection is refused: "
                                     "give the server TLS, or name sslmode=require");
}

} // namespace

archive_connection::archive_connection() : reply_limit_ms_(REPLY_LIMIT_MS) {}

std::vector<std::string> archive_connection::take_notices()
{
    return std::exchange(notices_, {});
}

archive_connection::~archive_connection()
{
    close();
}

void archive_connection::close()
{
    if (conn_) {
        pq_unwatch(conn_);
        PQfinish(conn_);
    }
    conn_ = nullptr;
}

bool archive_connection::reset()
{
    if (PQresetStart(conn_) != 1)
        return false;
    waiting_.limit_ms = connect_limit_ms_;
    const bool connected = pq_connect_wait(conn_, waiting_, PQresetPoll);
    waiting_.limit_ms = reply_limit_ms_;
    return connected && check_tls(conn_).ok();
}

archive_outcome archive_connection::run_restoring(const std::function<archive_outcome()>& statement)
{
    waiting_.gave_up.clear();
    archive_outcome outcome = statement();
    // A link this side cut (a cancel, a server gone quiet) is not made again.
    if (outcome.ok() || !conn_ || PQstatus(conn_) != CONNECTION_BAD || !waiting_.gave_up.empty())
        return outcome;
    if (!reset())
        return archive_outcome::fail(archive_status::unreachable,
                                     "The archive cannot be reached: " + (waiting_.gave_up.empty()
                                                                              ? pq_error(conn_)
                                                                              : waiting_.gave_up));
    return statement();
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
    std::unique_ptr<PGconn, decltype(&PQfinish)> conn(
        PQconnectStartParams(names.data(), values.data(), 0), &PQfinish);
    if (!conn)
        return archive_outcome::fail(archive_status::unreachable, "Not enough memory");
    pq_keep_notices(conn.get(), &notices_);
    connect_limit_ms_ = connect_limit_ms(keywords);
    waiting_.limit_ms = connect_limit_ms_;
    const bool connected = PQstatus(conn.get()) != CONNECTION_BAD &&
                           pq_connect_wait(conn.get(), waiting_, PQconnectPoll);
    waiting_.limit_ms = reply_limit_ms_;
    if (!connected && cancelled())
        return archive_outcome::fail(archive_status::cancelled,
                                     "The connection to the archive was stopped");
    if (!connected) {
        const bool ask = PQconnectionNeedsPassword(conn.get()) && password.empty();
        return archive_outcome::fail(
            ask ? archive_status::needs_password : archive_status::unreachable,
            ask ? "The archive asks for a password"
                : "The archive cannot be reached: " +
                      (waiting_.gave_up.empty() ? pq_error(conn.get()) : waiting_.gave_up));
    }
    if (archive_outcome tls = check_tls(conn.get()); !tls.ok())
        return tls;
    pq_watch(conn.get(), &waiting_);
    archive_outcome outcome = archive_schema_check(conn.get(), use);
    if (!outcome.ok()) {
        pq_unwatch(conn.get());
        return outcome;
    }
    conn_ = conn.release();
    return {};
}
