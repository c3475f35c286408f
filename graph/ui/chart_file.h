#pragma once
// Saving a chart as a file: a 24-bit bitmap, a PNG image or an SVG drawing,
// all painted by the chart's own painting code (the one the screen uses).
// Any window with a chart calls chart_save_as() from its save command.

#include <QRect>
#include <QSize>
#include <QString>
#include <functional>
#include <string>

class QPainter;
class QWidget;

// Paints the whole chart, background included, into the rectangle.
using chart_painter = std::function<void(QPainter&, const QRect&)>;

enum class chart_format { bmp, png, svg };

// The save dialogs' filters, the bitmap first (the default).
extern const char* const CHART_FILE_FILTERS;

// The format of a file: its suffix when it names one of the three (any
// case), else the filter chosen in the dialog (0 bitmap, 1 PNG, 2 SVG).
chart_format chart_format_of(const std::string& path, int filter);
// The path with the format's suffix added when it has none of the three.
std::string chart_file_path(const std::string& path, chart_format format);

// The size a chart is exported at: as shown, but never smaller than
// 640 x 400 pixels, so that a chart squeezed on a small screen still
// exports readable.
QSize chart_export_size(QSize shown);

// Writes the chart of the given pixel size through a temporary file and a
// rename; 0 on success, -1 on failure (an existing file stays as it was).
int chart_save(const chart_painter& paint, QSize size, const QString& path, chart_format format);

// Asks for a file with the three filters (caption as the window words its
// command) and saves the chart there, asking first about an existing file
// of the final name (its suffix added); a failure is reported in a message
// box. False when cancelled, refused or failed.
bool chart_save_as(QWidget* owner, const std::string& caption, const chart_painter& paint,
                   QSize size);
