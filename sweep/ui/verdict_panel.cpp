#include "sweep/ui/verdict_panel.h"

#include "base/app_settings.h"
#include "base/ui/qt_seams.h"
#include "base/ui/remembered_folder.h"
#include "base/ui_seam.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

namespace {

constexpr const char* LIMITS_FOLDER_NAME = "Limits";
constexpr int WORD_PIXELS = 34;
// The room the set's name has beside Limit Set... in the narrower panel,
// and the bin's beside the verdict.
constexpr int NAME_PIXELS = 110;
constexpr int BIN_PIXELS = 76;

// White on a dark green or red: readable at once from the bench.
const QString PASS_STYLE = QStringLiteral("background: #1b6e20; color: white;");
const QString FAIL_STYLE = QStringLiteral("background: #b71c1c; color: white;");

QTreeWidget* small_list(QWidget* parent, const QString& tip, const QStringList& headings)
{
    auto* list = new QTreeWidget(parent);
    list->setToolTip(tip);
    list->setRootIsDecorated(false);
    list->setColumnCount(static_cast<int>(headings.size()));
    list->setHeaderLabels(headings);
    list->setHeaderHidden(headings.size() < 2);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setFocusPolicy(Qt::NoFocus);
    list->setMinimumHeight(40);
    return list;
}

} // namespace

verdict_panel::verdict_panel(QWidget* parent, const char* settings_key, bool with_bins)
    : QGroupBox(QStringLiteral("Limits"), parent), settings_key_(settings_key),
      with_bins_(with_bins)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(4);
    auto* top = new QHBoxLayout;
    choose_ = new QPushButton(QStringLiteral("Limit Set..."), this);
    choose_->setFocusPolicy(Qt::NoFocus);
    name_ = new QLabel(QStringLiteral("none"), this);
    name_->setToolTip(QStringLiteral("Limit Set"));
    top->addWidget(choose_);
    top->addWidget(name_, 1);
    column->addLayout(top);
    auto* verdict = new QHBoxLayout;
    word_ = new QLabel(this);
    word_->setToolTip(QStringLiteral("Verdict"));
    word_->setAlignment(Qt::AlignCenter);
    QFont large = word_->font();
    large.setPixelSize(WORD_PIXELS);
    large.setBold(true);
    word_->setFont(large);
    word_->setFixedHeight(WORD_PIXELS + 12);
    bin_ = new QLabel(this);
    bin_->setToolTip(QStringLiteral("Bin"));
    bin_->setFixedSize(BIN_PIXELS, WORD_PIXELS + 12);
    bin_->setVisible(with_bins);
    verdict->addWidget(word_, 1);
    verdict->addWidget(bin_);
    column->addLayout(verdict);
    failed_ = small_list(this, QStringLiteral("Failed Checks"), {QStringLiteral("Failed")});
    // A failed check reads whole at the bench: its text wraps in the list.
    failed_->setWordWrap(true);
    failed_->setTextElideMode(Qt::ElideNone);
    failed_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    failed_->header()->setSectionResizeMode(QHeaderView::Stretch);
    column->addWidget(failed_, 1);
    if (with_bins) {
        counts_ = small_list(this, QStringLiteral("Parts per Bin"),
                             {QStringLiteral("Bin"), QStringLiteral("Parts")});
        counts_->header()->setStretchLastSection(false);
        counts_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
        column->addWidget(counts_, 2);
        reset_ = new QPushButton(QStringLiteral("Reset Counts"), this);
        reset_->setFocusPolicy(Qt::NoFocus);
        column->addWidget(reset_);
        connect(reset_, &QPushButton::clicked, this, [this] { reset_counts(); });
    }
    connect(choose_, &QPushButton::clicked, this, [this] { choose(); });
    show_verdict(nullptr);
}

void verdict_panel::load_remembered()
{
    const s_app_paths& paths = current_app_paths();
    const std::string kept =
        paths.settings_file.empty() ? "" : settings_limit_set(paths, settings_key_);
    std::string error;
    if (!kept.empty())
        load(kept, error);
}

bool verdict_panel::load(const std::string& path, std::string& error)
{
    limit_set set;
    if (!limit_set_read(path, set, error))
        return false;
    set_ = std::move(set);
    name_->setText(
        name_->fontMetrics().elidedText(qt_from_ansi(set_->name), Qt::ElideMiddle, NAME_PIXELS));
    tally_ = bin_tally_for(*set_);
    show_tally();
    show_verdict(nullptr);
    return true;
}

// A file that cannot be read keeps the set in use and says why.
void verdict_panel::choose()
{
    ui_file_request request;
    request.caption = "Limit Set";
    request.filters = "Limit Sets *.json (*.json)";
    request.default_suffix = "json";
    request.start = remembered_folder(LIMITS_FOLDER_NAME);
    ui_file_choice choice;
    if (!ui_choose_file(this, request, choice))
        return;
    remember_folder_of(LIMITS_FOLDER_NAME, choice.path);
    std::string error;
    if (!load(choice.path, error)) {
        ui_message_box(this, error, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return;
    }
    const s_app_paths& paths = current_app_paths();
    if (!paths.settings_file.empty())
        settings_set_limit_set(paths, settings_key_,
                               std::filesystem::absolute(choice.path).string());
    if (chosen)
        chosen();
}

void verdict_panel::show_verdict(const s_test_verdict* verdict)
{
    failed_->clear();
    shown_.reset();
    if (!verdict) {
        word_->setText(QString());
        word_->setStyleSheet(QString());
        bin_->setText(QString());
        return;
    }
    shown_ = *verdict;
    word_->setText(QString::fromLatin1(verdict_word(*verdict)));
    word_->setStyleSheet(verdict->pass ? PASS_STYLE : FAIL_STYLE);
    const QString bin_name = bin_->fontMetrics().elidedText(qt_from_ansi(verdict->bin_name),
                                                            Qt::ElideRight, BIN_PIXELS - 4);
    bin_->setText(verdict->bin > 0 ? QStringLiteral("Bin %1\n%2").arg(verdict->bin).arg(bin_name)
                                   : QStringLiteral("No Bin"));
    for (const std::string& text : verdict->failed) {
        auto* row = new QTreeWidgetItem(failed_, {qt_from_ansi(text)});
        row->setToolTip(0, row->text(0));
        // The row as high as its wrapped lines, at the list's present width.
        const QRect room(0, 0, failed_->viewport()->width() - 8, 0);
        const int high =
            failed_->fontMetrics().boundingRect(room, Qt::TextWordWrap, row->text(0)).height();
        row->setSizeHint(0, QSize(room.width(), high + 4));
    }
    if (with_bins_) {
        bin_tally_add(tally_, *verdict);
        show_tally();
    }
}

void verdict_panel::reset_counts()
{
    bin_tally_reset(tally_);
    show_tally();
}

void verdict_panel::show_tally()
{
    if (!counts_)
        return;
    counts_->clear();
    for (const s_bin_row& r : tally_.rows)
        new QTreeWidgetItem(counts_, {qt_from_ansi(r.name), QString::number(r.parts)});
    reset_->setEnabled(bin_tally_total(tally_) > 0);
}
