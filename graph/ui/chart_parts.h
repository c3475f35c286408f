#pragma once
// The pieces every chart painter shares: fonts and cosmetic pens, the plot
// area's sunken frame, texts in a colour that can be read on what lies
// behind them, rotated axis titles and a cursor's marks. The Bode, LCR and
// piezo painters draw with these so their charts look alike.

#include "graph/bode_geometry.h"

#include <QColor>
#include <QFont>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

class QPainter;

QFont chart_font(int pixels);
QPen chart_pen(QColor c, int width = 1, Qt::PenStyle style = Qt::SolidLine);
QRect chart_qrect(const s_plot_rect& r);

// Fills the plot with its background and draws the five-ring sunken frame
// just outside it.
void chart_frame(QPainter& p, const s_plot_rect& plot, QColor background);

// The contrast ratio of two colours (1 to 21), from their relative luminance.
double chart_contrast(QColor a, QColor b);
// The least a text's contrast against what lies behind it may be.
constexpr double CHART_MIN_CONTRAST = 4.5;
// The wanted colour when it can be read on `behind`; else that colour
// blended towards black or white, whichever reads better, just far enough.
QColor chart_readable(QColor wanted, QColor behind);

// Draws a text in its box as QPainter::drawText does, in the wanted colour
// made readable on `behind`.
void chart_text(QPainter& p, const QRect& box, int flags, const QString& text, QColor wanted,
                QColor behind);
// Which of evenly spaced labels a value axis shows: every one, or every
// second or fourth where neighbours `spacing` pixels apart would touch.
int chart_label_stride(int spacing, int line_height);

// Text centred above the point `at`, turned by degrees (-90 reads upwards).
void chart_rotated_text(QPainter& p, QPoint at, int degrees, const QString& text, QColor wanted,
                        QColor behind);

// A chart text or framed box as it fell on the device, for checks of a
// chart's legibility.
struct s_chart_text {
    QString text; // a box has its name here
    QRect rect;   // the pixels it inks (a box's own), on the device
    QColor color;
    bool box = false;
};
// While a sink is set, every chart text and every box a painter names is
// added to it; with draw false the texts are recorded but not drawn, so
// that what lies behind them can be read from the picture. Null ends it.
void chart_record_texts(std::vector<s_chart_text>* sink, bool draw = true);
// Names a framed box (a legend) that must lie wholly inside the picture.
void chart_record_box(QPainter& p, const QRect& box, const QString& name);

// A cursor at column x: circles of the given radius at the left and right
// quantities' heights, dotted leaders to the left and right axes and a
// dotted line from the higher of the two down to the frequency axis.
void chart_cursor_marks(QPainter& p, const s_plot_rect& plot, int x, int y_left, int y_right,
                        QColor color, int radius);
