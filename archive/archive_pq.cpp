#include "archive/archive_pq.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <endian.h>

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
    return pq_result(PQexecParams(conn, sql, int(values_.size()), nullptr, data.data(),
                                  lengths.data(), formats.data(), result_binary ? 1 : 0),
                     &PQclear);
}

pq_result pq_exec(PGconn* conn, const char* sql)
{
    return pq_result(PQexec(conn, sql), &PQclear);
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
    std::string text = conn ? PQerrorMessage(conn) : "no connection";
    // libpq's messages end in a newline and may carry a DETAIL line.
    if (const size_t end = text.find('\n'); end != std::string::npos)
        text.resize(end);
    if (text.rfind("ERROR:  ", 0) == 0)
        text.erase(0, 8);
    return text.empty() ? "the archive did not answer" : text;
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
