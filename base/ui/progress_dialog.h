#pragma once
// The modal progress dialog in which long instrument operations run. One
// second after it opens (or the block's own delay) it starts the block's worker on a thread of its
// own; the worker reports by posting commands to block.dialog (use
// post_text for the status text), and posting CMD_PROGRESS_FINISHED closes
// the dialog. Cancel starts the block's cancel routine on another thread.

#include "base/command_seam.h"
#include "base/progress_block.h"
#include "base/progress_display.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class progress_dialog : public QDialog, public command_target {
    Q_OBJECT
public:
    progress_dialog(QWidget* owner, s_progress_block& block);
    ~progress_dialog() override;

    void on_command(int id, intptr_t lparam) override;

    // Shows the dialog modally and returns its result once it is done, as
    // exec() does; stepping aside does not end it.
    int run();
    // A message box opens while the work runs: the dialog and its Cancel
    // leave the screen, and come back shortly after the box has been
    // answered if the work still runs.
    void step_aside();
    void come_back_later();

    QString status_text() const;
    QString progress_text() const;
    QProgressBar* bar() const { return bar_; }
    QPushButton* cancel_button() const { return cancel_; }

public slots:
    // Escape and the window's close button act as Cancel.
    void reject() override;
    void done(int result) override;

private:
    void show_display();

    s_progress_block& block_;
    progress_display& display_;
    QLabel* status_;
    QLabel* progress_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    int start_timer_ = 0;
    bool finished_ = false;
};

// Runs the dialog modally. Returns its result (0 when the worker finished or
// was cancelled), or -1 without opening when a run on this block is still
// going, even a cancelled one.
int run_progress_dialog(QWidget* owner, s_progress_block& block);
