// The Archive menu's dialogs against a real archive: a kept address that
// leads nowhere usable is asked for again, an address that cannot be kept
// is told so with the true reason, and the search dialog says when its list
// is cut short, offers Pull only for a selection and works on after the
// server restarts.

#include "archive/archive_push.h"
#include "archive/archive_settings.h"
#include "archive/ui/archive_connect.h"
#include "archive/ui/archive_search_dialog.h"
#include "archive/ui/archive_windows.h"
#include "base/ui_status.h"
#include "tests/archive/archive_fixture.h"
#include "tests/support/qt_test_app.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>

namespace {

class ArchiveDialogs : public archive_fixture {
protected:
    void SetUp() override
    {
        archive_fixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ensure_qt_app();
        ui_set_backend(&ui); // the fixture's, which the first Qt start replaced
    }

    std::vector<std::string> box_texts()
    {
        std::vector<std::string> texts;
        for (const ui_shown_box& b : ui.shown())
            texts.push_back(b.caption + ": " + b.text);
        return texts;
    }
};

QPushButton* button(QWidget* dialog, const QString& text)
{
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Answers the address dialogs that open with answers (address, password;
// Cancel for an empty address) in turn; the texts of each one's labels in
// shown.
void answer_address(std::vector<std::pair<std::string, std::string>> answers, std::string& shown)
{
    QTimer::singleShot(50, [&shown, answers]() mutable {
        QWidget* d = QApplication::activeModalWidget();
        const auto edits = d ? d->findChildren<QLineEdit*>() : QList<QLineEdit*>();
        if (edits.isEmpty()) // the connection's progress dialog: the address dialog comes next
            return answer_address(answers, shown);
        for (QLabel* l : d->findChildren<QLabel*>())
            shown += l->text().toStdString() + "|";
        const auto [address, password] = answers.front();
        answers.erase(answers.begin());
        edits[0]->setText(QString::fromStdString(address)); // the Address field
        edits[1]->setText(QString::fromStdString(password));
        auto* buttons = d->findChild<QDialogButtonBox*>();
        buttons->button(address.empty() ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)->click();
        if (!answers.empty())
            answer_address(answers, shown);
    });
}

TEST_F(ArchiveDialogs, TheAddressDialogOffersAgainWhatFailedAndTellsWhatIsNotKept)
{
    archive_cluster& cluster = archive_cluster::shared();
    const std::string foreign = cluster.fresh_database();
    ASSERT_TRUE(cluster.admin("CREATE TABLE invoices (id int)", archive_database_name(foreign)));
    const struct {
        const char* root;
        bool settings_writable;
        std::string kept;   // the address in the settings before
        const char* reason; // what the address dialog shows
        std::string box;    // "" for none
    } cases[] = {
        // A kept address of a database that is no archive: asked for again.
        {"kept", true, foreign, "other tables and no archive", ""},
        // Settings that cannot be written: the address works, and the
        // settings file's writer says once that it is not kept.
        {"locked", false, "", "The address is kept in the settings",
         "Tarvelo2: The settings file " + app_paths(path("locked")).settings_file +
             " could not be written; the settings changed now are not kept."},
    };
    for (const auto& c : cases) {
        ui.clear();
        const s_app_paths paths = app_paths(path(c.root));
        std::filesystem::create_directories(paths.data_folder);
        if (!c.settings_writable)
            std::filesystem::create_directory(paths.settings_file); // no file can be written there
        set_current_app_paths(paths);
        if (!c.kept.empty()) {
            ASSERT_TRUE(archive_settings_set_address(paths, c.kept));
        }
        std::string reason;
        answer_address({{url, ""}}, reason);
        archive_connection archive;
        EXPECT_TRUE(archive_ui_connect(nullptr, archive, archive_use::write)) << reason;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
        EXPECT_TRUE(archive.is_open());
        EXPECT_EQ(archive_settings_address(paths), c.settings_writable ? url : "");
        EXPECT_EQ(box_texts(),
                  c.box.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.box});
    }
}

TEST_F(ArchiveDialogs, SearchSaysWhenItsListIsCutShortAndPullFollowsTheSelection)
{
    {
        archive_connection made;
        ASSERT_TRUE(made.open(url, "", archive_use::write).ok());
    }
    ASSERT_TRUE(archive_cluster::shared().admin(
        "INSERT INTO archive_session (identity, contract, unit, session_date, location, "
        "performed_by, comments) VALUES ('\\x01', 'C-1', 'T1', '2026-01-01', 'N', 'R', ''); "
        "INSERT INTO archive_test (identity, session_id, name, winding, description, test_date, "
        "point_count) SELECT int4send(g), (SELECT id FROM archive_session), 'run ' || g, 'H1', "
        "'', '2026-01-01', 0 FROM generate_series(1, 1001) g",
        database))
        << archive_cluster::shared().last_error();
    archive_connection archive;
    ASSERT_TRUE(archive.open(url, "", archive_use::read).ok());
    archive_search_dialog dialog(nullptr, archive);
    QPushButton* search = button(&dialog, QStringLiteral("Search"));
    QPushButton* pull = button(&dialog, QStringLiteral("Pull"));
    ASSERT_NE(search, nullptr);
    ASSERT_NE(pull, nullptr);
    QLineEdit* from = nullptr;
    for (QLineEdit* e : dialog.findChildren<QLineEdit*>())
        if (e->placeholderText() == "YYYY-MM-DD" && !from)
            from = e;
    ASSERT_NE(from, nullptr);

    const struct {
        const char* from;
        int listed;
        const char* says; // the box, or "" for none
    } cases[] = {
        {"", 1000,
         "Archive: More than 1000 tests match and the oldest of them are listed: narrow the "
         "search to find the others"},
        {"2026-01-02", 0, ""},
        {"", 1000, "Archive: More than 1000"},
        {"2026-13-01", 0, "Archive: '2026-13-01' is no date: give dates as YYYY-MM-DD"},
    };
    for (const auto& c : cases) {
        // Something is selected before each search: a new list selects nothing.
        if (dialog.results()->topLevelItemCount() > 0) {
            dialog.results()->topLevelItem(0)->setSelected(true);
            EXPECT_TRUE(pull->isEnabled());
        }
        ui.clear();
        from->setText(QString::fromLatin1(c.from));
        search->click();
        EXPECT_EQ(dialog.results()->topLevelItemCount(), c.listed) << c.from;
        const std::vector<std::string> boxes = box_texts();
        EXPECT_EQ(boxes.size(), *c.says ? 1u : 0u) << c.from;
        if (!boxes.empty()) {
            EXPECT_EQ(boxes[0].rfind(c.says, 0), 0u) << boxes[0];
        }
        EXPECT_FALSE(pull->isEnabled()) << c.from;
    }
}

// The dialog stays open while the server restarts (a lab's nightly
// maintenance): its next search and pull reach the archive again.
TEST_F(ArchiveDialogs, SearchAndPullWorkAgainAfterTheServerRestarts)
{
    archive_cluster& own = archive_cluster::own();
    ASSERT_TRUE(own.running()) << own.failure();
    const std::string own_url = own.fresh_database();
    ASSERT_FALSE(own_url.empty()) << own.last_error();
    create("bench.db");
    archive_add_test(archive_add_session("C-1", "T1", 2026, "N"), "reference", "H1", 10, 1.0);
    std::vector<archive_local_session> local;
    ASSERT_TRUE(archive_read_local({}, local).ok());
    archive_connection archive;
    std::vector<archive_pushed> pushed;
    ASSERT_TRUE(archive.open(own_url, "", archive_use::write).ok());
    ASSERT_TRUE(archive_push(archive, local, pushed).ok());
    archive_search_dialog dialog(nullptr, archive);
    QPushButton* search = button(&dialog, QStringLiteral("Search"));
    ASSERT_NE(search, nullptr);
    ASSERT_TRUE(own.restart()) << own.failure();
    search->click();
    ASSERT_EQ(dialog.results()->topLevelItemCount(), 1);
    ASSERT_TRUE(own.restart()) << own.failure();
    dialog.results()->topLevelItem(0)->setSelected(true);
    button(&dialog, QStringLiteral("Pull"))->click();
    EXPECT_EQ(box_texts(), std::vector<std::string>{
                               "Archive: 0 tests pulled into the test file, 1 were there already"});
}

// A user and password beyond ASCII typed in the address dialog reach the
// server as UTF-8 (as SCRAM wants them), and the server's refusal naming
// the user reads right; an archive not reached leaves no earlier outcome
// in the status line.
TEST_F(ArchiveDialogs, AUserAndPasswordBeyondAsciiReachTheServerAsTyped)
{
    archive_cluster& cluster = archive_cluster::shared();
    const std::string user = "b\u00e4nch" + std::to_string(::getpid());
    ASSERT_TRUE(cluster.admin("DROP ROLE IF EXISTS \"" + user + "\"; CREATE ROLE \"" + user +
                              "\" LOGIN PASSWORD 'p\u00e4ssw\u00f6rd'"))
        << cluster.last_error();
    archive_connection made;
    ASSERT_TRUE(made.open(url, "", archive_use::write).ok());
    ASSERT_TRUE(
        cluster.admin("GRANT SELECT ON ALL TABLES IN SCHEMA public TO \"" + user + "\"", database));
    std::string port, shown;
    std::ifstream(cluster.dir() + "/port") >> port;
    const std::string address =
        "host=127.0.0.1 port=" + port + " dbname=" + database + " user=" + user;
    answer_address({{address, "passwort"}, {address, "p\u00e4ssw\u00f6rd"}}, shown);
    archive_connection archive;
    EXPECT_TRUE(archive_ui_connect(nullptr, archive, archive_use::read)) << shown;
    EXPECT_NE(shown.find("password authentication failed for user \"" + user + "\""),
              std::string::npos)
        << shown;
    static std::vector<std::string> statuses;
    ui_set_status_sink([](const std::string& text) { statuses.push_back(text); });
    ui_status("1 test pushed, 0 already archived");
    create("bench.db");
    answer_address({{"postgresql://u@127.0.0.1:1/archive", "x"}, {"", ""}}, shown);
    archive_search_and_pull(nullptr);
    ui_set_status_sink(nullptr);
    EXPECT_EQ(statuses.back(), "Search not completed: the archive was not reached");
    cluster.admin("DROP OWNED BY \"" + user + "\"", database);
    cluster.admin("DROP ROLE \"" + user + "\"");
}

} // namespace
