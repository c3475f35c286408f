#include "db/db_access.h"
#include "db/db_last.h"
#include "db_test_support.h"

namespace {

class DbLast : public db_fixture {
protected:
    db_path_writer remember()
    {
        return [this](const std::string& path) { remembered.push_back(path); };
    }
    std::vector<std::string> remembered;
};

TEST_F(DbLast, OpensTheLastFileAndRemembersIt)
{
    create();
    db_close();
    db_set_current_path(path("tests.db"));
    EXPECT_TRUE(db_open_last(remember()));
    EXPECT_TRUE(db_is_open());
    EXPECT_EQ(remembered, std::vector<std::string>{path("tests.db")});
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(DbLast, AFileThatIsNoDatabaseIsReportedAndNothingStaysOpen)
{
    create();
    write_file("junk.db", std::string(4096, 'j'));
    db_set_current_path(path("junk.db"));
    EXPECT_FALSE(db_open_last(remember()));
    EXPECT_FALSE(db_is_open());
    EXPECT_TRUE(remembered.empty());
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text,
              "Unable to open the last used database file <" + path("junk.db") + ">");
    EXPECT_EQ(ui.shown()[0].caption, "Tarvelo2");
    EXPECT_EQ(ui.shown()[0].style, unsigned(MB_OK | MB_ICONINFORMATION));

    db_set_current_path({});
    EXPECT_FALSE(db_open_last(remember()));
    EXPECT_EQ(ui.shown().size(), 1u);
}

TEST_F(DbLast, StartUpFallsBackToDefaultDatabaseInTheCurrentFolder)
{
    db_set_current_path(path("moved-away.db"));
    const bool opened = db_open_at_startup(dir, remember());

    EXPECT_TRUE(opened);
    const std::string fallback = dir + "/default.db";
    EXPECT_EQ(db_current_path(), fallback);
    EXPECT_EQ(remembered, std::vector<std::string>{fallback});
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "Unable to load last database file:\n" + path("moved-away.db") +
                                      "\nLoading default database.");
    EXPECT_EQ(ui.shown()[0].caption, "Tarvelo2");
    EXPECT_EQ(ui.shown()[0].style, unsigned(MB_OK));
    s_session session;
    EXPECT_EQ(db_save_session(session, false), 0);
}

// No last database (a first start) takes the default without a word; a last
// database that still exists is opened as it is.
TEST_F(DbLast, StartUpKeepsAnExistingLastDatabaseAndIsSilentWithoutOne)
{
    db_set_current_path({});
    EXPECT_TRUE(db_open_at_startup(dir, remember()));
    EXPECT_EQ(db_current_path(), dir + "/default.db");
    EXPECT_TRUE(ui.shown().empty());

    const std::string kept = path("kept.db");
    bool is_new = false;
    ASSERT_TRUE(db_open(kept, DB_OPEN_OR_CREATE, &is_new));
    db_close();
    db_set_current_path(kept);
    EXPECT_TRUE(db_open_at_startup(dir, remember()));
    EXPECT_EQ(db_current_path(), kept);
    EXPECT_TRUE(ui.shown().empty());
}

} // namespace
