#pragma once
// Export Tests: the format chooser that the FRA, LCR, piezo and database
// windows open before an export. "Excel" or "CSV", "Standard" or "European"
// numbers, and "Remove trailing zeros", which only the single-sweep workbook
// uses: it is disabled while a repeat count is set up. The piezo window's
// form has no format choice (its report is always a workbook) and keeps
// "Remove trailing zeros" disabled. The LCR window's form offers
// "Touchstone" as a third format, for its last sweep only (disabled while a
// repeat count is set up).

#include <QDialog>

class QAbstractButton;

enum : int {
    EXPORT_EXCEL = 1068,
    EXPORT_CSV = 1067,
    EXPORT_TOUCHSTONE = 1069,
    EXPORT_STANDARD = 1011,
    EXPORT_EUROPEAN = 1015,
    EXPORT_REMOVE_ZEROS = 1004,
};

struct s_export_dialog_choice {
    bool excel = true;
    bool touchstone = false;
    bool european = false;
    bool remove_zeros = false;
};

class export_tests_dialog : public QDialog {
    Q_OBJECT
public:
    // repeat_count: the FRA (or LCR) repeat count; non-zero disables 1004.
    // piezo_form: the piezo window's form, without 1068/1067;
    // touchstone_form: the LCR window's, with 1069.
    export_tests_dialog(QWidget* parent, int repeat_count, bool piezo_form = false,
                        bool touchstone_form = false);

    s_export_dialog_choice choice() const;
    QAbstractButton* control(int control_id) const;
    // Shows the dialog modally; true for OK.
    bool run(s_export_dialog_choice& out);
};
