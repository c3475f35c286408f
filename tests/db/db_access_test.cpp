#include "db/db_access.h"
#include "db/db_assessment.h"
#include "db/db_statement.h"
#include "db/db_verdict.h"
#include "db_test_support.h"

#include <functional>
#include <tuple>

namespace {

class DbAccess : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        create();
    }

    int64_t add_session(const std::string& name, int year = 2026, int month = 12, int day = 7)
    {
        s_session session;
        session.Name = name;
        session.Unit = "T1";
        session.year = year;
        session.month = month;
        session.day = day;
        session.Location = "Bay 4";
        session.PerformedBy = "R. Lind";
        session.Comments = "night shift";
        EXPECT_EQ(db_save_session(session, false), 0);
        return session.SessionNo;
    }

    int64_t add_test(int64_t session_no, const std::string& name, int points = 0)
    {
        s_test test;
        test.SessionNo = session_no;
        test.Name = name;
        test.Winding = "HV";
        test.TestDescription = "sweep";
        for (int i = 0; i < points; ++i) {
            const s_test_point point{10.0 * (points - i), -0.5 * i, 1.25 * i};
            test_add_point(test, &point);
        }
        EXPECT_TRUE(db_store_test(test));
        return test.TestNo;
    }

    std::string file() const { return path("tests.db"); }
};

TEST_F(DbAccess, SessionRoundTripsByPositionWithItsDateText)
{
    const int64_t no = add_session("Contract 7", 2026, 3, 9);
    ASSERT_GT(no, 0);
    const auto rows = raw_query(file(), "SELECT * FROM Session");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][3], "2026-03-09 00:00:00");
    EXPECT_EQ(rows[0][5], "R. Lind");

    s_session back;
    back.SessionNo = no;
    ASSERT_EQ(db_get_session(back), 0);
    EXPECT_EQ(back.Name, "Contract 7");
    EXPECT_EQ(back.Unit, "T1");
    EXPECT_EQ(back.year, 2026);
    EXPECT_EQ(back.month, 3);
    EXPECT_EQ(back.day, 9);
    EXPECT_EQ(back.Location, "Bay 4");
    EXPECT_EQ(back.PerformedBy, "R. Lind");
    EXPECT_EQ(back.Comments, "night shift");

    back.PerformedBy = "K. Osei";
    back.month = 4;
    ASSERT_EQ(db_save_session(back, true), 0);
    s_session updated;
    updated.SessionNo = no;
    ASSERT_EQ(db_get_session(updated), 0);
    EXPECT_EQ(updated.PerformedBy, "K. Osei");
    EXPECT_EQ(updated.month, 4);

    s_session missing;
    missing.SessionNo = 999;
    EXPECT_EQ(db_get_session(missing), 0);
    EXPECT_EQ(missing.SessionNo, DB_NO_SUCH_ROW);
}

TEST_F(DbAccess, KeysAreChosenByTheFileUnlessGiven)
{
    s_session given;
    given.SessionNo = 40;
    given.Name = "given";
    ASSERT_EQ(db_save_session(given, false), 0);
    EXPECT_EQ(given.SessionNo, 40);
    s_session negative;
    negative.SessionNo = -1;
    ASSERT_EQ(db_save_session(negative, false), 0);
    EXPECT_EQ(negative.SessionNo, 41);
    EXPECT_EQ(db_save_session(given, false), SQLITE_CONSTRAINT);
}

TEST_F(DbAccess, TestsListInOrderOfTheirNumbersOrOfTheChosenColumn)
{
    const int64_t session = add_session("S");
    for (int i = 0; i < 11; ++i)
        add_test(session, (i % 2 ? "B" : "a") + std::to_string(i + 1));
    const std::vector<int64_t> numbers{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    const std::vector<int64_t> by_name{1, 11, 3, 5, 7, 9, 10, 2, 4, 6, 8}; // a1 a11 a3 .. B10 B2 ..
    const struct {
        int column;
        bool ascending;
        std::vector<int64_t> keys;
    } orders[] = {
        {DB_TESTS_BY_NUMBER, true, numbers},
        {DB_TESTS_BY_NUMBER, false, {numbers.rbegin(), numbers.rend()}},
        {DB_TESTS_BY_NAME, true, by_name},
        {DB_TESTS_BY_NAME, false, {by_name.rbegin(), by_name.rend()}},
        {DB_TESTS_BY_WINDING, true, numbers}, // every winding alike: then by number
    };
    for (const auto& o : orders) {
        collected_rows rows;
        ASSERT_EQ(db_list_tests(rows, session, o.ascending, o.column), 0);
        EXPECT_EQ(rows.keys, o.keys) << o.column << " " << o.ascending;
    }
    collected_rows rows;
    ASSERT_EQ(db_list_tests(rows, session, true), 0);
    EXPECT_EQ(rows.keys, numbers);
    EXPECT_EQ(rows.texts[0], "a1\tHV");
    collected_rows none;
    EXPECT_EQ(db_list_tests(none, session + 1, true), 0);
    EXPECT_TRUE(none.keys.empty());
}

TEST_F(DbAccess, SessionListSortsByTheChosenColumnAndStripsTabs)
{
    add_session("beta", 2025, 11, 30);
    add_session("Alpha\tone", 2026, 1, 2);
    add_session("gamma", 2024, 6, 15);
    collected_rows by_name;
    ASSERT_EQ(db_list_sessions(by_name, 0, true), 0);
    ASSERT_EQ(by_name.texts.size(), 3u);
    EXPECT_EQ(by_name.texts[0], "Alphaone\tT1\t2/1/2026\tBay 4");
    EXPECT_EQ(by_name.texts[1].substr(0, 4), "beta");
    collected_rows by_date;
    ASSERT_EQ(db_list_sessions(by_date, 2, false), 0);
    EXPECT_EQ(by_date.keys, (std::vector<int64_t>{2, 1, 3}));
}

TEST_F(DbAccess, PointsAreStoredOnePerRowAndReadInFrequencyOrder)
{
    const int64_t no = add_test(add_session("S"), "bode", 250);
    const auto rows = raw_query(file(), "SELECT * FROM Data WHERE TestNo=" + std::to_string(no));
    ASSERT_EQ(rows.size(), 250u);
    EXPECT_EQ(rows[0][3], "1");
    EXPECT_EQ(rows[0][4], "0");

    s_test back;
    ASSERT_EQ(db_get_test(back, no, true), 0);
    EXPECT_EQ(back.Name, "bode");
    EXPECT_EQ(back.Winding, "HV");
    EXPECT_EQ(back.TestDescription, "sweep");
    ASSERT_EQ(back.points.count(), 250);
    EXPECT_EQ(back.points.capacity(), 300);
    EXPECT_EQ(back.points[0].Frequency, 10.0);
    EXPECT_EQ(back.points[0].Amplitude, -0.5 * 249);
    EXPECT_EQ(back.points[0].Phase, 1.25 * 249);
    EXPECT_EQ(back.points[249].Frequency, 2500.0);

    s_test missing;
    ASSERT_EQ(db_get_test(missing, no + 5, true), 0);
    EXPECT_EQ(missing.TestNo, DB_NO_SUCH_ROW);
    EXPECT_EQ(missing.points.count(), 0);
}

TEST_F(DbAccess, FullPrecisionSurvivesTheIntegerColumns)
{
    s_test test;
    test.SessionNo = add_session("S");
    const s_test_point point{1234.56789012345, -3.0000000000000004, 1e-300};
    test_add_point(test, &point);
    ASSERT_TRUE(db_store_test(test));
    s_test back;
    ASSERT_EQ(db_get_test(back, test.TestNo, true), 0);
    ASSERT_EQ(back.points.count(), 1);
    EXPECT_EQ(back.points[0].Frequency, point.Frequency);
    EXPECT_EQ(back.points[0].Amplitude, point.Amplitude);
    EXPECT_EQ(back.points[0].Phase, point.Phase);
}

TEST_F(DbAccess, DeletingATestRemovesItsPointsAndASessionLeavesItsTests)
{
    const int64_t session = add_session("S");
    const int64_t kept = add_test(session, "kept", 5);
    const int64_t gone = add_test(session, "gone", 7);
    ASSERT_EQ(db_delete_test(gone), 0);
    EXPECT_EQ(raw_query(file(), "SELECT COUNT(*) FROM Data")[0][0], "5");
    EXPECT_TRUE(
        raw_query(file(), "SELECT * FROM Test WHERE TestNo=" + std::to_string(gone)).empty());
    ASSERT_EQ(db_delete_session(session), 0);
    EXPECT_TRUE(raw_query(file(), "SELECT * FROM Session").empty());
    s_test left;
    ASSERT_EQ(db_get_test(left, kept, true), 0);
    EXPECT_EQ(left.points.count(), 5);
}

TEST_F(DbAccess, TextsAreCutToTheirColumnWidths)
{
    const std::string long_name(80, 'n');
    ASSERT_EQ(db_exec("INSERT INTO Session VALUES (5, '" + long_name +
                      "', 'u', "
                      "'2026-01-01 00:00:00', 'l', 'p', 'c')"),
              0);
    s_session session;
    session.SessionNo = 5;
    ASSERT_EQ(db_get_session(session), 0);
    EXPECT_EQ(session.Name, std::string(50, 'n'));

    s_test test;
    test.SessionNo = 5;
    test.Name = long_name;
    ASSERT_EQ(db_save_test(test, false), 0);
    EXPECT_EQ(raw_query(file(), "SELECT Name FROM Test")[0][0], std::string(50, 'n'));
}

TEST_F(DbAccess, UnreadableDatesReadAsZero)
{
    ASSERT_EQ(db_exec("INSERT INTO Session VALUES (1, 'a', 'u', NULL, 'l', 'p', 'c')"), 0);
    ASSERT_EQ(db_exec("INSERT INTO Session VALUES (2, 'b', 'u', '2026', 'l', 'p', 'c')"), 0);
    collected_rows rows;
    ASSERT_EQ(db_list_sessions(rows, 0, true), 0);
    EXPECT_EQ(rows.texts, (std::vector<std::string>{"a\tu\t0/0/0\tl", "b\tu\t0/0/2026\tl"}));
}

TEST_F(DbAccess, SelectionRowJoinsTheTestWithItsSession)
{
    const int64_t session = add_session("Contract");
    const int64_t test = add_test(session, "run 1");
    collected_rows rows;
    ASSERT_EQ(db_add_selection_row(rows, test), 0);
    ASSERT_EQ(rows.texts.size(), 1u);
    EXPECT_EQ(rows.texts[0], "Contract\tT1\t7/12/2026\tBay 4\trun 1\tHV");
    EXPECT_EQ(rows.keys[0], test);

    const int64_t tabbed = add_session("Con\ttract");
    ASSERT_EQ(db_exec("UPDATE Session SET Unit='T\t1', Location='Bay\t4' WHERE SessionNo=" +
                      std::to_string(tabbed)),
              0);
    ASSERT_EQ(db_add_selection_row(rows, add_test(tabbed, "run\t2")), 0);
    ASSERT_EQ(rows.texts.size(), 2u);
    EXPECT_EQ(rows.texts[1], "Contract\tT1\t7/12/2026\tBay4\trun2\tHV");
    rows = {};

    const int64_t orphan = add_test(session + 10, "orphan");
    EXPECT_EQ(db_add_selection_row(rows, orphan), 0);
    EXPECT_EQ(db_add_selection_row(rows, test + 100), 0);
    EXPECT_TRUE(rows.texts.empty());
}

TEST_F(DbAccess, ComboFillAndLookupByName)
{
    add_session("First");
    add_session("Second");
    collected_texts names;
    ASSERT_EQ(db_fill_combo(db_table::session, 1, names), 0);
    EXPECT_EQ(names.texts, (std::vector<std::string>{"First", "Second"}));
    collected_texts performed;
    ASSERT_EQ(db_fill_combo(db_table::session, 5, performed), 0);
    EXPECT_EQ(performed.texts, (std::vector<std::string>{"R. Lind", "R. Lind"}));
    EXPECT_EQ(db_find_session_by_name("SECOND"), 2);
    EXPECT_EQ(db_find_session_by_name("Third"), DB_NO_SUCH_ROW);
}

TEST_F(DbAccess, FailedPointStoreLeavesNoHalfTest)
{
    s_test test;
    test.SessionNo = add_session("S");
    for (int i = 0; i < 20; ++i) {
        const s_test_point point{double(i), 0.0, 0.0};
        test_add_point(test, &point);
    }
    // A trigger stands in for a disk that fills up half-way through.
    ASSERT_EQ(db_exec("CREATE TRIGGER full BEFORE INSERT ON Data WHEN NEW.Frequency = 12 "
                      "BEGIN SELECT RAISE(ABORT, 'full'); END"),
              0);
    EXPECT_FALSE(db_store_test(test));
    EXPECT_EQ(test.TestNo, 0);
    EXPECT_FALSE(db_in_transaction());
    EXPECT_EQ(raw_query(file(), "SELECT COUNT(*) FROM Data")[0][0], "0");
    EXPECT_EQ(raw_query(file(), "SELECT COUNT(*) FROM Test")[0][0], "0");
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_EQ(ui.shown().back().text, "Constraint Violation\nError Code: 19");
    EXPECT_EQ(ui.wait_cursor_depth(), 0);
}

TEST_F(DbAccess, StepwiseStoreOfASweepKeepsTheTestAndGivenPointKeys)
{
    // Insert the row, then update it with its points inside one transaction.
    s_test test;
    test.SessionNo = add_session("S");
    ASSERT_EQ(db_save_test(test, false), 0);
    ASSERT_EQ(db_begin(), 0);
    for (int i = 0; i < 3; ++i) {
        const s_test_point point{100.0 + i, -1.0, 5.0};
        test_add_point(test, &point);
    }
    test.Name = "stepwise";
    ASSERT_TRUE(db_save_test_points(test, 3));
    EXPECT_TRUE(db_in_transaction());
    ASSERT_EQ(db_commit(), 0);
    ASSERT_EQ(db_insert_point(test.TestNo, 77, {50.0, 0.0, 0.0}), 0);
    s_test back;
    ASSERT_EQ(db_get_test(back, test.TestNo, true), 0);
    EXPECT_EQ(back.Name, "stepwise");
    ASSERT_EQ(back.points.count(), 4);
    EXPECT_EQ(back.points[0].Frequency, 50.0);
    EXPECT_EQ(raw_query(file(), "SELECT DataNo FROM Data WHERE Frequency=50")[0][0], "77");
}

TEST_F(DbAccess, ClosedDatabaseLeavesOutputsUntouched)
{
    const int64_t session = add_session("S");
    db_close();
    collected_rows rows;
    EXPECT_EQ(db_list_sessions(rows, 0, true), -1);
    EXPECT_EQ(db_list_tests(rows, session, true), -1);
    EXPECT_EQ(db_add_selection_row(rows, 1), -1);
    EXPECT_TRUE(rows.texts.empty());
    s_test test;
    test.Name = "kept";
    EXPECT_EQ(db_get_test(test, 1, true), -1);
    EXPECT_EQ(test.Name, "kept");
    EXPECT_EQ(db_delete_test(1), -1);
    EXPECT_EQ(db_insert_point(1, 0, {}), -1);
    EXPECT_FALSE(db_store_test(test));
    EXPECT_TRUE(ui.shown().empty());
}

TEST(TestPoints, ArrayGrowsInStepsOfAHundredAndClears)
{
    s_test test;
    for (int i = 0; i < 101; ++i) {
        const s_test_point point{double(i), 0.0, 0.0};
        ASSERT_EQ(test_add_point(test, &point), 0);
    }
    EXPECT_EQ(test.points.capacity(), 200);
    s_test copy = test;
    EXPECT_EQ(copy.points.count(), 101);
    EXPECT_EQ(copy.points[100].Frequency, 100.0);
    test_add_point(test, nullptr);
    EXPECT_EQ(test.points.count(), 0);
    EXPECT_EQ(test.points.capacity(), 0);
    EXPECT_EQ(copy.points.count(), 101);
}

// The tables of the open file with the statements that made them.
std::string schema_listing()
{
    db_statement query("SELECT name, sql FROM sqlite_master ORDER BY name");
    std::string out;
    while (query.step())
        out += query.text(0) + ": " + query.text(1) + "\n";
    return out;
}

TEST_F(DbAccess, VerdictsReadBackAsStored)
{
    const int64_t test_no = add_test(add_session("Line 2"), "Part 7");
    const s_test_verdict cases[] = {
        {true, 2, "Grade B", {}, "line.json"},
        {false,
         0,
         "",
         {"fitted C: 2.6100 nF, outside 2.5000 nF \xB1 4 %", "a \"quoted\", text"},
         "line.json"},
        {false, 0, "", {"broken\nline"}, "x"},
    };
    for (const s_test_verdict& stored : cases) {
        ASSERT_EQ(db_store_verdict(test_no, stored), 0); // replaces the one before
        s_test_verdict back;
        bool found = false;
        ASSERT_EQ(db_read_verdict(test_no, back, found), 0);
        ASSERT_TRUE(found);
        EXPECT_EQ(back.pass, stored.pass);
        EXPECT_EQ(back.bin, stored.bin);
        EXPECT_EQ(back.bin_name, stored.bin_name);
        EXPECT_EQ(back.limits, stored.limits);
        ASSERT_EQ(back.failed.size(), stored.failed.size());
        for (size_t i = 0; i < back.failed.size(); ++i)
            EXPECT_EQ(back.failed[i],
                      stored.failed[i] == "broken\nline" ? "broken line" : stored.failed[i]);
    }
}

// The file keeps the three tables it was made with until a verdict is
// stored; then they stay as they were and the verdicts' table joins them.
// Tests without a verdict read as such, before and after.
TEST_F(DbAccess, VerdictTableMadeOnlyWhenFirstNeeded)
{
    const int64_t judged = add_test(add_session("Line 2"), "Part 1", 3);
    const std::string made = schema_listing();
    s_test_verdict none;
    bool found = true;
    EXPECT_EQ(db_read_verdict(judged, none, found), 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(schema_listing(), made);
    ASSERT_EQ(db_store_verdict(judged, {true, 1, "A", {}, "l.json"}), 0);
    const std::string after = schema_listing();
    ASSERT_EQ(after.substr(0, after.find("Verdict: ")), made.substr(0, made.find("sqlite")));
    EXPECT_NE(after.find("Verdict: CREATE TABLE Verdict"), std::string::npos) << after;
    s_test test;
    ASSERT_EQ(db_get_test(test, judged, true), 0);
    EXPECT_EQ(test.points.count(), 3);
    EXPECT_EQ(db_read_verdict(add_test(1, "Part 2"), none, found), 0);
    EXPECT_FALSE(found);
}

// A verdict goes with its test, whichever way the test goes, and a test
// stored later under a freed key never inherits it.
TEST_F(DbAccess, VerdictLeavesWithItsTest)
{
    const std::function<void(int64_t test, int64_t session)> removals[] = {
        [](int64_t test, int64_t) { EXPECT_EQ(db_delete_test(test), 0); },
        [](int64_t, int64_t session) { EXPECT_EQ(db_delete_session_tests(session), 0); },
    };
    for (const auto& remove : removals) {
        const int64_t session = add_session("Line");
        const int64_t test = add_test(session, "Last");
        ASSERT_EQ(db_store_verdict(test, {false, 0, "", {"f"}, "l.json"}), 0);
        remove(test, session);
        s_test_verdict left;
        bool found = true;
        EXPECT_EQ(db_read_verdict(test, left, found), 0);
        EXPECT_FALSE(found);
        ASSERT_EQ(db_store_verdict(test, {false, 0, "", {"f"}, "l.json"}), 0); // an orphan
        EXPECT_EQ(add_test(session, "Next"), test);
        EXPECT_EQ(db_read_verdict(test, left, found), 0);
        EXPECT_FALSE(found);
    }
}

// An assessment keeps its texts and report bytes as stored; its table joins
// the file only when the first is stored, the others staying as they were
// for older readers; it goes with its session, and a session stored later
// under the freed key does not inherit it.
TEST_F(DbAccess, AssessmentsRoundTripAndLeaveWithTheirSession)
{
    const int64_t session = add_session("T1 2026");
    const std::string made = schema_listing();
    s_assessment_record back;
    bool found = true;
    ASSERT_EQ(db_read_assessment(session, back, found), 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(schema_listing(), made);
    const s_assessment_record cases[] = {
        {session, "Dyn11", "5", 2, 0, "Phase A \x93moved\x94\nline 2", "R. Lind",
         "2026-12-10 08:00", std::string("%PDF-1.4\0\xFF\n", 11)},
        {session, "YNyn0d11", "", 0, 3, "", "", "", ""},
    };
    for (const s_assessment_record& stored : cases) {
        ASSERT_EQ(db_store_assessment(stored), 0); // replaces the one before
        ASSERT_EQ(db_read_assessment(session, back, found), 0);
        ASSERT_TRUE(found);
        EXPECT_EQ(std::tie(back.SessionNo, back.VectorGroup, back.Tap, back.FingerprintSessionNo,
                           back.SisterSessionNo, back.Conclusion, back.AssessedBy, back.Report),
                  std::tie(stored.SessionNo, stored.VectorGroup, stored.Tap,
                           stored.FingerprintSessionNo, stored.SisterSessionNo, stored.Conclusion,
                           stored.AssessedBy, stored.Report));
        EXPECT_EQ(back.Written.size(), 16u) << back.Written; // "YYYY-MM-DD HH:MM", now if not given
    }
    const std::string after = schema_listing();
    EXPECT_EQ(after.substr(after.find("Data: ")), made.substr(made.find("Data: ")));
    EXPECT_EQ(after.find("Assessment: CREATE TABLE Assessment"), 0u) << after;
    EXPECT_EQ(raw_query(file(), "SELECT Name FROM Session")[0][0], "T1 2026");
    ASSERT_EQ(db_delete_session(session), 0);
    ASSERT_EQ(db_read_assessment(session, back, found), 0);
    EXPECT_FALSE(found);
    ASSERT_EQ(db_store_assessment(cases[1]), 0); // left behind by another program
    EXPECT_EQ(add_session("Next"), session);
    ASSERT_EQ(db_read_assessment(session, back, found), 0);
    EXPECT_FALSE(found);
}

} // namespace
