// The database form and the mode windows are usable whichever mode the main
// controls were last refreshed in.

#include "tests/journeys/journey.h"

namespace {

const char* const DATABASE_FORM[] = {"New Database", "Open Database", "Create Session",
                                     "15100",        "15101",         "15102"};

} // namespace

TEST_F(journey, DatabaseFormIsUsableAfterAFreshStartAndItsToolsReact)
{
    const std::string created = (dir() / "bench.db").string();
    run("HXM4100", [&] {
        click("DATABASE");
        screenshot("database_form");
        for (const char* control : DATABASE_FORM)
            EXPECT_TRUE(enabled(control)) << control << " is greyed";

        test_ui().push_file(created);
        click("New Database");
        EXPECT_TRUE(std::filesystem::exists(created));

        click("Create Session");
        await_dialog("Add Session");
        screenshot("add_session");
        fill_new_session("Bench A");
        EXPECT_TRUE(wait_for([&] { return !list_rows("15100").empty(); }));
        EXPECT_EQ(list_rows("15100"), std::vector<std::string>{"Bench A"});
        screenshot("session_created");
    });
}

TEST_F(journey, ModeWindowIsUsableAfterARefreshInTheDatabaseView)
{
    run("HXM4100", [&] {
        click("DATABASE");
        menu({"Configure", "Connection..."});
        await_dialog("Connect");
        click("Cancel");
        EXPECT_TRUE(wait_for([&] { return !boxes().empty(); }));
        EXPECT_EQ(boxes().at(0).text, "No connection was made");
        for (const char* control : DATABASE_FORM)
            EXPECT_TRUE(enabled(control)) << control << " is greyed";
        click("MEASURE");
        screenshot("fra_window");
        for (const char* view : {"REALTIME", "GRAPH", "TABLE"})
            EXPECT_TRUE(enabled(view)) << view << " is greyed";
    });
}
