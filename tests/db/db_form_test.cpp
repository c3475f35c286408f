#include "db/db_connection.h"
#include "db_form_support.h"

#include <filesystem>
#include <tuple>

namespace {

class DbForm : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        create();
        file = path("tests.db");
        db_set_current_path(file);
        a = add_session("alpha", "u3", {"a1", "a2"});
        b = add_session("bravo", "u1", {"b1"});
        c = add_session("charlie", "u2", {});
        form.refresh_sessions(false);
    }

    std::vector<std::string> box_texts()
    {
        std::vector<std::string> out;
        for (const ui_shown_box& box : ui.shown())
            out.push_back(box.text);
        ui.clear();
        return out;
    }

    void select_test(int64_t session, const std::string& name)
    {
        form.select_session_by_key(session);
        for (size_t i = 0; i < form.tests.rows.size(); ++i)
            if (form.tests.rows[i].text.rfind(name + "\t", 0) == 0)
                form.tests.selected = int(i);
    }

    db_form form;
    std::string file;
    int64_t a = 0, b = 0, c = 0;
};

TEST_F(DbForm, ColumnClicksToggleTheSameColumnAndStartANewOneDescending)
{
    struct step {
        int column;
        bool ascending;
        std::vector<std::string> order;
    };
    const step steps[] = {
        {0, true, {"alpha", "bravo", "charlie"}},  // same column (Name): DESC -> ASC
        {0, false, {"charlie", "bravo", "alpha"}}, // and back
        {1, false, {"alpha", "charlie", "bravo"}}, // Unit, a new column: DESC
        {1, true, {"bravo", "charlie", "alpha"}},
        {3, false, {"charlie", "bravo", "alpha"}}, // Location
    };
    EXPECT_EQ(names(form.sessions), (std::vector<std::string>{"charlie", "bravo", "alpha"}));
    form.select_session_by_key(b);
    for (const step& s : steps) {
        form.click_session_column(s.column);
        EXPECT_EQ(form.session_column, s.column);
        EXPECT_EQ(form.session_ascending, s.ascending);
        EXPECT_EQ(names(form.sessions), s.order);
        EXPECT_EQ(form.sessions.selected_key(), b) << "the session stays selected by key";
    }
    form.select_session_by_key(a);
    EXPECT_EQ(names(form.tests), (std::vector<std::string>{"a2", "a1"}));
    EXPECT_EQ(form.tests_column, DB_TESTS_BY_NUMBER) << "the list starts on the test number";
    // The test list sorts on the clicked column (test number, name,
    // winding); a new column starts descending, the same one flips.
    const std::tuple<int, bool, std::vector<std::string>> clicks[] = {
        {DB_TESTS_BY_NUMBER, true, {"a1", "a2"}},
        {DB_TESTS_BY_NAME, false, {"a2", "a1"}},
        {DB_TESTS_BY_NAME, true, {"a1", "a2"}},
        {DB_TESTS_BY_WINDING, false, {"a2", "a1"}}};
    for (const auto& [column, ascending, order] : clicks) {
        form.click_test_column(column);
        EXPECT_EQ(form.tests_column, column);
        EXPECT_EQ(form.tests_ascending, ascending);
        EXPECT_EQ(names(form.tests), order);
    }
}

TEST_F(DbForm, TestListFollowsTheSelectedSessionAndIsEmptyWithoutOne)
{
    const std::pair<int64_t, std::vector<std::string>> cases[] = {
        {a, {"a2", "a1"}}, {b, {"b1"}}, {c, {}}, {0, {}}, {a, {"a2", "a1"}}};
    for (const auto& [session, tests] : cases) {
        if (session)
            form.select_session_by_key(session);
        else
            form.select_session(-1);
        EXPECT_EQ(names(form.tests), tests) << session;
    }
    // A refresh by index keeps the row, clamped, and the tests follow it.
    form.select_session(2);
    db_exec("DELETE FROM Session WHERE SessionNo=" + std::to_string(a));
    form.refresh_sessions(false);
    EXPECT_EQ(form.sessions.selected, 1);
    EXPECT_EQ(names(form.tests), std::vector<std::string>{"b1"});
}

TEST_F(DbForm, SelectionHoldsNineTestsAndNeedsOneForGraphOrExport)
{
    EXPECT_TRUE(form.graph_keys().empty());
    EXPECT_TRUE(form.export_keys().empty());
    EXPECT_FALSE(form.add_to_selection());
    EXPECT_FALSE(form.remove_from_selection());
    EXPECT_EQ(box_texts(),
              (std::vector<std::string>{"Please add some tests to plot a graph",
                                        "Please add some tests to export", "Please select a test",
                                        "Please select a test"}));
    select_test(a, "a1");
    for (int i = 0; i < 9; ++i)
        EXPECT_TRUE(form.add_to_selection()) << i;
    EXPECT_FALSE(form.add_to_selection());
    EXPECT_EQ(box_texts(), std::vector<std::string>{"You may only select a maximum of 9 tests"});
    EXPECT_EQ(form.selection.rows.size(), 9u);
    EXPECT_EQ(form.selection.rows[0].text, "alpha\tu3\t1/2/2024\tBay alpha\ta1\tHV");

    // Removing the last row selects the new last one; keys stay in row order.
    form.selection.selected = 8;
    EXPECT_TRUE(form.remove_from_selection());
    EXPECT_EQ(form.selection.selected, 7);
    select_test(b, "b1");
    EXPECT_TRUE(form.add_to_selection());
    const std::vector<int> keys = form.graph_keys();
    ASSERT_EQ(keys.size(), 9u);
    EXPECT_EQ(keys.back(), form.tests.selected_key());
    EXPECT_EQ(keys, form.export_keys());
    EXPECT_TRUE(box_texts().empty());
}

TEST_F(DbForm, DeleteAsksWithNoAsDefaultAndNoLeavesTheFileByteIdentical)
{
    select_test(a, "a1");
    db_close();
    const std::string before = read_file("tests.db");
    ASSERT_TRUE(db_open(file, DB_OPEN_EXISTING));
    EXPECT_FALSE(form.delete_test());
    form.select_session_by_key(c);
    EXPECT_FALSE(form.delete_session());
    form.select_session_by_key(a);
    EXPECT_FALSE(form.delete_session());
    const auto shown = ui.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, "Are you sure you want to delete this test from the database");
    EXPECT_EQ(shown[1].text, "Are you sure you want to delete this session from the database");
    EXPECT_EQ(
        shown[2].text,
        "Are you sure you want to delete this session and associated tests from the database");
    for (const ui_shown_box& box : shown)
        EXPECT_EQ(box.style, unsigned(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2));
    db_close();
    EXPECT_EQ(read_file("tests.db"), before);
}

TEST_F(DbForm, DeletesRemoveRowsStaleSelectionsAndUnlistedTests)
{
    select_test(a, "a1");
    form.add_to_selection();
    select_test(b, "b1");
    form.add_to_selection();
    ui.set_default_yes(true);

    select_test(a, "a1");
    ASSERT_TRUE(form.delete_test());
    EXPECT_EQ(file_counts(file), "3 2 6");
    EXPECT_EQ(names(form.tests), std::vector<std::string>{"a2"});
    EXPECT_EQ(form.tests.selected, 0);
    EXPECT_EQ(form.selection.rows.size(), 1u) << "a deleted test leaves the selection";

    // A test stored after the list was read goes with its session too.
    form.select_session_by_key(b);
    s_test late;
    late.SessionNo = b;
    late.Name = "late";
    ASSERT_TRUE(db_store_test(late));
    ASSERT_TRUE(form.delete_session());
    EXPECT_EQ(file_counts(file), "2 1 3");
    EXPECT_TRUE(form.selection.rows.empty());
    EXPECT_EQ(orphans(file), "0");

    for (int64_t session : {a, c}) {
        form.select_session_by_key(session);
        ASSERT_TRUE(form.delete_session());
    }
    EXPECT_TRUE(form.sessions.rows.empty());
    EXPECT_TRUE(form.tests.rows.empty()) << "the last session gone empties the test list";
    EXPECT_EQ(file_counts(file), "0 0 0");
    form.select_session(-1);
    EXPECT_FALSE(form.delete_session());
    EXPECT_EQ(ui.shown().back().text, "Please select a session");
}

TEST_F(DbForm, CreateSessionListsAndSelectsItOrReportsAFailedStore)
{
    s_session session;
    session.Name = "delta";
    session.Unit = "u9";
    session.day = 3;
    session.month = 4;
    session.year = 2025;
    ASSERT_TRUE(form.store_new_session(session));
    EXPECT_EQ(form.sessions.selected_key(), session.SessionNo);
    EXPECT_EQ(form.sessions.rows[form.sessions.selected].text, "delta\tu9\t3/4/2025\t");
    EXPECT_TRUE(form.tests.rows.empty());

    db_exec("DROP TABLE Session");
    s_session lost;
    lost.Name = "echo";
    EXPECT_FALSE(form.store_new_session(lost));
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].caption, "Database Error");
}

} // namespace
