#include "archive/ui/archive_search_dialog.h"

#include "archive/archive_pull.h"
#include "archive/ui/archive_connect.h"
#include "base/off_window.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "base/ui_status.h"
#include "db/ui/db_form_windows.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The filters, in the order shown, two to a row.
const char* const filter_labels[] = {"Contract", "Unit", "Location", "Winding",
                                     "Test",     "From", "To"};
// At most this many tests are listed; a narrower search finds the rest.
constexpr int SHOWN_MOST = 1000;

// Stores the fetched tests in the open file behind the window, with their
// count in the progress dialog; Cancel stores none.
archive_outcome store(const std::vector<archive_fetched>& fetched,
                      std::vector<archive_pulled>& pulled)
{
    archive_outcome outcome;
    run_off_window("Storing the pulled tests\x85", [&](const std::atomic<bool>& cancel) {
        outcome = archive_store_local(fetched, pulled, [&](int done, int total) {
            off_window_progress(done, total);
            return !cancel;
        });
        return outcome.ok();
    });
    return outcome;
}

} // namespace

archive_search_dialog::archive_search_dialog(QWidget* owner, archive_connection& archive)
    : QDialog(owner), archive_(archive)
{
    setWindowTitle(QStringLiteral("Search the Archive"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    int i = 0;
    for (const char* label : filter_labels) {
        auto* edit = new QLineEdit(this);
        if (std::string(label) == "From" || std::string(label) == "To")
            edit->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
        auto* name = new QLabel(QString::fromLatin1(label), this);
        name->setBuddy(edit);
        grid->addWidget(name, i / 2, (i % 2) * 2);
        grid->addWidget(edit, i / 2, (i % 2) * 2 + 1);
        fields_[label] = edit;
        ++i;
    }
    auto* find = new QPushButton(QStringLiteral("Search"), this);
    grid->addWidget(find, i / 2, 3);
    layout->addLayout(grid);
    results_ = new QTreeWidget(this);
    results_->setRootIsDecorated(false);
    results_->setProperty("control_id", ARCHIVE_RESULTS_ID);
    results_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    results_->setHeaderLabels({QStringLiteral("Id"), QStringLiteral("Contract"),
                               QStringLiteral("Unit"), QStringLiteral("Date"),
                               QStringLiteral("Location"), QStringLiteral("Test"),
                               QStringLiteral("Winding"), QStringLiteral("Points")});
    results_->setMinimumSize(640, 260);
    layout->addWidget(results_);
    auto* buttons = new QDialogButtonBox(this);
    pull_ = buttons->addButton(QStringLiteral("Pull"), QDialogButtonBox::ActionRole);
    pull_->setEnabled(false);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);
    connect(find, &QPushButton::clicked, this, &archive_search_dialog::search);
    connect(pull_, &QPushButton::clicked, this, &archive_search_dialog::pull);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(results_, &QTreeWidget::itemSelectionChanged, this,
            [this] { pull_->setEnabled(!results_->selectedItems().isEmpty()); });
    find->setDefault(true);
}

void archive_search_dialog::search()
{
    archive_filter filter;
    std::string* targets[] = {&filter.contract,  &filter.unit, &filter.location, &filter.winding,
                              &filter.test_name, &filter.from, &filter.to};
    int i = 0;
    for (const char* label : filter_labels)
        *targets[i++] = qt_to_ansi(fields_[label]->text().trimmed());
    // One more than is shown, to know whether the list is cut short.
    filter.limit = SHOWN_MOST + 1;
    std::vector<archive_found> found;
    const archive_outcome outcome =
        archive_ui_exchange(this, archive_, "Searching the archive\x85", [&] {
            return archive_.run_restoring([&] { return archive_search(archive_, filter, found); });
        });
    if (outcome.status == archive_status::cancelled)
        return;
    results_->clear();
    if (!outcome.ok()) {
        ui_message_box(this, outcome.message, ARCHIVE_CAPTION, MB_OK | MB_ICONWARNING);
        return;
    }
    const bool cut = found.size() > size_t(SHOWN_MOST);
    if (cut)
        found.resize(SHOWN_MOST);
    for (const archive_found& f : found) {
        auto* item = new QTreeWidgetItem(results_);
        const std::string cells[] = {std::to_string(f.archive_id),
                                     f.contract,
                                     f.unit,
                                     f.date,
                                     f.location,
                                     f.test_name,
                                     f.winding,
                                     std::to_string(f.points)};
        for (int c = 0; c < 8; ++c)
            item->setText(c, qt_from_ansi(cells[c]));
        item->setData(0, Qt::UserRole, qlonglong(f.archive_id));
    }
    for (int c = 0; c < 8; ++c)
        results_->resizeColumnToContents(c);
    if (cut)
        ui_message_box(this,
                       "More than " + std::to_string(SHOWN_MOST) +
                           " tests match and the oldest of them are listed: narrow the search "
                           "to find the others",
                       ARCHIVE_CAPTION, MB_OK | MB_ICONINFORMATION);
}

void archive_search_dialog::pull()
{
    std::vector<int64_t> ids;
    for (int row = 0; row < results_->topLevelItemCount(); ++row)
        if (results_->topLevelItem(row)->isSelected())
            ids.push_back(results_->topLevelItem(row)->data(0, Qt::UserRole).toLongLong());
    std::vector<archive_fetched> fetched;
    std::vector<archive_pulled> pulled;
    archive_outcome outcome =
        archive_ui_exchange(this, archive_, "Pulling from the archive\x85", [&] {
            return archive_.run_restoring([&] { return archive_fetch(archive_, ids, fetched); });
        });
    if (outcome.status == archive_status::cancelled)
        return;
    if (outcome.ok())
        outcome = store(fetched, pulled);
    if (outcome.status == archive_status::cancelled)
        return ui_status("Pull stopped: nothing was stored");
    int fresh = 0;
    for (const archive_pulled& p : pulled)
        fresh += p.is_new;
    if (db_view_window* view = db_current_view()) {
        view->form().refresh_sessions(true);
        view->sync();
    }
    const std::string counts = archive_tests_text(fresh) + " pulled into the test file, " +
                               std::to_string(int(pulled.size()) - fresh) + " were there already";
    ui_status(outcome.ok() ? counts : "Pull not completed");
    ui_message_box(
        this,
        archive_ui_with_notices(outcome.ok() ? counts : outcome.message + "\n" + counts, archive_),
        ARCHIVE_CAPTION, MB_OK | (outcome.ok() ? MB_ICONINFORMATION : MB_ICONWARNING));
}
