#pragma once
// A test database file filled with sessions and tests of known points, and
// an archive database of its own in the program's cluster.

#include "archive/archive_connection.h"
#include "db/db_access.h"
#include "tests/db/db_test_support.h"
#include "tests/support/archive_cluster.h"

#include <cmath>

// Adds a session to the open file; its key.
inline int64_t archive_add_session(const std::string& contract, const std::string& unit, int year,
                                   const std::string& location)
{
    s_session s;
    s.Name = contract;
    s.Unit = unit;
    s.year = year, s.month = 3, s.day = 14;
    s.Location = location;
    s.PerformedBy = "R. Hollis";
    s.Comments = "yearly test";
    EXPECT_EQ(db_save_session(s, false), 0);
    return s.SessionNo;
}

// Adds a test of points points whose values depend on seed; its key.
inline int64_t archive_add_test(int64_t session, const std::string& name,
                                const std::string& winding, int points, double seed)
{
    s_test t;
    t.SessionNo = session;
    t.Name = name;
    t.Winding = winding;
    t.TestDescription = "FRA";
    for (int i = 0; i < points; ++i) {
        const double f = 20.0 * std::pow(1.0025, i);
        const s_test_point p{f, -20.0 * std::log10(1 + f / (1000 * seed)), std::sin(f) / 3};
        test_add_point(t, &p);
    }
    EXPECT_TRUE(db_store_test(t));
    return t.TestNo;
}

class archive_fixture : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        ARCHIVE_CLUSTER_OR_SKIP(cluster);
        url = cluster.fresh_database();
        ASSERT_FALSE(url.empty()) << cluster.last_error();
        database = archive_database_name(url);
    }

    int64_t count(const std::string& table)
    {
        return std::stoll(
            archive_cluster::shared().value("SELECT count(*) FROM " + table, database));
    }

    std::string url;
    std::string database;
};
