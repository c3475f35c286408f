#pragma once
// The graph dialog's Difference view: each compared test's difference from
// the reference (test - reference, dB) against frequency, in the test's
// gain colour, about a 0 dB line, on the dialog's frequency axis and
// background. The band edges of the comparison (100 kHz, 600 kHz) are
// marked and the bands named.
#include "review/graph_compare.h"

#include <QImage>
#include <QPainter>

// Paints the view into area of any paint device (the screen's image, a
// bitmap or an SVG drawing, where it stays vectors). The legend starts
// with "Test - reference (REFERENCE):", or with the lead given.
void graph_paint_difference(QPainter& p, const QRect& area, const graph_model& m,
                            const s_graph_comparison& c, bool for_file,
                            const std::string& legend_lead = {});
QImage graph_render_difference(const graph_model& m, const s_graph_comparison& c, QSize size,
                               bool for_file);
