// A framed window with a client area for table-built controls.

#include "base/ui/table_window.h"

table_window::table_window(QWidget* parent, const char* class_name, int frame)
    : QFrame(parent), client_(new QWidget(this))
{
    setObjectName(class_name);
    // A sunken two-pixel edge or a thin one-pixel line, so that the client
    // area is the outer size less the frame on each side.
    if (frame == 2)
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    else if (frame == 1)
        setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(frame);
    client_->setObjectName(QStringLiteral("client"));
}

void table_window::on_command(int, intptr_t) {}

void table_window::refresh_controls(bool, bool, bool) {}

QImage table_window::picture()
{
    return {};
}

s_printout table_window::printout()
{
    return {};
}

void table_window::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    client_->setGeometry(contentsRect());
}
