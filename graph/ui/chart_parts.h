#pragma once
// The pieces every chart painter shares: fonts and cosmetic pens, the plot
// area's sunken frame, rotated axis titles and a cursor's marks. The Bode,
// LCR and piezo painters draw with these so their charts look alike.

#include "graph/bode_geometry.h"

#include <QColor>
#include <QFont>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

QFont chart_font(int pixels);
QPen chart_pen(QColor c, int width = 1, Qt::PenStyle style = Qt::SolidLine);
QRect chart_qrect(const s_plot_rect& r);

// Fills the plot with its background and draws the five-ring sunken frame
// just outside it.
void chart_frame(QPainter& p, const s_plot_rect& plot, QColor background);

// Text centred above the point `at`, turned by degrees (-90 reads upwards).
void chart_rotated_text(QPainter& p, QPoint at, int degrees, const QString& text);

// A cursor at column x: circles of the given radius at the left and right
// quantities' heights, dotted leaders to the left and right axes and a
// dotted line from the higher of the two down to the frequency axis.
void chart_cursor_marks(QPainter& p, const s_plot_rect& plot, int x, int y_left, int y_right,
                        QColor color, int radius);
