#pragma once
// PiezoPlot: paints the resonator's impedance (red) and phase (blue)
// against frequency into any painter, so the window and the report's
// picture share it. Both axes may be logarithmic or linear; each value axis
// has its own tick style (0 short ticks outside, 1 a tenth of the plot
// inside, 2 full grid lines).

#include "lcr/piezo_view.h"

#include <QColor>
#include <QImage>
#include <QRect>

class QPainter;

struct s_piezo_plot_inputs {
    const LcrResults* results = nullptr;
    s_freq_range freq{1, 10};
    s_value_range impedance{1, 100};
    int phase_convention = 0;
    bool log_frequency = true;
    bool log_impedance = true;
    bool white_background = false;
    int impedance_ticks = 0;
    int phase_ticks = 0;
    int left_reserve = 280;         // room on the left for the window's controls
    QColor surround{212, 208, 200}; // the window behind the labels and titles
    // A fitted model's curve at the measured frequencies, drawn dashed, and
    // its name for the legend.
    const LcrResults* model = nullptr;
    const char* model_name = "";
};

constexpr QRgb PIEZO_IMPEDANCE_TRACE = 0xFFFF0000;
constexpr QRgb PIEZO_PHASE_TRACE = 0xFF0000FF;
constexpr QRgb PIEZO_IMPEDANCE_MODEL = 0xFFFFB000;
constexpr QRgb PIEZO_PHASE_MODEL = 0xFF00C8FF;

// The impedance axis as the painter draws it on a plot of that height.
s_impedance_axis piezo_plot_impedance_axis(const s_piezo_plot_inputs& in, int plot_height);

// The plot rectangle inside a client of the given size.
s_plot_rect piezo_plot_area(int width, int height, int left_reserve);

class PiezoPlot {
public:
    void draw(QPainter& p, const QRect& client, const s_piezo_plot_inputs& in) const;
    QImage render(QSize size, const s_piezo_plot_inputs& in) const;
    // The window background and the chart, into any rectangle on any device.
    void paint(QPainter& p, const QRect& client, const s_piezo_plot_inputs& in) const;
};
