#pragma once
// One base for the result views of the sweep modes: the child of a
// sweep-mode window that draws either the realtime readout or the graph of
// the last sweep, into an image the size of its client area shown in one
// blit, and carries the graph controls.

#include "base/ui/table_window.h"

#include <QColor>

extern const QColor SWEEP_VIEW_BACKGROUND;

class sweep_result_view : public table_window {
    Q_OBJECT
public:
    sweep_result_view(QWidget* parent, const char* class_name, int frame);

    std::function<void(QPainter&, const QRect&)> picture_painter() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The table creates the view's controls after the view itself; they
    // get their items and signals on first use.
    virtual void hook_controls() = 0;
    virtual bool graph_shown() const = 0;
    virtual void draw_graph(QPainter& p, const QRect& area) const = 0;
    virtual void paint_readout(QPainter& p, const QRect& area) = 0;
};
