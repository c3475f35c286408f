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
#include <QPointF>
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

// The least contrast of a trace, marker or cursor against the plot's
// background (the rule for lines and shapes, lower than for texts).
constexpr double CHART_MIN_MARK_CONTRAST = 3.0;
// The colour a trace, marker or cursor (named by `what`) is drawn in: the
// wanted one when it stands out from the background by CHART_MIN_MARK_CONTRAST,
// else a lighter shade of its hue on a dark background (a darker one on a
// light background), just far enough. A colour the user picked is kept.
QColor chart_mark(const QString& what, QColor wanted, QColor background, bool picked = false);

// What a chart shows besides its texts, noted while a sink is set, for
// checks of a chart's legibility.
struct s_chart_axis {
    QString name;
    double step = 0; // between neighbouring labels; 0 on a logarithmic axis
    std::vector<QString> labels;
    bool typed = false;       // a range the user typed, drawn as typed
    bool zero_inside = false; // 0 lies strictly inside the range
    bool zero_line = false;   // and a grid line runs there
};
inline s_chart_axis chart_axis(const QString& name, double step, bool typed = false)
{
    s_chart_axis a;
    a.name = name;
    a.step = step;
    a.typed = typed;
    return a;
}
struct s_chart_mark {
    QString what;
    QColor color;
    QColor background;
    bool picked = false;
};
struct s_chart_name {
    QString whole; // the name as stored
    QString shown; // as the legend shows it
};
struct s_chart_facts {
    std::vector<s_chart_axis> axes;
    std::vector<s_chart_mark> marks;
    std::vector<s_chart_name> names;
};
void chart_record_facts(s_chart_facts* sink);
void chart_note_axis(s_chart_axis axis);
void chart_note_name(const QString& whole, const QString& shown);

// A line across the plot at `height` pixels above its bottom, when that
// lies strictly inside the plot (the 0 dB or 0 degree line); whether it did.
bool chart_zero_line(QPainter& p, const s_plot_rect& plot, double height, const QPen& pen);

// The margin markers: a filled square, and a filled diamond `size` pixels
// from corner to corner, centred on c.
void chart_square(QPainter& p, int size, QPointF c, QColor colour);
void chart_diamond(QPainter& p, int size, QPointF c, QColor colour);

// A cursor at column x: circles of the given radius at the left and right
// quantities' heights, dotted leaders to the left and right axes and a
// dotted line from the higher of the two down to the frequency axis.
void chart_cursor_marks(QPainter& p, const s_plot_rect& plot, int x, int y_left, int y_right,
                        QColor color, int radius);
