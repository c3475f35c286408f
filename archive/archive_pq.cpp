#include "archive/archive_pq.h"

#include "base/ansi_text.h"

#include <bit>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <endian.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <utility>

namespace {

// One slice of a wait: a Cancel is seen within this long.
constexpr int SLICE_MS = 50;

std::mutex g_watched_mutex;
std::map<const PGconn*, pq_waiting*> g_watched;

pq_waiting* watched(const PGconn* conn)
{
    const std::lock_guard lock(g_watched_mutex);
    auto it = g_watched.find(conn);
    return it == g_watched.end() ? nullptr : it->second;
}

int64_t now_ms()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool cancelled(const pq_waiting& w)
{
    return w.cancel && w.cancel->load();
}

// Asks the server to end the running statement (it answers with an error).
void send_cancel(PGconn* conn)
{
    if (PGcancel* cancel = PQgetCancel(conn)) {
        char error[256];
        PQcancel(cancel, error, sizeof error);
        PQfreeCancel(cancel);
    }
}

// Ends the link from this side; the server rolls back what the statement
// did once it reads from it again.
bool give_up(PGconn* conn, pq_waiting& w, std::string why)
{
    w.gave_up = std::move(why);
    ::shutdown(PQsocket(conn), SHUT_RDWR);
    PQconsumeInput(conn); // libpq sees the link closed: the connection turns bad
    return false;
}

// Waits one slice for events on the connection's socket; true when any came.
bool poll_slice(PGconn* conn, short events)
{
    pollfd p{PQsocket(conn), events, 0};
    return ::poll(&p, 1, SLICE_MS) > 0;
}

std::string seconds(int ms)
{
    return std::to_string((ms + 999) / 1000) + " s";
}

pq_result failure(PGconn* conn)
{
    return pq_result(PQmakeEmptyPGresult(conn, PGRES_FATAL_ERROR), &PQclear);
}

// The reply of a statement sent (when sent): its first failure, else its
// last result; a COPY's start at once.
pq_result collect(PGconn* conn, bool sent)
{
    if (!sent)
        return failure(conn);
    pq_result kept(nullptr, &PQclear);
    while (pq_wait_ready(conn)) {
        pq_result r(PQgetResult(conn), &PQclear);
        if (!r)
            return kept ? std::move(kept) : failure(conn);
        const ExecStatusType status = PQresultStatus(r.get());
        if (status == PGRES_COPY_IN || status == PGRES_COPY_OUT)
            return r;
        if (!kept || PQresultStatus(kept.get()) != PGRES_FATAL_ERROR)
            kept = std::move(r);
    }
    return failure(conn);
}

void keep_notice(void* notices, const char* message)
{
    std::string text = message;
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    // "WARNING:  ...", "NOTICE:  ...": the words after the severity.
    if (const size_t colon = text.find(":  "); colon != std::string::npos && colon < 10)
        text.erase(0, colon + 3);
    static_cast<std::vector<std::string>*>(notices)->push_back(utf8_to_ansi(text));
}

} // namespace

void pq_keep_notices(PGconn* conn, std::vector<std::string>* notices)
{
    PQsetNoticeProcessor(conn, keep_notice, notices);
}

void pq_watch(PGconn* conn, pq_waiting* waiting)
{
    const std::lock_guard lock(g_watched_mutex);
    g_watched[conn] = waiting;
}

void pq_unwatch(PGconn* conn)
{
    const std::lock_guard lock(g_watched_mutex);
    g_watched.erase(conn);
}

int pq_set_reply_limit(PGconn* conn, int limit_ms)
{
    pq_waiting* w = watched(conn);
    return w ? std::exchange(w->limit_ms, limit_ms) : 0;
}

bool pq_wait_ready(PGconn* conn)
{
    pq_waiting unwatched;
    pq_waiting& w = watched(conn) ? *watched(conn) : unwatched;
    w.gave_up.clear();
    int64_t heard = now_ms();
    int64_t cancel_sent = -1;
    while (PQisBusy(conn)) {
        const int64_t now = now_ms();
        if (cancel_sent < 0 && cancelled(w)) {
            send_cancel(conn);
            cancel_sent = now;
        }
        if (cancel_sent >= 0 && now - cancel_sent >= CANCEL_GRACE_MS)
            return give_up(conn, w, "stopped by the user");
        if (w.limit_ms > 0 && now - heard >= w.limit_ms)
            return give_up(conn, w, "the archive did not answer within " + seconds(w.limit_ms));
        if (poll_slice(conn, POLLIN))
            heard = now_ms();
        if (!PQconsumeInput(conn))
            return false;
    }
    return true;
}

bool pq_connect_wait(PGconn* conn, pq_waiting& waiting, PostgresPollingStatusType (*poll)(PGconn*))
{
    waiting.gave_up.clear();
    const int64_t start = now_ms();
    PostgresPollingStatusType status = PGRES_POLLING_WRITING;
    while (status != PGRES_POLLING_OK && status != PGRES_POLLING_FAILED) {
        if (cancelled(waiting)) {
            waiting.gave_up = "stopped by the user";
            return false;
        }
        if (waiting.limit_ms > 0 && now_ms() - start >= waiting.limit_ms) {
            waiting.gave_up = "no answer within " + seconds(waiting.limit_ms);
            return false;
        }
        if (poll_slice(conn, status == PGRES_POLLING_READING ? POLLIN : POLLOUT))
            status = poll(conn);
    }
    return status == PGRES_POLLING_OK;
}

pq_params& pq_params::text(std::string value)
{
    values_.push_back({std::move(value), false, false});
    return *this;
}

pq_params& pq_params::null()
{
    values_.push_back({{}, true, false});
    return *this;
}

pq_params& pq_params::binary(std::string bytes)
{
    values_.push_back({std::move(bytes), false, true});
    return *this;
}

pq_result pq_params::exec(PGconn* conn, const char* sql, bool result_binary) const
{
    std::vector<const char*> data;
    std::vector<int> lengths;
    std::vector<int> formats;
    for (const value& v : values_) {
        data.push_back(v.is_null ? nullptr : v.bytes.c_str());
        lengths.push_back(int(v.bytes.size()));
        formats.push_back(v.is_binary ? 1 : 0);
    }
    return collect(conn,
                   PQsendQueryParams(conn, sql, int(values_.size()), nullptr, data.data(),
                                     lengths.data(), formats.data(), result_binary ? 1 : 0) == 1);
}

pq_result pq_exec(PGconn* conn, const char* sql)
{
    return collect(conn, PQsendQuery(conn, sql) == 1);
}

bool pq_ok(const pq_result& result)
{
    if (!result)
        return false;
    const ExecStatusType status = PQresultStatus(result.get());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

std::string pq_error(PGconn* conn)
{
    if (const pq_waiting* w = watched(conn); w && !w->gave_up.empty())
        return w->gave_up;
    std::string text = conn ? PQerrorMessage(conn) : "no connection";
    // libpq's messages end in a newline and may carry a DETAIL line.
    if (const size_t end = text.find('\n'); end != std::string::npos)
        text.resize(end);
    if (text.rfind("ERROR:  ", 0) == 0)
        text.erase(0, 8);
    return text.empty() ? "the archive did not answer" : utf8_to_ansi(text);
}

std::string pq_text(const pq_result& result, int row, int column)
{
    return PQgetisnull(result.get(), row, column) ? std::string()
                                                  : PQgetvalue(result.get(), row, column);
}

int64_t pq_int64(const pq_result& result, int row, int column)
{
    return std::strtoll(PQgetvalue(result.get(), row, column), nullptr, 10);
}

int64_t pq_binary_int64(const pq_result& result, int row, int column)
{
    uint64_t raw = 0;
    std::memcpy(&raw, PQgetvalue(result.get(), row, column), sizeof raw);
    return int64_t(be64toh(raw));
}

double pq_binary_double(const pq_result& result, int row, int column)
{
    return std::bit_cast<double>(uint64_t(pq_binary_int64(result, row, column)));
}
