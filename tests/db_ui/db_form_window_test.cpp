#include "app/ui/main_window.h"
#include "base/command_ids.h"
#include "base/ui/control_windows.h"
#include "base/ui/export_entry.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/ui/db_form_windows.h"
#include "tests/support/qt_test_app.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <fstream>
#include <gtest/gtest.h>

namespace {

std::vector<int> exported;
void record_export(QWidget*, const std::vector<int>& keys)
{
    exported = keys;
}

class DbFormWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_qt_app();
        test_ui().clear();
        test_ui().set_default_yes(false);
        prepare_test_settings((dir / "data").string());
        db_register_windows();
        fill_default_database();
        w = std::make_unique<main_window>((dir / "data").string(), dir.str());
        w->resize(1024, 700);
        w->show();
        post_click(CMD_DATABASE);
        pump();
        view = db_current_view();
        ASSERT_TRUE(view);
        ASSERT_TRUE(wait_until([this] { return list(DB_LIST_SESSIONS)->topLevelItemCount() > 0; }));
    }

    void TearDown() override
    {
        w.reset();
        set_tests_exporter(nullptr);
    }

    // 10 000 sessions; session 1 holds three tests.
    void fill_default_database()
    {
        bool is_new = false;
        ASSERT_TRUE(db_open((dir / "default.db").string(), DB_OPEN_OR_CREATE, &is_new));
        db_exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
                "INSERT INTO Session (Name, Unit, Date, Location) SELECT printf('S%05d', i), "
                "'U' || (i % 7), '2024-01-01 00:00:00', 'L' FROM n");
        for (const char* name : {"t1", "t2", "t3"}) {
            s_test test;
            test.SessionNo = 1;
            test.Name = name;
            test.Winding = "HV";
            ASSERT_TRUE(db_store_test(test));
        }
        db_close();
    }

    QTreeWidget* list(int id) { return view->list(id); }
    void click(int id)
    {
        post_click(id);
        pump();
    }
    void choose(int id, int row)
    {
        list(id)->setCurrentItem(list(id)->topLevelItem(row));
        pump();
    }
    void shot(const char* name)
    {
        if (const char* out = std::getenv("DB_SCREENSHOT_DIR"))
            w->grab().save(QString("%1/%2.png").arg(out, name));
    }

    temp_folder dir{"tarvelo_db_form"};
    std::unique_ptr<main_window> w;
    db_view_window* view = nullptr;
};

TEST_F(DbFormWindow, ListsHaveHeadersEqualColumnsAndFollowTheSessionAndSortClicks)
{
    struct expected {
        int id;
        QStringList headers;
    };
    const expected lists[] = {
        {DB_LIST_SESSIONS, {"Session Name", "Unit", "Test Date", "Location"}},
        {DB_LIST_TESTS, {"Test Name", "Winding", "No."}},
        {DB_LIST_SELECTION,
         {"Session Name", "Unit", "Date of Test", "Location", "Test Name", "Winding"}},
    };
    // Columns fill the list's width exactly, refitted by the lists
    // themselves: no horizontal scroll bar, no empty strip.
    const auto expect_fitted = [&](const std::string& when) {
        for (const expected& e : lists) {
            QTreeWidget* l = list(e.id);
            EXPECT_EQ(l->header()->length(), l->viewport()->width()) << e.id << " " << when;
            EXPECT_FALSE(l->horizontalScrollBar()->isVisible()) << e.id << " " << when;
        }
    };
    for (const expected& e : lists) {
        QTreeWidget* l = list(e.id);
        EXPECT_TRUE(l->isVisible()) << e.id;
        QStringList headers;
        for (int c = 0; c < l->columnCount(); ++c)
            headers << l->headerItem()->text(c);
        EXPECT_EQ(headers, e.headers);
    }
    expect_fitted("as shown");
    list(DB_LIST_SELECTION)
        ->setStyleSheet(list(DB_LIST_SELECTION)->styleSheet() +
                        " QTreeView { border: 6px solid gray; }");
    pump();
    expect_fitted("with a wider frame");
    for (QSize size : {QSize(1100, 720), QSize(900, 650), QSize(1300, 820), QSize(1024, 700)}) {
        w->resize(size);
        pump();
        expect_fitted("at width " + std::to_string(size.width()));
    }
    QTreeWidget* sessions = list(DB_LIST_SESSIONS);
    ASSERT_EQ(sessions->topLevelItemCount(), 10000);
    EXPECT_EQ(sessions->topLevelItem(0)->text(0), "S10000"); // Name, descending
    EXPECT_EQ(list(DB_LIST_TESTS)->topLevelItemCount(), 0) << "no session selected yet";

    choose(DB_LIST_SESSIONS, 9999);
    EXPECT_EQ(sessions->topLevelItem(9999)->text(0), "S00001");
    EXPECT_EQ(list(DB_LIST_TESTS)->topLevelItemCount(), 3);
    EXPECT_EQ(list(DB_LIST_TESTS)->topLevelItem(0)->text(0), "t3");

    // Sort clicks: the same column flips, a new column starts descending;
    // the selected session stays selected by key.
    const std::tuple<int, Qt::SortOrder, QString> clicks[] = {
        {0, Qt::AscendingOrder, "S00001"},
        {1, Qt::DescendingOrder, "U6"},
        {1, Qt::AscendingOrder, "U0"},
    };
    for (const auto& [column, order, first] : clicks) {
        emit sessions->header()->sectionClicked(column);
        pump();
        EXPECT_EQ(sessions->header()->sortIndicatorSection(), column);
        EXPECT_EQ(sessions->header()->sortIndicatorOrder(), order);
        EXPECT_EQ(sessions->topLevelItem(0)->text(column), first);
        ASSERT_TRUE(sessions->currentItem());
        EXPECT_EQ(sessions->currentItem()->text(0), "S00001");
    }
    // The test list starts on the number, newest first; its columns sort
    // the same way, and the arrow sits where the list is sorted.
    QHeaderView* tests = list(DB_LIST_TESTS)->header();
    EXPECT_EQ(tests->sortIndicatorSection(), 2);
    const std::tuple<int, Qt::SortOrder, QString> test_clicks[] = {{0, Qt::DescendingOrder, "t3"},
                                                                   {0, Qt::AscendingOrder, "t1"},
                                                                   {2, Qt::DescendingOrder, "t3"}};
    for (const auto& [column, order, first] : test_clicks) {
        emit tests->sectionClicked(column);
        pump();
        EXPECT_EQ(tests->sortIndicatorSection(), column);
        EXPECT_EQ(tests->sortIndicatorOrder(), order);
        EXPECT_EQ(list(DB_LIST_TESTS)->topLevelItem(0)->text(0), first);
    }

    // A session stored and one deleted change one row of the list each; the
    // items of the others stay as they were.
    const auto matches = [&] {
        const std::vector<db_list_row>& rows = view->form().sessions.rows;
        for (int i = 0; i < int(rows.size()); ++i)
            if (sessions->topLevelItem(i)->text(0).toStdString() !=
                rows[size_t(i)].text.substr(0, rows[size_t(i)].text.find('\t')))
                return false;
        return sessions->topLevelItemCount() == int(rows.size());
    };
    QTreeWidgetItem* const last = sessions->topLevelItem(9999);
    s_session added;
    added.Name = "S00001a";
    added.Unit = "U3";
    added.year = 2024;
    added.month = added.day = 1;
    ASSERT_TRUE(view->form().store_new_session(added));
    view->sync();
    EXPECT_TRUE(matches());
    EXPECT_EQ(sessions->topLevelItem(10000), last);
    EXPECT_EQ(sessions->currentItem()->text(0), "S00001a");
    test_ui().set_default_yes(true);
    view->on_command(DB_CMD_DELETE_SESSION, 0);
    EXPECT_TRUE(matches());
    EXPECT_EQ(sessions->topLevelItem(9999), last);
}

TEST_F(DbFormWindow, SelectedRowIsWhiteOnRedWithoutFocusAndButtonsForwardToTheLists)
{
    for (const auto& [id, tip] :
         std::vector<std::pair<int, QString>>{{DB_TOOL_NEW, "New Database"},
                                              {DB_TOOL_GRAPH, "Graph Selected Tests"},
                                              {DB_TOOL_EXPORT, "Export Selected Tests"},
                                              {DB_TOOL_IMPORT, "Import Sweep File as a Test"}})
        EXPECT_EQ(control_by_id(id)->toolTip(), tip) << id;
    EXPECT_FALSE(control_by_id(DB_TOOL_EXPORT)->isEnabled()) << "no exporter registered";
    EXPECT_TRUE(control_by_id(DB_TOOL_NEW)->isVisible());

    QTreeWidget* sessions = list(DB_LIST_SESSIONS);
    sessions->scrollToTop();
    choose(DB_LIST_SESSIONS, 9999);
    choose(DB_LIST_TESTS, 1);
    for (int i = 0; i < 10; ++i)
        click(DB_TOOL_ADD);
    EXPECT_EQ(list(DB_LIST_SELECTION)->topLevelItemCount(), 9);
    EXPECT_EQ(test_ui().shown().back().text, "You may only select a maximum of 9 tests");
    control_by_id(DB_TOOL_NEW)->setFocus();
    pump();
    shot("database_view");

    // Sampled in the empty right part of the first column.
    QTreeWidget* tests = list(DB_LIST_TESTS);
    const QImage image = tests->viewport()->grab().toImage();
    const int x = tests->columnWidth(0) - 8;
    const QRect row = tests->visualItemRect(tests->topLevelItem(1));
    EXPECT_EQ(image.pixelColor(x, row.center().y()), QColor(192, 0, 0));
    const QRect other = tests->visualItemRect(tests->topLevelItem(0));
    EXPECT_NE(image.pixelColor(x, other.center().y()), QColor(192, 0, 0));

    // Export goes through the registered exporter with the keys in row order.
    set_tests_exporter(record_export);
    post_command(w.get(), CMD_MAIN_REFRESH);
    pump();
    w->mode_window(ROW_DB_TOOLS)->refresh_controls(true, false, false);
    ASSERT_TRUE(w->mode_window(ROW_DB_TOOLS)->isEnabled());
    EXPECT_TRUE(control_by_id(DB_TOOL_EXPORT)->isEnabled());
    click(DB_TOOL_EXPORT);
    EXPECT_EQ(exported, std::vector<int>(9, 2));

    // Deleting the selected test through its button drops it everywhere.
    test_ui().push_answer(IDYES);
    click(DB_TOOL_DELETE_TEST);
    EXPECT_EQ(list(DB_LIST_TESTS)->topLevelItemCount(), 2);
    EXPECT_EQ(list(DB_LIST_SELECTION)->topLevelItemCount(), 0);
    exported.clear();
    click(DB_TOOL_EXPORT);
    EXPECT_TRUE(exported.empty());
    EXPECT_EQ(test_ui().shown().back().text, "Please add some tests to export");
}

// Every form the import button accepts lands as a test of session 1 with its
// points; a bad file says so and stores nothing.
TEST_F(DbFormWindow, ImportButtonStoresEveryAcceptedFormAndRefusesBadFiles)
{
    const std::string header = "Instrument Configuration\n------------------------\n"
                               "File Format,QmrkV1\ndata start sweep 1\n";
    struct row {
        const char* file;
        std::string text;
        std::vector<double> first; // frequency, gain, phase; empty: refused
    };
    const row rows[] = {
        {"six.csv",
         header +
             "Frequency (Hz),Magnitude1 (V),Magnitude2 (V),Gain (dB),Phase (\xB0),Delay (s)\n"
             "1.0E+001,1.0,0.5,-6.02,-45.0,1.0E-003\n2.0E+001,1.0,0.25,-12.04,-60.0,8.0E-004\n",
         {10, -6.02, -45}},
        {"three.csv",
         header + "\nFrequency (Hz),Gain (dB),Phase (\xC2\xB0)\n100,-3.5,12.25\n",
         {100, -3.5, 12.25}},
        {"four.txt", "1\t1,234.5\t-3\t45\n2\t12,5\t-4\t46\n", {12.5, -4, 46}}, // by frequency
        {"sweep.dat",
         "07-12-2026 - 09:35\n1\t1000\t1\t0.5\t-6.0206\t-45.5\n",
         {1000, -6.0206, -45.5}},
        {"letters.csv", "1\t10\t-3\t45\n2\tabc\t-3\t45\n", {}},
        {"headless.csv", header + "100,-3.5,12.25\n", {}},
        {"empty.txt", "", {}},
    };
    choose(DB_LIST_SESSIONS, 9999); // S00001, the session imports go to
    int expected = 3;
    for (const row& r : rows) {
        const std::string path = (dir / r.file).string();
        std::ofstream(path, std::ios::binary) << r.text;
        test_ui().clear();
        test_ui().push_file(path);
        click(DB_TOOL_IMPORT);
        choose(DB_LIST_SESSIONS, 9999);
        QTreeWidget* tests = list(DB_LIST_TESTS);
        if (r.first.empty()) {
            ASSERT_EQ(test_ui().shown().size(), 1u) << r.file;
            EXPECT_EQ(test_ui().shown()[0].text, "Unable to import sweep to database");
            EXPECT_EQ(test_ui().shown()[0].caption, "Import Error");
            EXPECT_EQ(tests->topLevelItemCount(), expected) << r.file;
            continue;
        }
        EXPECT_TRUE(test_ui().shown().empty()) << r.file;
        ASSERT_EQ(tests->topLevelItemCount(), ++expected) << r.file;
        // Newest first: the test list runs by key, descending.
        const std::string name = std::string(r.file).substr(0, std::string(r.file).find('.'));
        EXPECT_EQ(tests->topLevelItem(0)->text(0).toStdString(), name);
        s_test stored;
        ASSERT_EQ(db_get_test(stored, view->form().tests.rows[0].key, true), 0) << r.file;
        ASSERT_GT(stored.points.count(), 0);
        EXPECT_EQ(stored.TestDescription, "Imported");
        EXPECT_DOUBLE_EQ(stored.points[0].Frequency, r.first[0]) << r.file;
        EXPECT_DOUBLE_EQ(stored.points[0].Amplitude, r.first[1]) << r.file;
        EXPECT_DOUBLE_EQ(stored.points[0].Phase, r.first[2]) << r.file;
    }
}

TEST_F(DbFormWindow, NewDatabaseEmptiesTheListsAndTheShellFollowsItsPath)
{
    choose(DB_LIST_SESSIONS, 0);
    list(DB_LIST_TESTS)->setCurrentItem(nullptr);
    const std::string fresh = (dir / "fresh.db").string();
    test_ui().push_file(fresh);
    click(DB_TOOL_NEW);
    EXPECT_EQ(w->database_path(), fresh);
    EXPECT_EQ(list(DB_LIST_SESSIONS)->topLevelItemCount(), 0);
    EXPECT_EQ(list(DB_LIST_SELECTION)->topLevelItemCount(), 0);
    w.reset();
    EXPECT_FALSE(db_is_open()) << "closing the application closes the database";
}

} // namespace
