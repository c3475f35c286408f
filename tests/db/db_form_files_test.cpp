#include "base/ui_status.h"
#include "db/db_connection.h"
#include "db_form_support.h"

#include <algorithm>

namespace {

class DbFormFiles : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        create("first.db");
        first = path("first.db");
        db_set_current_path(first);
        add_session("alpha", "u1", {"a1"});
        form.refresh_sessions(false);
        form.select_session(0);
        form.tests.selected = 0;
        form.add_to_selection();
        ui.clear();
    }

    db_form form;
    std::string first;
    std::vector<std::string> remembered;
    db_path_writer remember = [this](const std::string& p) { remembered.push_back(p); };
};

TEST_F(DbFormFiles, NewDatabase)
{
    struct outcome {
        const char* name; // chosen file; "" cancels
        bool created;
        const char* message;
        const char* open_path; // the database open afterwards
    };
    write_file("taken.db", "x");
    const outcome cases[] = {
        {"", false, nullptr, "first.db"},
        {"taken.db", false, "A file with that name already exists", "first.db"},
        {"missing/dir/x.db", false, "Unable to create the database file <", "first.db"},
        {"second", true, nullptr, "second.db"},
    };
    for (const outcome& o : cases) {
        ui.clear();
        if (*o.name)
            ui.push_file(path(o.name));
        else
            ui.push_file_cancel();
        EXPECT_EQ(form.new_database(), o.created) << o.name;
        const auto shown = ui.shown();
        if (o.message) {
            const auto said = std::find_if(shown.begin(), shown.end(), [&](const ui_shown_box& b) {
                return b.text.rfind(o.message, 0) == 0;
            });
            EXPECT_NE(said, shown.end()) << o.name;
        } else {
            EXPECT_TRUE(shown.empty()) << o.name;
        }
        EXPECT_TRUE(db_is_open());
        EXPECT_EQ(db_current_path(), path(o.open_path));
        EXPECT_EQ(ui.file_requests().back().default_suffix, "db");
    }
    EXPECT_TRUE(form.sessions.rows.empty()) << "the new file has no sessions";
    EXPECT_TRUE(form.selection.rows.empty()) << "nothing of the old file stays selected";
    EXPECT_EQ(read_file("taken.db"), "x");
}

TEST_F(DbFormFiles, OpenDatabase)
{
    { // a second database with two sessions, and a foreign file
        db_close();
        bool is_new = false;
        ASSERT_TRUE(db_open(path("other.db"), DB_OPEN_OR_CREATE, &is_new));
        add_session("x", "u", {});
        add_session("y", "u", {});
        db_close();
        write_file("foreign.db", std::string(4096, 'z'));
        ASSERT_TRUE(db_open(first, DB_OPEN_EXISTING));
        form.refresh_sessions(false);
    }
    // No keeps everything.
    ui.push_answer(IDNO);
    EXPECT_FALSE(form.open_database(remember));
    EXPECT_EQ(ui.shown().at(0).text,
              "Are you sure you want to break the connection to the database file " + first);
    EXPECT_TRUE(db_is_open());
    EXPECT_EQ(form.selection.rows.size(), 1u);

    // A foreign file is refused and the previous file comes back.
    ui.clear();
    ui.push_answer(IDYES);
    ui.push_file(path("foreign.db"));
    EXPECT_FALSE(form.open_database(remember));
    EXPECT_EQ(ui.shown().back().text,
              "Unable to open the last used database file <" + path("foreign.db") + ">");
    EXPECT_EQ(db_current_path(), first);
    EXPECT_TRUE(db_is_open());
    EXPECT_EQ(names(form.sessions), std::vector<std::string>{"alpha"});
    EXPECT_TRUE(form.selection.rows.empty());

    ui.push_answer(IDYES);
    ui.push_file(path("other.db"));
    EXPECT_TRUE(form.open_database(remember));
    EXPECT_EQ(names(form.sessions), (std::vector<std::string>{"y", "x"}));
    EXPECT_EQ(remembered.back(), path("other.db"));

    // Cancelled after confirming: no database at all.
    ui.push_answer(IDYES);
    ui.push_file_cancel();
    EXPECT_FALSE(form.open_database(remember));
    EXPECT_FALSE(db_is_open());
    EXPECT_TRUE(db_current_path().empty());
    EXPECT_TRUE(form.sessions.rows.empty());

    // With nothing open there is nothing to confirm.
    ui.clear();
    ui.push_file(first);
    EXPECT_TRUE(form.open_database(remember));
    EXPECT_TRUE(ui.shown().empty());
}

std::string last_status;

TEST_F(DbFormFiles, ImportAcceptsEveryFormAndStoresNothingFromABadFile)
{
    const std::string header = "Instrument Configuration\r\nModel,HXM\r\n";
    struct file_case {
        const char* name;
        std::string bytes;
        int points; // -1: refused
        double gain_of_first;
    };
    const file_case cases[] = {
        {"six.1.csv",
         header +
             "\r\nFrequency (Hz),Magnitude1 (V),Magnitude2 (V),Gain (dB),Phase (\xB0),Delay (s)"
             "\r\n10,1,2,-3.5,45,0\r\n20,1,2,-4,40,0\r\n",
         2, -3.5},
        {"three.csv", header + "Frequency (Hz),Gain (dB),Phase (\xB0)\r\n10,-1.25,5\r\n", 1, -1.25},
        {"tabs4.txt", "1\t100\t-2\t30\n2\t200\t-3\t20\n3\t300\t-4\t10\n", 3, -2},
        {"tabs6.txt", "1\t1.000,5\tx\ty\t-6\t7\n", 1, -6},
        {"empty.txt", "", -1, 0},
        {"nohead.csv", header + "10,1,2\r\n", -1, 0},
    };
    ui_set_status_sink([](const std::string& text) { last_status = text; });
    for (const file_case& f : cases) {
        write_file(f.name, f.bytes);
        const std::string before = file_counts(first);
        ui.clear();
        ui.push_file(path(f.name));
        EXPECT_EQ(form.import_sweep(), f.points >= 0) << f.name;
        if (f.points < 0) {
            ASSERT_EQ(ui.shown().size(), 1u) << f.name;
            EXPECT_EQ(ui.shown()[0].text, "Unable to import sweep to database");
            EXPECT_EQ(ui.shown()[0].caption, "Import Error");
            EXPECT_EQ(file_counts(first), before) << f.name;
            continue;
        }
        const std::string name = f.name;
        const auto rows = raw_query(first, "SELECT TestNo, SessionNo, TestDescription FROM Test "
                                           "WHERE Name='" +
                                               name.substr(0, name.rfind('.')) + "'");
        ASSERT_EQ(rows.size(), 1u) << f.name;
        EXPECT_EQ(rows[0][1], "1");
        EXPECT_EQ(rows[0][2], "Imported");
        s_test test;
        db_get_test(test, std::stoll(rows[0][0]), true);
        ASSERT_EQ(test.points.count(), f.points) << f.name;
        EXPECT_DOUBLE_EQ(test.points[0].Amplitude, f.gain_of_first) << f.name;
        EXPECT_EQ(last_status, "Imported as test " + rows[0][0] + " into session 1, alpha");
    }
    ui_set_status_sink(nullptr);
    // The import's session was listed once.
    EXPECT_EQ(names(form.sessions), std::vector<std::string>{"alpha"});
    EXPECT_EQ(ui.file_requests().back().default_suffix, "csv");
}

// An import into a new session and a session stored from the form add one
// row each, where a fresh list of the file would show it, in every order,
// and the session selected before stays selected.
TEST_F(DbFormFiles, ANewSessionIsListedInItsPlaceWithoutReadingTheListAgain)
{
    for (const char* name : {"imported", "zeta", "Beta", "mid"})
        add_session(name, name, {});
    write_file("one.txt", "1\t100\t-2\t30\n");
    const auto fresh = [&] {
        db_list list;
        db_list_sink sink(list);
        db_list_sessions(sink, form.session_column, form.session_ascending);
        return list.rows;
    };
    const auto same = [](const std::vector<db_list_row>& a, const std::vector<db_list_row>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](auto& x, auto& y) { return x.text == y.text && x.key == y.key; });
    };
    for (int order = 0; order < 8; ++order) {
        for (const char* table : {"Data WHERE TestNo IN (SELECT TestNo FROM Test WHERE "
                                  "SessionNo=1)",
                                  "Test WHERE SessionNo=1", "Session WHERE SessionNo=1"})
            ASSERT_EQ(db_exec(std::string("DELETE FROM ") + table), 0);
        form.session_column = order / 2;
        form.session_ascending = order % 2;
        form.refresh_sessions(false);
        form.select_session(2);
        const int64_t kept = form.sessions.selected_key();
        const unsigned version = form.sessions.version;
        ui.push_file(path("one.txt"));
        ASSERT_TRUE(form.import_sweep()) << order;
        EXPECT_TRUE(same(form.sessions.rows, fresh())) << order;
        EXPECT_EQ(form.sessions.version, version + 1) << order;
        EXPECT_TRUE(form.sessions.last.inserted && form.sessions.last.version == version + 1);
        EXPECT_EQ(form.sessions.selected_key(), kept) << order;

        s_session beta;
        beta.Name = "beta";
        beta.year = 2020;
        beta.month = beta.day = 1;
        ASSERT_TRUE(form.store_new_session(beta)) << order;
        EXPECT_TRUE(same(form.sessions.rows, fresh())) << order;
        EXPECT_EQ(form.sessions.selected_key(), beta.SessionNo) << order;
    }
}

} // namespace
