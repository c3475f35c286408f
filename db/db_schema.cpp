#include "db/db_schema.h"

#include <cstdio>
#include <sqlite3.h>

namespace {

constexpr const char* SESSION_COLUMNS[] = {"SessionNo", "Name",         "Unit",    "Date",
                                           "Location",  "Performed By", "Comments"};
constexpr const char* TEST_COLUMNS[] = {"TestNo", "SessionNo", "Name", "Winding",
                                        "TestDescription"};
constexpr const char* DATA_COLUMNS[] = {"TestNo", "Frequency", "Amplitude", "Graphed",
                                        "Range",  "DataNo",    "Phase"};

template <typename... Args> std::string format(const char* pattern, Args... args)
{
    char text[512];
    std::snprintf(text, sizeof text, pattern, args...);
    return text;
}

std::string create_session()
{
    return format("CREATE TABLE %s ( %s INTEGER PRIMARY KEY, %s VARCHAR2(%d), %s VARCHAR2(%d), "
                  "%s DATE, %s VARCHAR2(%d), %s VARCHAR2(%d), %s VARCHAR2(%d))",
                  "Session", "SessionNo", "Name", 50, "Unit", 50, "Date", "Location", 50,
                  "Performed By", 70, "Comments", 150);
}

std::string create_test()
{
    return format("CREATE TABLE %s ( %s INTEGER PRIMARY KEY, %s INTEGER DEFAULT 0, "
                  "%s VARCHAR2(%d),%s VARCHAR2(%d), %s VARCHAR2(%d))",
                  "Test", "TestNo", "SessionNo", "Name", 50, "Winding", 50, "TestDescription", 100);
}

std::string create_data()
{
    return format("CREATE TABLE %s ( %s INTEGER NOT NULL DEFAULT 0, %s INTEGER DEFAULT 0, "
                  "%s INTEGER DEFAULT 0, %s BOOLEAN, %s INTEGER DEFAULT 0, "
                  "%s INTEGER PRIMARY KEY, %s INTEGER DEFAULT 0)",
                  "Data", "TestNo", "Frequency", "Amplitude", "Graphed", "Range", "DataNo",
                  "Phase");
}

std::string index_if_missing(const char* index, const char* table, const char* column)
{
    return format("CREATE INDEX IF NOT EXISTS %s ON %s (%s)", index, table, column);
}

} // namespace

std::vector<std::string> db_schema_script(int table)
{
    const char* name = db_table_name(static_cast<db_table>(table));
    std::vector<std::string> script{"BEGIN TRANSACTION", format("DROP TABLE IF EXISTS %s", name)};
    switch (table) {
    case 0:
        script.push_back(create_session());
        script.push_back(format("CREATE UNIQUE INDEX Session_ID ON %s (%s)", name, "SessionNo"));
        break;
    case 1:
        script.push_back(create_test());
        script.push_back(index_if_missing("Test_ID", name, "SessionNo"));
        script.push_back(index_if_missing("TEST_INFO_ID", name, "SessionNo"));
        break;
    default:
        script.push_back(create_data());
        script.push_back(index_if_missing("Data_ID", name, "TestNo"));
        script.push_back(index_if_missing("Data_Info_ID", name, "TestNo"));
        break;
    }
    script.push_back("COMMIT TRANSACTION");
    return script;
}

int db_create_schema(sqlite3* handle)
{
    // One transaction for all three tables: each script's own BEGIN and
    // COMMIT are left out.
    std::vector<std::string> statements{"BEGIN TRANSACTION"};
    for (int table = 0; table < 3; ++table) {
        const std::vector<std::string> script = db_schema_script(table);
        statements.insert(statements.end(), script.begin() + 1, script.end() - 1);
    }
    statements.push_back("COMMIT TRANSACTION");
    for (const std::string& sql : statements) {
        const int rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_exec(handle, "ROLLBACK TRANSACTION", nullptr, nullptr, nullptr);
            return rc;
        }
    }
    return SQLITE_OK;
}

const char* db_table_name(db_table table)
{
    switch (table) {
    case db_table::session: return "Session";
    case db_table::test: return "Test";
    case db_table::data: return "Data";
    }
    return "Data";
}

const char* db_column_name(db_table table, int position)
{
    if (position < 0)
        return nullptr;
    switch (table) {
    case db_table::session: return position < 7 ? SESSION_COLUMNS[position] : nullptr;
    case db_table::test: return position < 5 ? TEST_COLUMNS[position] : nullptr;
    case db_table::data: return position < 7 ? DATA_COLUMNS[position] : nullptr;
    }
    return nullptr;
}
