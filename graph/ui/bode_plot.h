#pragma once
// BodePlot: paints the gain/phase chart with a QPainter into any rectangle,
// so the same code draws on screen, into a bitmap file and for the
// clipboard. The positions come from the pure functions of graph/; this
// class only turns them into pens, brushes and text.

#include "graph/bmp_file.h"
#include "graph/bode_axes.h"
#include "graph/bode_colors.h"
#include "graph/bode_geometry.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

class QPainter;

struct s_bode_point {
    double frequency = 0;
    double gain = 0;
    double phase = 0;
};

struct s_bode_series {
    std::vector<s_bode_point> points;
    QColor gain_color{255, 0, 0};
    QColor phase_color{0, 0, 255};
    int gain_width = 1;
    int phase_width = 1;
    bool visible = true;
    // Colours the user picked are drawn as picked; the others are made to
    // stand out from the background.
    bool gain_picked = false;
    bool phase_picked = false;
    QString name; // names the traces in legibility checks
};

// A mask line of a limit set on the gain or the phase: corners (Hz, dB or
// degrees) joined straight on a logarithmic frequency axis, drawn dashed.
struct s_bode_mask {
    bool phase = false;
    std::vector<std::pair<double, double>> corners;
    QString name; // "gain upper", ... for legibility checks
};

struct s_bode_inputs {
    s_freq_range freq;
    s_gain_range gain;
    bool gain_typed = false; // the user typed the gain range: drawn as typed
    int phase_base = -180;
    bool log_scaling = true;
    bode_background background = bode_background::black;
    QColor custom_background;
    std::vector<s_bode_series> series;
    std::vector<s_bode_mask> masks;
    // The cursors' readouts below the plot reach this much further right
    // than the client: a panel beside the chart stands above them.
    int readout_extend = 0;
    bool show_cursors = false;
    int cursor[2] = {0, 0};
    QColor gain_title_color{250, 0, 0};
    QColor phase_title_color{0, 0, 200};
    // What lies behind the labels, titles and readouts around the plot: the
    // sweep views' window, or the chart background where it fills the client.
    QColor surround{240, 240, 240};
};

enum class bode_out_of_range {
    clamp, // FRA view: out-of-range parts run along the edge
    clip,  // graph dialog: out-of-range parts are not drawn
};

class BodePlot {
public:
    BodePlot(s_bode_style style, bode_out_of_range mode);

    void draw(QPainter& painter, const QRect& client, const s_bode_inputs& in) const;
    // Renders the whole client area into an image, window background first.
    QImage render(QSize size, const s_bode_inputs& in, QColor window_background) const;

    const s_bode_style& style() const { return style_; }
    // Where the plot, labels and titles fall in a client rectangle of this
    // size, with the texts measured in the chart's fonts.
    s_bode_layout layout(QSize client) const;

private:
    void draw_frame(QPainter& p, const s_plot_rect& plot, const s_bode_inputs& in) const;
    void draw_titles(QPainter& p, const QRect& client, const s_bode_layout& at,
                     const s_bode_inputs& in) const;
    void draw_value_axes(QPainter& p, const s_bode_layout& at, const s_bode_inputs& in) const;
    void draw_freq_axis(QPainter& p, const s_bode_layout& at, const s_bode_inputs& in) const;
    void draw_series(QPainter& p, const s_plot_rect& plot, const s_bode_inputs& in) const;
    void draw_masks(QPainter& p, const s_plot_rect& plot, const s_bode_inputs& in) const;
    void draw_cursors(QPainter& p, const QRect& client, const s_plot_rect& plot,
                      const s_bode_inputs& in) const;

    s_bode_style style_;
    bode_out_of_range mode_;
};

QColor bode_qcolor(s_rgb c);
QColor bode_background_color(const s_bode_inputs& in);

// The font of the axis labels.
QFont bode_label_font();

// The series of the FRA view (fixed red gain, blue phase) from point triples.
s_bode_series bode_fra_series(std::vector<s_bode_point> points);

// The image's pixels as the BMP writer takes them (top row first, RGB).
s_bmp_image bode_bmp_image(const QImage& image);
// Writes the image as a 24-bit BMP file; 0 on success, -1 on failure.
int bode_save_bmp(const QImage& image, const QString& path);
