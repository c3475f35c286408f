#include "archive/archive_search.h"

#include "archive/archive_identity.h"
#include "archive/archive_pq.h"
#include "base/ansi_text.h"

#include <cctype>

namespace {

struct where_clause {
    std::string sql;
    pq_params params;
    int count = 0;

    void add(const std::string& value, const std::string& condition)
    {
        if (value.empty())
            return;
        params.text(ansi_to_utf8(value));
        std::string text = condition;
        text.replace(text.find('?'), 1, "$" + std::to_string(++count));
        sql += (sql.empty() ? " WHERE " : " AND ") + text;
    }
};

} // namespace

bool archive_date_text_valid(const std::string& text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return archive_valid_date(std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)),
                              std::stoi(text.substr(8, 2)));
}

archive_outcome archive_check_filter(const archive_filter& filter)
{
    for (const std::string* date : {&filter.from, &filter.to})
        if (!date->empty() && !archive_date_text_valid(*date))
            return archive_outcome::fail(archive_status::refused,
                                         "'" + *date + "' is no date: give dates as YYYY-MM-DD");
    return {};
}

archive_outcome archive_search(archive_connection& archive, const archive_filter& filter,
                               std::vector<archive_found>& found)
{
    if (archive_outcome o = archive_check_filter(filter); !o.ok())
        return o;
    where_clause where;
    where.add(filter.contract, "lower(s.contract) = lower(?)");
    where.add(filter.unit, "lower(s.unit) = lower(?)");
    where.add(filter.location, "lower(s.location) = lower(?)");
    where.add(filter.winding, "lower(t.winding) = lower(?)");
    where.add(filter.test_name, "lower(t.name) = lower(?)");
    where.add(filter.from, "t.test_date >= ?::date");
    where.add(filter.to, "t.test_date <= ?::date");
    std::string sql = "SELECT t.id, s.contract, s.unit, to_char(t.test_date, 'YYYY-MM-DD'), "
                      "s.location, t.name, t.winding, t.point_count FROM archive_test t "
                      "JOIN archive_session s ON s.id = t.session_id" +
                      where.sql + " ORDER BY t.test_date, t.id";
    if (filter.limit > 0) {
        where.params.number(filter.limit);
        sql += " LIMIT $" + std::to_string(++where.count);
    }
    pq_result r = where.params.exec(archive.handle(), sql.c_str());
    if (!pq_ok(r))
        return archive_outcome::fail(archive_status::failed, "The archive cannot be searched: " +
                                                                 pq_error(archive.handle()));
    found.clear();
    for (int row = 0; row < PQntuples(r.get()); ++row)
        found.push_back({pq_int64(r, row, 0), utf8_to_ansi(pq_text(r, row, 1)),
                         utf8_to_ansi(pq_text(r, row, 2)), pq_text(r, row, 3),
                         utf8_to_ansi(pq_text(r, row, 4)), utf8_to_ansi(pq_text(r, row, 5)),
                         utf8_to_ansi(pq_text(r, row, 6)), int(pq_int64(r, row, 7))});
    return {};
}
