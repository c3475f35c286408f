// The instrument chooser of the LAN search.

#include "link/ui/instrument_chooser.h"

#include "base/ui/qt_seams.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

instrument_chooser::instrument_chooser(QWidget* owner, const std::vector<s_chooser_row>& rows)
    : QDialog(owner), rows_(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("Please Choose Instrument"));
    resize(480, 240);
    rows_->setProperty("control_id", 1007);
    rows_->setRootIsDecorated(false);
    rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rows_->setHeaderLabels({QStringLiteral("IP Address"), QStringLiteral("Instrument")});
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rows_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &instrument_chooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(rows_, &QTreeWidget::itemSelectionChanged, this, [this] { ok_->setEnabled(true); });
    connect(rows_, &QTreeWidget::itemDoubleClicked, this, &instrument_chooser::accept);
    for (const s_chooser_row& row : rows) {
        const auto tab = row.text.find('\t');
        auto* item = new QTreeWidgetItem(
            rows_, {qt_from_ansi(row.text.substr(0, tab)), qt_from_ansi(row.text.substr(tab + 1))});
        item->setData(0, Qt::UserRole, row.entry);
    }
    if (rows_->topLevelItemCount() == 1) {
        rows_->setCurrentItem(rows_->topLevelItem(0));
        rows_->setFocus();
    }
}

void instrument_chooser::accept()
{
    QTreeWidgetItem* item = rows_->currentItem();
    chosen_ = item && item->isSelected() ? item->data(0, Qt::UserRole).toInt() : -1;
    QDialog::accept();
}

// The columns share the list's width three to seven.
void instrument_chooser::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const int w = rows_->viewport()->width();
    rows_->setColumnWidth(0, w * 30 / 100);
    rows_->setColumnWidth(1, w * 70 / 100);
}

int choose_instrument(QWidget* owner, const std::vector<s_chooser_row>& rows)
{
    instrument_chooser chooser(owner, rows);
    return chooser.exec() == QDialog::Accepted ? chooser.chosen() : -1;
}
