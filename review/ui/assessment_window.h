#pragma once
// The transformer assessment window ("QXTarvelo2AssessmentWClass"): the
// unit (vector group, tap position and its session in the open database),
// its test plan with each step's connections in words and in a drawing,
// the steps swept in order into the unit's session, the comparisons with
// the unit's fingerprint, a sister unit and phase against phase, and the
// report written as PDF and stored with the session. Only one exists at a
// time; it is reached from the main window.
#include "review/assessment_plan.h"
#include "review/ui/assessment_results.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class assessment_sweeper;

// What the window asks of the program around it.
struct s_assessment_hooks {
    // True while another window holds the instrument (a sweep, realtime).
    std::function<bool()> instrument_busy;
    // The lab archive's search and pull into the open database.
    std::function<void(QWidget* owner)> archive_pull;
};

class assessment_window : public QMainWindow {
    Q_OBJECT
public:
    assessment_window(QWidget* parent, s_assessment_hooks hooks = {});
    ~assessment_window() override;

    static assessment_window* current();
    // Reads the open database's sessions into the lists again.
    void read_sessions();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* build_unit(QWidget* parent);
    QWidget* build_plan(QWidget* parent);
    QWidget* build_report(QWidget* parent);
    void vector_group_changed();
    void new_session();
    void session_chosen();
    void read_swept();
    void fill_plan();
    void show_step(int index);
    void sweep_step();
    void compare();
    void pull_from_archive();
    void write_report();
    // Why the chosen step cannot be swept now (told to the user); null when
    // it can.
    const char* sweep_refusal();
    // Why the unit cannot be compared as chosen; null when it can.
    const char* not_comparable() const;
    int64_t session_no() const;
    std::string session_name() const;
    int selected_step() const;

    s_assessment_hooks hooks_;
    s_transformer unit_;
    std::vector<s_plan_step> plan_;
    std::vector<std::string> session_tests_; // names of the unit's session's tests
    std::vector<bool> swept_;
    std::unique_ptr<assessment_sweeper> sweeper_;

    QComboBox* vector_group_ = nullptr;
    QLineEdit* tap_ = nullptr;
    QComboBox* session_ = nullptr;
    QTreeWidget* plan_list_ = nullptr;
    QLabel* connections_ = nullptr;
    painted_view* drawing_ = nullptr;
    QPushButton* sweep_ = nullptr;
    assessment_results* results_ = nullptr;
    QPlainTextEdit* conclusion_ = nullptr;
    QLineEdit* assessed_by_ = nullptr;
    QPushButton* write_ = nullptr;
};

// Opens the window (or raises the open one).
void assessment_window_open(QWidget* owner, const s_assessment_hooks& hooks);
