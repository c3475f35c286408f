#pragma once
// The largest font in which a text fits a box on one line.

#include <QFont>
#include <QRect>
#include <QString>

class QPaintDevice;

// Starts at the box height plus extra_height pixels (or at the base font's
// height when a base font is given) and shrinks a pixel at a time until the
// text is narrower than the box or the height reaches 1. The font measures
// on device (the screen when null).
QFont fit_font(QPaintDevice* device, const QFont* base, const QString& text, const QRect& box,
               int extra_height, bool bold);

class QLabel;

// Holds a label's text on one line in the label's width: the text keeps
// the base font when it fits, else takes the fit_font of it. Never wraps
// into a cut second line, never loses letters at either end.
void fit_label_font(QLabel* label, const QFont& base);
