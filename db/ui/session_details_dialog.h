#pragma once
// Session Details: the fields of one test session (contract, unit, date,
// location, who performed it, comments). OK checks them and copies them
// into the caller's record.

#include "db/db_records.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

enum : int {
    SESSION_DETAILS_OK = 1032,
    SESSION_DETAILS_CANCEL = 2,
};

class session_details_dialog : public QDialog {
    Q_OBJECT
public:
    session_details_dialog(QWidget* parent, s_session& session);

    // Shows the dialog modally: SESSION_DETAILS_OK or SESSION_DETAILS_CANCEL.
    int run();

    // Presses OK as the user would (also used by tests).
    void press_ok();
    QLineEdit* field(int control_id) const;
    void reject() override;

private:
    QLineEdit* add_line(class QFormLayout* form, int id, const char* label, int limit);

    s_session& session_;
    QLineEdit* contract_ = nullptr;
    QLineEdit* unit_ = nullptr;
    QLineEdit* date_ = nullptr;
    QLineEdit* location_ = nullptr;
    QLineEdit* performed_by_ = nullptr;
    QPlainTextEdit* comments_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// A new session dated today, through the dialog; true when OK was pressed
// (the record then holds the entries, not yet stored).
bool session_details_new(QWidget* parent, s_session& session);
