#pragma once
// The archive's search dialog: filters, the tests found, and Pull, which
// stores the chosen tests in the open test file and lists them in the
// database form.

#include "archive/archive_connection.h"
#include "archive/archive_search.h"

#include <QDialog>
#include <map>
#include <string>

// The control id of the list of tests found.
constexpr int ARCHIVE_RESULTS_ID = 15200;

class QLineEdit;
class QPushButton;
class QTreeWidget;

class archive_search_dialog : public QDialog {
    Q_OBJECT
public:
    archive_search_dialog(QWidget* owner, archive_connection& archive);

    QTreeWidget* results() const { return results_; }

private:
    void search();
    void pull();

    archive_connection& archive_;
    std::map<std::string, QLineEdit*> fields_;
    QTreeWidget* results_;
    QPushButton* pull_;
};
