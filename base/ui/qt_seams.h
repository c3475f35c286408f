#pragma once
// Qt implementations of the command seam and the user-interface seam.
// Install both once, on the window thread, before any window is created.

#include "base/command_seam.h"
#include "base/ui_seam.h"

#include <QObject>

class QWidget;

// Delivers posted commands as queued events on the thread the dispatcher
// lives on (the window thread); send() from another thread blocks until the
// command has been carried out there.
class qt_command_dispatcher : public QObject, public command_dispatcher {
    Q_OBJECT
public:
    explicit qt_command_dispatcher(QObject* parent = nullptr);
    void post(command_message msg) override;
    void send(command_message msg) override;

protected:
    bool event(QEvent* e) override;
};

// Shows QMessageBox on the window thread; a worker blocks until answered.
// The owner, when given, is the QWidget* of the window that asks.
class qt_ui_backend : public QObject, public ui_backend {
    Q_OBJECT
public:
    explicit qt_ui_backend(QObject* parent = nullptr);
    int message_box(ui_owner owner, const std::string& text, const std::string& caption,
                    unsigned style) override;
    void set_wait_cursor(bool on) override;
    bool choose_file(ui_owner owner, const ui_file_request& request,
                     ui_file_choice& choice) override;
};

// The window boxes and choosers belong to when the asking window is not
// shown and no other window is active (null: none).
void qt_set_main_window(QWidget* window);

// Windows-1252 bytes of the core to and from the text of the widgets.
QString qt_from_ansi(const std::string& text);
std::string qt_to_ansi(const QString& text);
