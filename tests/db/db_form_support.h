#pragma once
// A test database with sessions and tests for the database form's tests,
// and the file's counts as a second connection sees them.
#include "db/db_access.h"
#include "db/db_form.h"
#include "db_test_support.h"

#include <string>

// Stores a session named name with tests test names, each with points
// points; returns its SessionNo.
inline int64_t add_session(const std::string& name, const std::string& unit,
                           const std::vector<std::string>& tests, int points = 3)
{
    s_session session;
    session.Name = name;
    session.Unit = unit;
    session.day = 1;
    session.month = 2;
    session.year = 2024;
    session.Location = "Bay " + name;
    if (db_save_session(session, false) != 0)
        return -1;
    for (const std::string& t : tests) {
        s_test test;
        test.SessionNo = session.SessionNo;
        test.Name = t;
        test.Winding = "HV";
        for (int i = 0; i < points; ++i) {
            const s_test_point p{10.0 * (i + 1), -double(i), -90.0 + i};
            test_add_point(test, &p);
        }
        if (!db_store_test(test))
            return -1;
    }
    return session.SessionNo;
}

// "sessions tests points" of the file, or "?" when it cannot be read.
inline std::string file_counts(const std::string& file)
{
    const auto rows = raw_query(file, "SELECT (SELECT COUNT(*) FROM Session) || ' ' || "
                                      "(SELECT COUNT(*) FROM Test) || ' ' || "
                                      "(SELECT COUNT(*) FROM Data)");
    return rows.empty() ? "?" : rows[0][0];
}

// Points without their test plus tests without their session.
inline std::string orphans(const std::string& file)
{
    const auto rows = raw_query(
        file, "SELECT (SELECT COUNT(*) FROM Data WHERE TestNo NOT IN (SELECT TestNo FROM Test)) + "
              "(SELECT COUNT(*) FROM Test WHERE SessionNo NOT IN (SELECT SessionNo FROM Session))");
    return rows.empty() ? "?" : rows[0][0];
}

inline std::string integrity(const std::string& file)
{
    const auto rows = raw_query(file, "PRAGMA integrity_check");
    return rows.empty() ? "?" : rows[0][0];
}

inline std::vector<std::string> names(const db_list& list)
{
    std::vector<std::string> out;
    for (const db_list_row& r : list.rows)
        out.push_back(r.text.substr(0, r.text.find('\t')));
    return out;
}
