#pragma once
// Session Details: the fields of one test session (contract, unit, date,
// location, who performed it, comments). OK checks them and copies them
// into the caller's record.

#include "db/db_records.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

enum : int {
    SESSION_DETAILS_OK = 1032,
    SESSION_DETAILS_CANCEL = 2,
};

// Stores the session OK filled in; false (after telling the user why) keeps
// the dialog open with what was typed.
using session_store = std::function<bool(s_session& session)>;

class session_details_dialog : public QDialog {
    Q_OBJECT
public:
    session_details_dialog(QWidget* parent, s_session& session, session_store store = {});

    // Shows the dialog modally: SESSION_DETAILS_OK or SESSION_DETAILS_CANCEL.
    int run();

    // Presses OK as the user would (also used by tests).
    void press_ok();
    QLineEdit* field(int control_id) const;
    void reject() override;

private:
    QLineEdit* add_line(class QFormLayout* form, int id, const char* label, int limit);

    s_session& session_;
    session_store store_;
    QLineEdit* contract_ = nullptr;
    QLineEdit* unit_ = nullptr;
    QLineEdit* date_ = nullptr;
    QLineEdit* location_ = nullptr;
    QLineEdit* performed_by_ = nullptr;
    QPlainTextEdit* comments_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// A new session dated today, through the dialog; true when OK was pressed
// and store (when given) kept the entries.
bool session_details_new(QWidget* parent, s_session& session, const session_store& store);
// The store of a new session straight into the open database, saying why
// when it cannot.
bool session_store_in_database(s_session& typed);
