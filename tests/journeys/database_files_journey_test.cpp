// The database form's file and delete commands as a user meets them: a
// session made through its details dialog, a second database file and back,
// sweep files imported under their names, a test and a session deleted.
// After each step: what the lists show, that the tools stay usable, and what
// the file keeps.

#include "tests/db/db_test_support.h"
#include "tests/journeys/journey.h"
#include "tests/support/sqlite_reader.h"

#include <QtTest/QTest>

namespace fs = std::filesystem;

namespace {

using rows = std::vector<std::string>;

const char* const TOOLS[] = {
    "New Database",   "Open Database", "Add Test to Selection",      "Create Session",
    "Delete Session", "Delete Test",   "Remove Test from Selection", "15011"};

constexpr int IMPORT = 15011;

// The tools that work on an open database.
const char* const DATABASE_TOOLS[] = {"Add Test to Selection", "Remove Test from Selection",
                                      "Graph Selected Tests",  "Create Session",
                                      "Delete Session",        "Import Sweep File as a Test",
                                      "Delete Test",           "Export Selected Tests"};

// A sweep file in its tab-separated form: step, frequency, gain, phase.
void write_sweep(const fs::path& file, int points)
{
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < points; ++i)
        out << i + 1 << '\t' << 100 * (i + 1) << '\t' << -1.5 * i << '\t' << 10 * i << "\r\n";
}

std::string count(const std::string& file, const std::string& table, const std::string& where = "")
{
    const auto r = raw_query(file, "SELECT count(*) FROM " + table + where);
    return r.empty() ? "(unreadable)" : r[0][0];
}

class database_journey : public journey {
protected:
    void retype(const std::string& label, const std::string& text)
    {
        click_field(label);
        key(Qt::Key_A, Qt::ControlModifier);
        type(text);
    }
    std::string last_box() const { return boxes().empty() ? "(none)" : boxes().back().text; }
    void expect_tools_usable(const std::string& after)
    {
        for (const char* tool : TOOLS)
            EXPECT_TRUE(enabled(tool)) << tool << " is greyed after " << after;
    }
};

// How a user can end up with no database open: the settings name a file
// of random bytes or a folder, or Open Database is cancelled.
class no_database_journey : public database_journey,
                            public ::testing::WithParamInterface<const char*> {};

} // namespace

TEST_P(no_database_journey, TitleStatusAndToolsSayNoneIsOpenUntilOneIs)
{
    const std::string how = GetParam();
    const fs::path named = dir() / "target.db";
    if (how == "random bytes")
        std::ofstream(named, std::ios::binary) << std::string(4096, '\x9c') << "\x01\xff";
    else if (how == "folder")
        fs::create_directories(named);
    if (how != "cancelled open") {
        const s_app_paths paths = app_paths((dir() / "data").string());
        fs::create_directories(paths.data_folder);
        profile_write(paths.settings_file, "Init", "DatabaseFile", named.string());
    }
    const std::string chosen = (dir() / "chosen.db").string();
    run("HXM4100", [&] {
        click("DATABASE");
        if (how == "cancelled open") {
            test_ui().push_answer(IDYES); // break the connection; then no file is chosen
            click("Open Database");
        }
        EXPECT_TRUE(wait_for([&] { return main_title() == "Tarvelo2"; })) << main_title();
        EXPECT_EQ(status("status_database"), "No database");
        for (const char* tool : DATABASE_TOOLS)
            EXPECT_FALSE(enabled(tool)) << tool << " looks usable without a database";
        EXPECT_TRUE(enabled("New Database"));
        EXPECT_TRUE(enabled("Open Database"));
        screenshot("no_database");

        test_ui().push_file(chosen);
        click("New Database");
        EXPECT_TRUE(wait_for([&] { return main_title() == "chosen.db \u2014 Tarvelo2"; }))
            << main_title();
        expect_tools_usable("New Database after none");

        // A session the file cannot take keeps its dialog and what was typed.
        sqlite_reader reader(chosen, (dir() / "reader.txt").string());
        ASSERT_TRUE(reader.holding());
        click("Create Session");
        await_dialog("Add Session");
        fill_new_session("Bench A");
        EXPECT_EQ(last_box(), "Database file is locked\nError Code: 5");
        await_dialog("Add Session");
        EXPECT_EQ(field_text("Contract"), "Bench A");
    });
}

INSTANTIATE_TEST_SUITE_P(Ways, no_database_journey,
                         ::testing::Values("random bytes", "folder", "cancelled open"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST_F(database_journey, FilesImportsAndDeletesShowInTheListsAndKeepTheFileSound)
{
    const std::string first = (dir() / "default.db").string();
    const std::string second = (dir() / "second.db").string();
    const fs::path pruefung = dir() / "Pr\xC3\xBC"
                                      "fung.dat";
    const fs::path no_ansi_name = dir() / "\xE6\xB5\x8B.dat";
    write_sweep(pruefung, 5);
    write_sweep(dir() / "run.1.txt", 3);
    write_sweep(no_ansi_name, 2);
    run("HXM4100", [&] {
        click("DATABASE");
        expect_tools_usable("a fresh start");

        // Each refused rule keeps the dialog open with what was typed.
        click("Create Session");
        await_dialog("Add Session");
        type("B");
        click("Create Session");
        EXPECT_EQ(last_box(), "The value entered for Contract is too short. The minimum length "
                              "is 2 characters.");
        retype("Contract", "Bench A");
        retype("Unit", "U1");
        retype("Date", "31/02/2020");
        retype("Location", "Lab 2");
        retype("Performed By", "Ann");
        click("Create Session");
        EXPECT_EQ(last_box(), "Please enter a valid Date in DD/MM/YYYY format");
        await_dialog("Add Session");
        screenshot("session_details_refused");
        retype("Date", "7/12/2026");
        const rows shown{field_text("Contract"), field_text("Unit"), field_text("Date"),
                         field_text("Location"), field_text("Performed By")};
        click("Create Session");
        await_dialog("");
        EXPECT_EQ(list_rows("15100"), rows{"Bench A"});
        EXPECT_EQ(shown, (rows{"Bench A", "U1", "7/12/2026", "Lab 2", "Ann"}));
        const auto stored = raw_query(first, "SELECT * FROM Session");
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0],
                  (rows{"1", "Bench A", "U1", "2026-12-07 00:00:00", "Lab 2", "Ann", ""}));

        // A second file, a refused name, and back to the first.
        test_ui().push_file(second);
        click("New Database");
        EXPECT_TRUE(fs::exists(second));
        EXPECT_EQ(list_rows("15100"), rows{});
        expect_tools_usable("New Database");
        click("Create Session");
        await_dialog("Add Session");
        fill_new_session("Second");
        await_dialog("");
        EXPECT_EQ(list_rows("15100"), rows{"Second"});
        test_ui().push_file(second);
        click("New Database");
        EXPECT_EQ(last_box(), "A file with that name already exists");
        EXPECT_EQ(list_rows("15100"), rows{"Second"});
        screenshot("second_database");

        test_ui().push_answer(IDYES);
        test_ui().push_file(first);
        click("Open Database");
        EXPECT_EQ(boxes().at(boxes().size() - 1).text,
                  "Are you sure you want to break the connection to the database file " + second);
        EXPECT_TRUE(wait_for([&] { return list_rows("15100") == rows{"Bench A"}; }));
        EXPECT_EQ(count(second, "Session"), "1");
        EXPECT_EQ(profile_read(app_paths((dir() / "data").string()).settings_file, "Init",
                               "DatabaseFile", ""),
                  first);
        expect_tools_usable("Open Database");

        // Imports: the test takes the file's name in the database's own
        // text; a name the database cannot spell is refused.
        for (const fs::path& file : {pruefung, dir() / "run.1.txt", no_ansi_name}) {
            test_ui().push_file(file.string());
            click_id(IMPORT);
        }
        EXPECT_EQ(last_box(), "The file name holds a character that cannot be stored (only the "
                              "characters of Windows-1252 can)");
        click_row("15100", "Bench A");
        EXPECT_TRUE(wait_for([&] { return list_rows("15101").size() == 2; }));
        EXPECT_EQ(list_rows("15101"), (rows{"run.1", "Pr\xC3\xBC"
                                                     "fung"}));
        EXPECT_EQ(raw_query(first, "SELECT Name, TestDescription, SessionNo FROM Test ORDER BY "
                                   "TestNo"),
                  (std::vector<rows>{{"Pr\xFC"
                                      "fung",
                                      "Imported", "1"},
                                     {"run.1", "Imported", "1"}}));
        EXPECT_EQ(count(first, "Data"), "8");
        screenshot("imported");

        // The list starts on the test number, newest first; a header click
        // sorts on its column, a second turns it round.
        const std::string pruefung_test = "Pr\xC3\xBC"
                                          "fung";
        const rows newest_first{"run.1", pruefung_test};
        const rows oldest_first{pruefung_test, "run.1"};
        const struct {
            const char* click;
            rows shown;
            const char* arrow;
        } sorts[] = {{"", newest_first, "No. descending"},
                     {"Test Name", newest_first, "Test Name descending"},
                     {"Test Name", oldest_first, "Test Name ascending"},
                     {"No.", newest_first, "No. descending"},
                     {"No.", oldest_first, "No. ascending"}};
        for (const auto& sort : sorts) {
            if (*sort.click)
                click_header("15101", sort.click);
            EXPECT_EQ(list_rows("15101"), sort.shown) << sort.arrow;
            EXPECT_EQ(sorted_by("15101"), sort.arrow);
        }
        EXPECT_EQ(list_cells("15101").at(0).at(2), "1") << "the first import is test 1";
        EXPECT_EQ(lists_scrolling_sideways(), rows{});
        screenshot("sorted");

        // Delete test: No keeps it, Yes removes it with its points.
        click_row("15101", "Pr\xC3\xBC"
                           "fung");
        click("Delete Test");
        EXPECT_EQ(last_box(), "Are you sure you want to delete this test from the database");
        EXPECT_EQ(list_rows("15101").size(), 2u);
        test_ui().push_answer(IDYES);
        click("Delete Test");
        EXPECT_EQ(list_rows("15101"), rows{"run.1"});
        EXPECT_EQ(count(first, "Test"), "1");
        EXPECT_EQ(count(first, "Data"), "3");
        expect_tools_usable("Delete Test");

        // Delete session: its tests go with it, and out of the selection.
        click_row("15101", "run.1");
        click("Add Test to Selection");
        EXPECT_EQ(list_rows("15102"), rows{"Bench A"});
        click_row("15100", "Bench A");
        test_ui().push_answer(IDYES);
        click("Delete Session");
        EXPECT_EQ(last_box(),
                  "Are you sure you want to delete this session and associated tests from the "
                  "database");
        EXPECT_EQ(list_rows("15100"), rows{});
        EXPECT_EQ(list_rows("15101"), rows{});
        EXPECT_EQ(list_rows("15102"), rows{});
        expect_tools_usable("Delete Session");
        screenshot("session_deleted");
        EXPECT_EQ(count(first, "Session") + count(first, "Test") + count(first, "Data"), "000");

        // An import into a file without the import's session lists it.
        test_ui().push_file((dir() / "run.1.txt").string());
        click_id(IMPORT);
        EXPECT_TRUE(wait_for([&] { return list_rows("15100") == rows{"Imported"}; }));
    });
    for (const std::string& file : {first, second})
        EXPECT_EQ(raw_query(file, "PRAGMA integrity_check"), std::vector<rows>{{"ok"}}) << file;
    EXPECT_EQ(count(first, "Session") + count(first, "Test") + count(first, "Data"), "113");
}
