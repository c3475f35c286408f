#include "db/ui/export_tests_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QRadioButton* radio(QWidget* parent, QButtonGroup* group, int id, const char* text, bool checked)
{
    auto* button = new QRadioButton(text, parent);
    button->setProperty("control_id", id);
    button->setChecked(checked);
    group->addButton(button);
    return button;
}

QGroupBox* pair_box(QWidget* parent, const char* title, QRadioButton* a, QRadioButton* b)
{
    auto* box = new QGroupBox(title, parent);
    auto* row = new QHBoxLayout(box);
    row->addWidget(a);
    row->addWidget(b);
    return box;
}

} // namespace

export_tests_dialog::export_tests_dialog(QWidget* parent, int repeat_count, bool piezo_form,
                                         bool touchstone_form)
    : QDialog(parent)
{
    setWindowTitle("Export Tests");
    auto* target = new QButtonGroup(this);
    auto* style = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(this);
    QGroupBox* format =
        pair_box(this, "Export to", radio(this, target, EXPORT_EXCEL, "Excel", true),
                 radio(this, target, EXPORT_CSV, "CSV", false));
    format->setVisible(!piezo_form);
    layout->addWidget(format);
    QGroupBox* numbers =
        pair_box(this, "Number format", radio(this, style, EXPORT_STANDARD, "Standard", true),
                 radio(this, style, EXPORT_EUROPEAN, "European", false));
    layout->addWidget(numbers);
    auto* zeros = new QCheckBox("Remove trailing zeros", this);
    zeros->setProperty("control_id", EXPORT_REMOVE_ZEROS);
    const bool zeros_usable = repeat_count == 0 && !piezo_form;
    zeros->setEnabled(zeros_usable);
    layout->addWidget(zeros);
    if (touchstone_form) {
        QRadioButton* touchstone = radio(this, target, EXPORT_TOUCHSTONE, "Touchstone", false);
        touchstone->setEnabled(repeat_count == 0);
        format->layout()->addWidget(touchstone);
        // A Touchstone file has its own number format: the other choices
        // grey while it is chosen.
        connect(touchstone, &QRadioButton::toggled, this, [=](bool chosen) {
            numbers->setEnabled(!chosen);
            zeros->setEnabled(zeros_usable && !chosen);
        });
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setProperty("control_id", 1);
    buttons->button(QDialogButtonBox::Cancel)->setProperty("control_id", 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QAbstractButton* export_tests_dialog::control(int control_id) const
{
    for (auto* button : findChildren<QAbstractButton*>())
        if (button->property("control_id").toInt() == control_id)
            return button;
    return nullptr;
}

s_export_dialog_choice export_tests_dialog::choice() const
{
    const QAbstractButton* zeros = control(EXPORT_REMOVE_ZEROS);
    const QAbstractButton* touchstone = control(EXPORT_TOUCHSTONE);
    return {control(EXPORT_EXCEL)->isChecked(), touchstone && touchstone->isChecked(),
            control(EXPORT_EUROPEAN)->isEnabled() && control(EXPORT_EUROPEAN)->isChecked(),
            zeros->isEnabled() && zeros->isChecked()};
}

bool export_tests_dialog::run(s_export_dialog_choice& out)
{
    if (exec() != QDialog::Accepted)
        return false;
    out = choice();
    return true;
}
