#pragma once
// "Please Choose Instrument": the instruments a LAN search found, with what
// each answered when asked to identify itself, for the user to pick one.

#include "link/discovery.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

class instrument_chooser : public QDialog {
    Q_OBJECT
public:
    // Lists the rows the probe of the found instruments gave.
    instrument_chooser(QWidget* owner, const std::vector<s_chooser_row>& rows);

    // The list entry of the chosen row, or -1.
    int chosen() const { return chosen_; }
    QTreeWidget* rows() const { return rows_; }
    QPushButton* ok_button() const { return ok_; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTreeWidget* rows_;
    QPushButton* ok_;
    std::vector<int> entries_;
    int chosen_ = -1;
};

// Runs the chooser modally; the chosen entry or -1.
int choose_instrument(QWidget* owner, const std::vector<s_chooser_row>& rows);
