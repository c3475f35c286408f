#pragma once
// LcrPlot: paints the LCR results view's graph (two quantities of the last
// sweep against frequency, with two cursors and their readouts) with a
// QPainter into any rectangle. Every position comes from lcr/lcr_view.h.

#include "graph/bode_colors.h"
#include "lcr/lcr_view.h"

#include <QImage>
#include <QRect>
#include <string>

class QPainter;

struct s_lcr_plot_inputs {
    const LcrResults* results = nullptr;
    int left_position = 3; // quantity positions in the point (box item + 1)
    int right_position = 4;
    std::string left_title = "IMPEDANCE (ohms)";
    std::string right_title = "PHASE (\xB0)";
    s_freq_range freq;
    s_value_range left;
    s_value_range right;
    bool log_scaling = true;
    bode_background background = bode_background::black;
    int cursor[2] = {0, 0};
    int strip_height = 0; // the view's control strip below the drawing
    bool large_font = false;
    QColor surround{240, 240, 240}; // the window behind the labels and titles
    // A fitted model's curve at the measured frequencies, drawn dashed over
    // both traces, and its name for the legend.
    const LcrResults* model = nullptr;
    std::string model_name;
};

constexpr QRgb LCR_LEFT_TRACE = 0xFFFF0000;
constexpr QRgb LCR_RIGHT_TRACE = 0xFF0000FF;
constexpr QRgb LCR_LEFT_MODEL = 0xFFFFB000;
constexpr QRgb LCR_RIGHT_MODEL = 0xFF00C8FF;

class LcrPlot {
public:
    void draw(QPainter& p, const QRect& client, const s_lcr_plot_inputs& in) const;
    QImage render(QSize size, const s_lcr_plot_inputs& in, QColor window_background) const;
};

// The cursor pens on either background.
QColor lcr_cursor_color(int cursor, bode_background background);
