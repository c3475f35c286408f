#pragma once
// The few libpq helpers the archive's statements share. Every value
// travels as a bound parameter; no statement text ever holds one.

#include <atomic>
#include <cstdint>
#include <libpq-fe.h>
#include <memory>
#include <string>
#include <vector>

using pq_result = std::unique_ptr<PGresult, decltype(&PQclear)>;

// The parameters of one statement: texts, NULLs and binary values.
class pq_params {
public:
    pq_params& text(std::string value);
    pq_params& null();
    pq_params& binary(std::string bytes);
    pq_params& number(int64_t value) { return text(std::to_string(value)); }

    // Runs sql with these parameters; result_binary asks for binary columns.
    pq_result exec(PGconn* conn, const char* sql, bool result_binary = false) const;

private:
    struct value {
        std::string bytes;
        bool is_null = false;
        bool is_binary = false;
    };
    std::vector<value> values_;
};

// How a connection waits for the server. Every statement is sent and its
// reply awaited a slice at a time, so a server that stops answering holds
// no thread for ever: when cancel turns true the running statement is
// cancelled (PQcancel) and, should the server not end it within
// CANCEL_GRACE_MS, the link is cut; after limit_ms without a byte from the
// server the link is cut too. The connection is then bad, and gave_up
// says why (pq_error gives it).
struct pq_waiting {
    const std::atomic<bool>* cancel = nullptr;
    int limit_ms = 0; // 0: no limit
    std::string gave_up;
};
constexpr int CANCEL_GRACE_MS = 700;
// Makes the statements on conn wait by waiting (which outlives the
// registration), or ends that.
void pq_watch(PGconn* conn, pq_waiting* waiting);
void pq_unwatch(PGconn* conn);
// Sets how long the statements on a watched conn wait for a byte (0: as
// long as the link lives, which keepalives watch); the limit it had.
int pq_set_reply_limit(PGconn* conn, int limit_ms);
// Waits until the reply in progress on conn has been read whole; false
// when the wait was cut short.
bool pq_wait_ready(PGconn* conn);
// Drives a connection begun with PQconnectStartParams (poll =
// PQconnectPoll) or PQresetStart (PQresetPoll) to its end, watching
// waiting's cancel and limit; false when it did not connect.
bool pq_connect_wait(PGconn* conn, pq_waiting& waiting, PostgresPollingStatusType (*poll)(PGconn*));

// The server's warnings and notices on conn (and libpq's own) are kept in
// notices, one text each without its severity, instead of reaching stderr.
void pq_keep_notices(PGconn* conn, std::vector<std::string>* notices);

// Runs statements that carry no values (transaction control, the schema).
pq_result pq_exec(PGconn* conn, const char* sql);
// True when the result is a command or rows that succeeded.
bool pq_ok(const pq_result& result);
// The server's or libpq's message for the last failure, on one line, in
// Windows-1252 as every text of the program.
std::string pq_error(PGconn* conn);
// Texts of a result row (an empty text for NULL).
std::string pq_text(const pq_result& result, int row, int column);
int64_t pq_int64(const pq_result& result, int row, int column);
// A binary float8 or int8 column.
double pq_binary_double(const pq_result& result, int row, int column);
int64_t pq_binary_int64(const pq_result& result, int row, int column);
