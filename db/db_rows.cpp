#include "db/db_rows.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

std::string field(const db_statement& row, int column, size_t width, bool display)
{
    std::string text = db_fit(row.text(column), width);
    if (display)
        std::erase(text, '\t');
    return text;
}

int number_at(const std::string& text, size_t offset)
{
    if (offset >= text.size())
        return 0;
    const long value = std::strtol(text.c_str() + offset, nullptr, 10);
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

} // namespace

void db_read_session_row(const db_statement& row, s_session& session, bool display)
{
    session.SessionNo = row.int64(0);
    session.Name = field(row, 1, DB_NAME_WIDTH, display);
    session.Unit = field(row, 2, DB_UNIT_WIDTH, display);
    db_parse_date(row.text(3), session.year, session.month, session.day);
    session.Location = field(row, 4, DB_LOCATION_WIDTH, display);
    session.PerformedBy = field(row, 5, DB_PERFORMED_BY_WIDTH, display);
    session.Comments = field(row, 6, DB_COMMENTS_WIDTH, display);
}

void db_read_test_row(const db_statement& row, s_test& test, bool display)
{
    test.TestNo = row.int64(0);
    test.SessionNo = row.int64(1);
    test.Name = field(row, 2, DB_NAME_WIDTH, display);
    test.Winding = field(row, 3, DB_WINDING_WIDTH, display);
    test.TestDescription = field(row, 4, DB_DESCRIPTION_WIDTH, display);
}

void db_parse_date(const std::string& text, int& year, int& month, int& day)
{
    year = number_at(text, 0);
    month = number_at(text, 5);
    day = number_at(text, 8);
}

std::string db_list_date(const s_session& session)
{
    return std::to_string(session.day) + "/" + std::to_string(session.month) + "/" +
           std::to_string(session.year);
}
