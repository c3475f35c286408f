#pragma once
// Filling the open test database for a benchmark: sessions and tests of
// many points made by SQLite itself, in one statement each.

#include "db/db_connection.h"

#include <cstdio>
#include <string>

// A query of the numbers 1 to count.
inline std::string bench_numbers(int count)
{
    char text[160];
    std::snprintf(text, sizeof text,
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %d) "
                  "SELECT i FROM n",
                  count);
    return text;
}

// count sessions "Other 1" ... keyed from first_key on.
inline void bench_add_sessions(int count, int first_key = 1)
{
    db_exec("INSERT INTO Session (SessionNo, Name, Unit, Date, Location) SELECT i + " +
            std::to_string(first_key - 1) + ", 'Other ' || i, 'U', '2024-01-01 00:00:00', 'Bay' " +
            "FROM (" + bench_numbers(count) + ")");
}

// One more session, of tests x points.
inline void bench_add_session(int tests, int points)
{
    db_exec("INSERT INTO Session (Name, Unit, Date, Location) VALUES ('Bench', 'T1', "
            "'2024-01-01 00:00:00', 'Bay')");
    db_exec("INSERT INTO Test (SessionNo, Name, Winding) SELECT (SELECT MAX(SessionNo) FROM "
            "Session), 'Test ' || i, 'W1' FROM (" +
            bench_numbers(tests) + ")");
    db_exec("INSERT INTO Data (TestNo, Frequency, Amplitude, Graphed, Range, Phase) SELECT "
            "t.TestNo, p.i * 10, p.i, 1, 0, p.i FROM Test t, (" +
            bench_numbers(points) + ") p WHERE t.SessionNo = (SELECT MAX(SessionNo) FROM Session)");
}
