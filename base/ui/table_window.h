#pragma once
// A window whose controls come from a control table: the main window's mode
// windows and their graph areas. Its objectName() is its window class name.
// The controls live in client(), inside the window's frame, so their
// geometry is relative to the client area as the tables give it.
//
// Commands from its controls (clicks, edit changes, selections) arrive in
// on_command with the control id and the notification in lparam. The mode
// windows of later windows derive from it and override the hooks the main
// window calls.

#include "base/command_seam.h"
#include "base/ui/print_actions.h"

#include <QFrame>
#include <QImage>
#include <functional>

class QPainter;

// Notifications a control posts with its id (the codes the controls have
// always used).
enum control_notify : int {
    NOTIFY_CLICKED = 0,
    NOTIFY_SELECT_OK = 9,       // a drop-down list selection was accepted
    NOTIFY_EDIT_CHANGE = 0x300, // an edit field's text changed
};

class table_window : public QFrame, public command_target {
    Q_OBJECT
public:
    // frame: the border width on each side (0, 1 or 2 pixels).
    table_window(QWidget* parent, const char* class_name, int frame);
    QWidget* client() const { return client_; }

    void on_command(int id, intptr_t lparam) override;

    // The main window's refresh of its controls reaches each mode window.
    virtual void refresh_controls(bool enable, bool connected, bool running);
    // A sweep, a series or a realtime measurement runs (FRA window).
    virtual bool is_running() const { return false; }
    // The mode's view selection goes back to the graph (FRA and LCR).
    virtual void select_graph_view() {}
    // The picture Save to Bitmap and Copy to Clipboard take; null for a
    // window that draws no graph (the command is then refused).
    virtual QImage picture();
    // Paints the same picture into any rectangle on any device (PNG and
    // SVG files); empty for a window that only has the image.
    virtual std::function<void(QPainter&, const QRect&)> picture_painter() { return {}; }
    // The report File > Print..., Print Preview and Export PDF... take, made
    // from what the window shows now; a window with nothing to report refuses.
    virtual s_printout printout();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* client_;
};
