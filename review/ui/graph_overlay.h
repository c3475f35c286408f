#pragma once
// What the graph dialog draws over BodePlot's chart: the legend of the
// tests, the crossing markers, the two dashed cursor paths with their
// circles, and (on screen) the cursor readout boxes. Also the chart inputs
// the model gives BodePlot, and whole renders for files and the clipboard.
#include "graph/ui/bode_plot.h"
#include "graph/ui/stability_plot.h"
#include "review/graph_model.h"

class QPainter;

s_bode_inputs graph_inputs(const graph_model& m);
// The Nyquist or Nichols chart's inputs: each test's curve in its gain
// trace's colour, weight and visibility.
s_stability_inputs graph_stability_inputs(const graph_model& m);
// The plot rectangle of a client rectangle, in its coordinates.
s_plot_rect graph_plot_rect(const QRect& client, const s_bode_style& style);
// for_file: the legend sits 45 instead of 60 pixels below the plot and the
// readouts are left out (they would fall below a file's bottom inset).
void graph_draw_overlay(QPainter& p, const QRect& client, const s_bode_style& style,
                        const graph_model& m, bool for_file);
// A test's trace colour as drawn on the background: a table colour made to
// stand out, the user's own kept.
QColor graph_trace_colour(const graph_model& m, int slot, bool phase, QColor background);
// The chart of the model's view with its overlay, painted into client on
// any device (screen, image, SVG); for_file uses the file's bottom inset.
void graph_paint(QPainter& p, const QRect& client, const graph_model& m, bool for_file);
// The same into an image of the given size.
QImage graph_render(const graph_model& m, QSize size, bool for_file);

// Legend cell of a slot: its left edge and width.
QRect graph_legend_cell(const s_plot_rect& plot, int slot, int legend_top, int height);
