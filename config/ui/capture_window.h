#pragma once
// The screen capture view: downloads the instrument's display and shows it
// 240 pixels from the left, two title heights down, in a bevelled frame;
// copies it to the clipboard or saves it as a bitmap, alone or in a new
// word-processor document.

#include "base/control_table.h"
#include "base/ui/table_window.h"

#include <QRect>

enum : int {
    CAPTURE_TITLE = 15230,
    CAPTURE_WORD = 15231,
    CAPTURE_BMP = 15232,
    CAPTURE_CLIPBOARD = 15233,
    CAPTURE_DOWNLOAD = 15234,
    CAPTURE_RELAYOUT = 123,
};

class capture_window : public table_window {
public:
    capture_window(QWidget* parent, const s_control& row);
    void on_command(int id, intptr_t lparam) override;
    // The image area in the view's client coordinates.
    QRect image_area() const;
    // The downloaded screen for Display > Save to Bitmap and Copy to
    // Clipboard; null until a screen has been downloaded.
    QImage picture() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void export_picture(bool word);
    void paint_area(class QPainter& painter) const;
};

table_window* make_capture_window(QWidget* parent, const s_control& row);
void capture_register_window();
