#include "archive/archive_pq.h"
#include "archive/archive_pull.h"
#include "base/ansi_text.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

std::string id_array(const std::vector<int64_t>& ids)
{
    std::string text = "{";
    for (int64_t id : ids)
        text += (text.size() > 1 ? "," : "") + std::to_string(id);
    return text + "}";
}

// A text of the archive in the program's Windows-1252, cut to width.
std::string local_text(const pq_result& r, int row, int column, size_t width)
{
    return db_fit(utf8_to_ansi(pq_text(r, row, column)), width);
}

int number(const pq_result& r, int row, int column)
{
    return int(std::strtol(pq_text(r, row, column).c_str(), nullptr, 10));
}

// The details of each test, keyed by archive id; the points' counts in counts.
bool fetch_rows(PGconn* conn, const std::string& ids, std::map<int64_t, archive_fetched>& rows,
                std::map<int64_t, int>& counts)
{
    pq_result r = pq_params().text(ids).exec(
        conn, "SELECT t.id, s.contract, s.unit, extract(year FROM s.session_date)::int, "
              "extract(month FROM s.session_date)::int, extract(day FROM s.session_date)::int, "
              "s.location, s.performed_by, s.comments, t.name, t.winding, t.description, "
              "t.point_count FROM archive_test t JOIN archive_session s ON s.id = t.session_id "
              "WHERE t.id = ANY ($1::bigint[])");
    if (!pq_ok(r))
        return false;
    for (int row = 0; row < PQntuples(r.get()); ++row) {
        archive_fetched f;
        f.archive_id = pq_int64(r, row, 0);
        f.session = {0,
                     local_text(r, row, 1, DB_NAME_WIDTH),
                     local_text(r, row, 2, DB_UNIT_WIDTH),
                     number(r, row, 3),
                     number(r, row, 4),
                     number(r, row, 5),
                     local_text(r, row, 6, DB_LOCATION_WIDTH),
                     local_text(r, row, 7, DB_PERFORMED_BY_WIDTH),
                     local_text(r, row, 8, DB_COMMENTS_WIDTH)};
        f.test.Name = local_text(r, row, 9, DB_NAME_WIDTH);
        f.test.Winding = local_text(r, row, 10, DB_WINDING_WIDTH);
        f.test.TestDescription = local_text(r, row, 11, DB_DESCRIPTION_WIDTH);
        counts[f.archive_id] = number(r, row, 12);
        rows[f.archive_id] = std::move(f);
    }
    return true;
}

bool fetch_points(PGconn* conn, const std::string& ids, std::map<int64_t, archive_fetched>& rows)
{
    pq_result r =
        pq_params().text(ids).exec(conn,
                                   "SELECT test_id, frequency, amplitude, phase FROM archive_point "
                                   "WHERE test_id = ANY ($1::bigint[]) ORDER BY test_id, seq",
                                   true);
    if (!pq_ok(r))
        return false;
    for (int row = 0; row < PQntuples(r.get()); ++row) {
        const s_test_point p{pq_binary_double(r, row, 1), pq_binary_double(r, row, 2),
                             pq_binary_double(r, row, 3)};
        if (test_add_point(rows[pq_binary_int64(r, row, 0)].test, &p) != 0)
            return false;
    }
    return true;
}

} // namespace

archive_outcome archive_fetch(archive_connection& archive, const std::vector<int64_t>& ids,
                              std::vector<archive_fetched>& fetched)
{
    const std::string array = id_array(ids);
    std::map<int64_t, archive_fetched> rows;
    std::map<int64_t, int> counts;
    // One snapshot for both reads, so a push in between cannot split them.
    PGconn* conn = archive.handle();
    const bool read = pq_ok(pq_exec(conn, "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY")) &&
                      fetch_rows(conn, array, rows, counts) && fetch_points(conn, array, rows);
    const std::string error = read ? std::string() : pq_error(conn);
    pq_exec(conn, "COMMIT");
    if (!read)
        return archive_outcome::fail(archive_status::failed,
                                     "The archived tests cannot be read: " + error);
    fetched.clear();
    for (int64_t id : ids) {
        auto it = rows.find(id);
        if (it == rows.end() || !counts.count(id))
            return archive_outcome::fail(archive_status::refused,
                                         "The archive holds no test " + std::to_string(id));
        if (it->second.test.points.count() != counts[id])
            return archive_outcome::fail(archive_status::failed, "The archived test " +
                                                                     std::to_string(id) +
                                                                     " is incomplete");
        fetched.push_back(it->second);
    }
    return {};
}
