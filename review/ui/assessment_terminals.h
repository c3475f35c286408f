#pragma once
// The small drawing of a plan step's connections: a row of terminals per
// winding (1U 1V 1W 1N, 2U ...), each marked by what it gets: the source,
// the measured response, earth, or nothing (open); terminals shorted
// together joined by a bar. Every mark is named in words beside it, so the
// drawing needs no legend. Black on white, as on paper.
#include "review/assessment_plan.h"

#include <QImage>
#include <QRect>

class QPainter;

// The drawing's smallest size that keeps every word clear of the others:
// this wide, and a row of this height per winding.
constexpr int TERMINALS_MIN_WIDTH = 380;
constexpr int TERMINALS_ROW_HEIGHT = 85;

void assessment_paint_terminals(QPainter& p, const QRect& area, const s_transformer& unit,
                                const s_plan_step& step);
QImage assessment_render_terminals(const s_transformer& unit, const s_plan_step& step, QSize size);
