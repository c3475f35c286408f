#pragma once
// Test Details: asked before every FRA sweep. Whether and under which
// session, name and winding the sweep is stored, and whether it is a single
// sweep or a repeating test of several sweeps at a fixed interval.

#include "db/db_records.h"
#include "db/details_rules.h"

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// How the dialog ended.
enum : int {
    TEST_DETAILS_SAVE = 0,       // store the sweep: the pending test is prepared
    TEST_DETAILS_NO_SAVE = -2,   // sweep without storing
    TEST_DETAILS_CANCELLED = -1, // no sweep
};

// What the dialog leaves for the sweep.
struct s_test_details {
    bool save = false;
    s_test test; // the pending test (TestNo 0) when saving
    bool repeating = false;
    int count = 0;
    uint64_t interval_ms = 0;
};

// Called after the dialog's new-session button has stored a session, so the
// database form can list and select it.
void test_details_set_session_hook(void (*created)(int64_t session_no));

// The repeat settings' check of a form without the database part: the
// messages to show in order, none when the settings are accepted.
using details_repeat_check = std::vector<s_details_message> (*)(const std::string& count,
                                                                const std::string& interval_mins,
                                                                s_repeat_settings& out);

class test_details_dialog : public QDialog {
    Q_OBJECT
public:
    test_details_dialog(QWidget* parent, s_test_details& out);
    // The form of the sweeps that are never stored (LCR): the test and
    // repeat settings only, checked by check.
    test_details_dialog(QWidget* parent, s_test_details& out, details_repeat_check check);

    int run();
    void press_start();
    void set_repeating(bool repeating);
    QWidget* control(int control_id) const;
    QString total_time_text() const;
    // Escape and the close box cancel, as the Cancel button does.
    void reject() override;

private:
    void build(bool database);
    void build_database_group(class QVBoxLayout* layout);
    bool check_repeat();
    void build_repeat_group(class QVBoxLayout* layout);
    void fill_sessions(const QString& select_prefix);
    void set_save(bool save);
    void update_total_time();
    void new_session();

    s_test_details& out_;
    details_repeat_check check_ = nullptr;
    QCheckBox* save_ = nullptr;
    QRadioButton* single_ = nullptr;
    QRadioButton* repeating_ = nullptr;
    QGroupBox* repeat_group_ = nullptr;
    QLineEdit* interval_ = nullptr;
    QLineEdit* count_ = nullptr;
    QLabel* total_ = nullptr;
    QComboBox* session_ = nullptr;
    QPushButton* new_session_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* winding_ = nullptr;
    QLineEdit* description_ = nullptr;
    QPushButton* start_ = nullptr;
};
