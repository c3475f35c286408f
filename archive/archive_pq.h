#pragma once
// The few libpq helpers the archive's statements share. Every value
// travels as a bound parameter; no statement text ever holds one.

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

// Runs statements that carry no values (transaction control, the schema).
pq_result pq_exec(PGconn* conn, const char* sql);
// True when the result is a command or rows that succeeded.
bool pq_ok(const pq_result& result);
// The server's or libpq's message for the last failure, on one line.
std::string pq_error(PGconn* conn);
// Texts of a result row (an empty text for NULL).
std::string pq_text(const pq_result& result, int row, int column);
int64_t pq_int64(const pq_result& result, int row, int column);
// A binary float8 or int8 column.
double pq_binary_double(const pq_result& result, int row, int column);
int64_t pq_binary_int64(const pq_result& result, int row, int column);
