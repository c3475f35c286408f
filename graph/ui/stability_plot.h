#pragma once
// StabilityPlot: paints a Nyquist plot or a Nichols chart of one or more
// measured loops with a QPainter into any rectangle, so the same code draws
// on screen, into bitmap, PNG and SVG files and for the clipboard. The
// positions come from graph/stability_geometry.h.

#include "graph/bode_geometry.h"
#include "graph/stability_geometry.h"

#include <QColor>
#include <QPointF>
#include <QRect>
#include <vector>

class QPainter;

struct s_stability_series {
    std::vector<s_loop_point> points;
    QColor color{255, 0, 0};
    int width = 1;
    bool visible = true;
};

struct s_stability_inputs {
    stability_view view = stability_view::nyquist;
    QColor background{Qt::black};
    std::vector<s_stability_series> series;
};

class StabilityPlot {
public:
    StabilityPlot(const s_stability_inputs& in, const s_plot_rect& plot);

    // The frame, grid, labels, the unit circle or the -180 degree and 0 dB
    // lines, every visible curve (one path each) and the critical point.
    void draw(QPainter& p) const;

    // Where a chart point falls in pixels.
    QPointF to_pixel(s_xy point) const;
    bool inside(QPointF pixel) const;
    const s_stability_frame& frame() const { return frame_; }

    // Black on light backgrounds, white on dark ones: labels, titles, the
    // critical point and its lines.
    static QColor foreground(QColor background);

private:
    void draw_grid(QPainter& p) const;
    void draw_labels(QPainter& p) const;
    void draw_critical(QPainter& p) const;
    void draw_curves(QPainter& p) const;

    const s_stability_inputs& in_;
    s_plot_rect plot_;
    std::vector<s_xy_curve> curves_;
    s_stability_frame frame_;
};
