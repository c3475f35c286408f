#include "db/db_access.h"
#include "db/db_error.h"
#include "db/db_schema.h"
#include "db/db_statement.h"
#include "db_test_support.h"

#include <cstdio>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What "sqlite3 FILE .schema" prints for a new test database: the texts
// files in the field hold, byte for byte.
const char* const EXPECTED_SCHEMA =
    "CREATE TABLE Session ( SessionNo INTEGER PRIMARY KEY, Name VARCHAR2(50), Unit "
    "VARCHAR2(50), Date DATE, Location VARCHAR2(50), Performed By VARCHAR2(70), Comments "
    "VARCHAR2(150));\n"
    "CREATE UNIQUE INDEX Session_ID ON Session (SessionNo);\n"
    "CREATE TABLE Test ( TestNo INTEGER PRIMARY KEY, SessionNo INTEGER DEFAULT 0, Name "
    "VARCHAR2(50),Winding VARCHAR2(50), TestDescription VARCHAR2(100));\n"
    "CREATE INDEX Test_ID ON Test (SessionNo);\n"
    "CREATE INDEX TEST_INFO_ID ON Test (SessionNo);\n"
    "CREATE TABLE Data ( TestNo INTEGER NOT NULL DEFAULT 0, Frequency INTEGER DEFAULT 0, "
    "Amplitude INTEGER DEFAULT 0, Graphed BOOLEAN, Range INTEGER DEFAULT 0, DataNo INTEGER "
    "PRIMARY KEY, Phase INTEGER DEFAULT 0);\n"
    "CREATE INDEX Data_ID ON Data (TestNo);\n"
    "CREATE INDEX Data_Info_ID ON Data (TestNo);\n";

std::string run_sqlite_shell(const std::string& file)
{
    std::string out;
    FILE* pipe = ::popen(("sqlite3 '" + file + "' .schema").c_str(), "r");
    if (!pipe)
        return out;
    char block[4096];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, pipe)) > 0)
        out.append(block, got);
    ::pclose(pipe);
    return out;
}

using DbSchema = db_fixture;

TEST_F(DbSchema, NewFileHoldsExactlyTheFieldSchema)
{
    create();
    db_close();
    std::string schema;
    for (const auto& row : raw_query(path("tests.db"), "SELECT sql FROM sqlite_master"))
        schema += row[0] + ";\n";
    EXPECT_EQ(schema, EXPECTED_SCHEMA);

    // The unquoted "Performed By" is recorded as column Performed of type
    // "By VARCHAR2(70)"; reads go by position, so that must not matter.
    const auto columns = raw_query(path("tests.db"), "PRAGMA table_info(Session)");
    ASSERT_EQ(columns.size(), 7u);
    EXPECT_EQ(columns[5][1], "Performed");
    EXPECT_EQ(columns[5][2], "By VARCHAR2(70)");

    if (::access("/usr/bin/sqlite3", X_OK) == 0) {
        EXPECT_EQ(run_sqlite_shell(path("tests.db")), EXPECTED_SCHEMA);
    }
}

TEST_F(DbSchema, SchemaScriptsRunAgainOnAFileThatHasTheTables)
{
    create();
    s_session session;
    session.Name = "gone";
    ASSERT_EQ(db_save_session(session, false), 0);
    db_close();
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(path("tests.db").c_str(), &handle), SQLITE_OK);
    EXPECT_EQ(db_create_schema(handle), SQLITE_OK);
    sqlite3_close(handle);
    EXPECT_TRUE(raw_query(path("tests.db"), "SELECT * FROM Session").empty());
}

TEST_F(DbSchema, OpenRefusesWhatIsNoTestDatabase)
{
    write_file("notes.db", "These are not the droids you are looking for.\n");
    EXPECT_FALSE(db_open(path("notes.db"), DB_OPEN_EXISTING));
    EXPECT_FALSE(db_is_open());
    bool is_new = true;
    EXPECT_FALSE(db_open(path("notes.db"), DB_OPEN_OR_CREATE, &is_new));
    EXPECT_FALSE(is_new);
    EXPECT_EQ(read_file("notes.db"), "These are not the droids you are looking for.\n");

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path("other.db").c_str(), &other), SQLITE_OK);
    sqlite3_exec(other, "CREATE TABLE Readings (x)", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_FALSE(db_open(path("other.db"), DB_OPEN_EXISTING));

    // A missing file is not created in open-existing mode, and the failed
    // open is shown with the error-code table.
    EXPECT_FALSE(db_open(path("missing.db"), DB_OPEN_EXISTING));
    EXPECT_FALSE(std::filesystem::exists(path("missing.db")));
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_EQ(ui.shown().back().text, "Unable to open Database file\nError Code: 14");
    EXPECT_EQ(ui.shown().back().caption, "Database Error");
    EXPECT_EQ(ui.shown().back().style, unsigned(MB_OK | MB_ICONWARNING));
}

TEST_F(DbSchema, EmptyDatabaseOpensAndAnyOtherModeCloses)
{
    create();
    db_close();
    EXPECT_TRUE(db_open(path("tests.db"), DB_OPEN_EXISTING));
    EXPECT_FALSE(db_open(path("tests.db"), 2));
    EXPECT_FALSE(db_is_open());
    s_session session;
    EXPECT_EQ(db_save_session(session, false), -1);
    EXPECT_EQ(db_exec("SELECT 1"), -1);
    EXPECT_EQ(db_begin(), -1);
}

TEST_F(DbSchema, NewFileWhoseSchemaFailsIsDeleted)
{
    // A folder in the way of the rollback journal makes the first read
    // fail after the file itself has been created.
    ASSERT_EQ(::mkdir(path("fresh.db-journal").c_str(), 0700), 0);
    bool is_new = false;
    EXPECT_FALSE(db_open(path("fresh.db"), DB_OPEN_OR_CREATE, &is_new));
    EXPECT_TRUE(is_new);
    EXPECT_FALSE(std::filesystem::exists(path("fresh.db")));
    EXPECT_FALSE(db_is_open());
}

TEST(DbError, CodeTableTexts)
{
    EXPECT_EQ(db_error_text(2), "SQL Internal Error\nError Code: 2");
    EXPECT_EQ(db_error_text(5), "Database file is locked\nError Code: 5");
    EXPECT_EQ(db_error_text(13), "Databse Full!\nError Code: 13");
    EXPECT_EQ(db_error_text(19), "Constraint Violation\nError Code: 19");
    EXPECT_EQ(db_error_text(26), "File selected is not a Database\nError Code: 26");
    EXPECT_EQ(db_error_text(1), "Unknown Error\nError Code: 1");
    EXPECT_EQ(db_error_text(27), "Unknown Error\nError Code: 27");
    EXPECT_EQ(db_error_text(-1), "Unknown Error\nError Code: -1");
}

TEST(DbError, GivenMessageIsCutTo1023Characters)
{
    scripted_ui ui;
    ui_set_backend(&ui);
    db_report_error(std::string(2000, 'x').c_str());
    ui_set_backend(nullptr);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, std::string(1023, 'x'));
    EXPECT_EQ(ui.shown()[0].caption, "Database Error");
}

} // namespace

// A file that another program holds, or that is no test database, leaves
// the database open before untouched; only the foreign one is called so.
TEST_F(DbSchema, FailedOpenKeepsThePreviousDatabaseAndNamesALock)
{
    create("other.db");
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(path("other.db").c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    db_close();
    write_file("notes.db", std::string(4096, 'n'));
    const struct {
        const char* file;
        bool foreign;
        const char* shown; // null: nothing shown
    } cases[] = {{"other.db", false, "Database file is locked\nError Code: 5"},
                 {"notes.db", true, nullptr},
                 {"missing.db", false, "Unable to open Database file\nError Code: 14"}};
    create();
    for (const auto& c : cases) {
        ui.clear();
        EXPECT_FALSE(db_open(path(c.file), DB_OPEN_EXISTING)) << c.file;
        EXPECT_EQ(db_last_open_foreign(), c.foreign) << c.file;
        ASSERT_EQ(ui.shown().size(), c.shown ? 1u : 0u) << c.file;
        if (c.shown) {
            EXPECT_EQ(ui.shown()[0].text, c.shown) << c.file;
        }
        ASSERT_TRUE(db_is_open()) << c.file;
        EXPECT_EQ(std::string(sqlite3_db_filename(db_handle(), "main")), path("tests.db"));
    }
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    ui.clear();
    EXPECT_TRUE(db_open(path("other.db"), DB_OPEN_EXISTING));
    EXPECT_TRUE(ui.shown().empty());
    if (::geteuid() != 0) { // the superuser may write any file
        ASSERT_EQ(::chmod(path("other.db").c_str(), 0444), 0);
        EXPECT_TRUE(db_open(path("other.db"), DB_OPEN_EXISTING));
        EXPECT_TRUE(ui.shown().empty()); // a read-only file is told of on a write
    }
}
