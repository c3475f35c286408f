#include "review/ui/compare_box.h"

#include "base/export_texts.h"
#include "base/ui/qt_seams.h"
#include "db/ui/export_tests_dialog.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

graph_compare_box::graph_compare_box(QWidget* parent, s_graph_comparison comparison)
    : QDialog(parent), comparison_(std::move(comparison))
{
    setWindowTitle(QStringLiteral("Compare with Reference"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Reference: ") + qt_from_ansi(comparison_.reference), this));
    const std::vector<std::string> columns = winding_table_columns();
    table_ = new QTableWidget(int(comparison_.rows.size()), int(columns.size()), this);
    for (size_t c = 0; c < columns.size(); ++c)
        table_->setHorizontalHeaderItem(int(c), new QTableWidgetItem(qt_from_ansi(columns[c])));
    for (size_t r = 0; r < comparison_.rows.size(); ++r) {
        const std::vector<std::string> cells = winding_table_cells(comparison_.rows[r], false);
        for (size_t c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(qt_from_ansi(cells[c]));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (c > 0 && c != 4)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(int(r), int(c), item);
        }
    }
    table_->verticalHeader()->hide();
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    layout->addWidget(new QLabel(QStringLiteral("The judgement is indicative: it rests on the "
                                                "correlation of the gain curves in three bands."),
                                 this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* export_button =
        buttons->addButton(QStringLiteral("Export..."), QDialogButtonBox::ActionRole);
    connect(export_button, &QPushButton::clicked, this, [this] { export_table(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    int width = 40;
    for (int c = 0; c < table_->columnCount(); ++c)
        width += table_->columnWidth(c);
    resize(std::max(width, 640), 120 + 30 * (table_->rowCount() + 2));
}

int graph_compare_box::export_table()
{
    export_tests_dialog dialog(this, 0);
    // The table is text: the workbook and the trailing-zeros choice do not apply.
    dialog.control(EXPORT_CSV)->setChecked(true);
    dialog.control(EXPORT_EXCEL)->setEnabled(false);
    dialog.control(EXPORT_REMOVE_ZEROS)->setEnabled(false);
    s_export_dialog_choice choice;
    if (!dialog.run(choice))
        return -1;
    const std::string path = export_choose_csv_file(this);
    if (path.empty())
        return -1;
    return winding_export_csv(path, comparison_.reference, comparison_.rows, choice.european);
}
