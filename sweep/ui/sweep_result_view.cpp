#include "sweep/ui/sweep_result_view.h"

#include <QPainter>

const QColor SWEEP_VIEW_BACKGROUND(240, 240, 240);

sweep_result_view::sweep_result_view(QWidget* parent, const char* class_name, int frame)
    : table_window(parent, class_name, frame)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

std::function<void(QPainter&, const QRect&)> sweep_result_view::picture_painter()
{
    return [this](QPainter& p, const QRect& r) {
        p.fillRect(r, SWEEP_VIEW_BACKGROUND);
        draw_graph(p, r);
    };
}

// The graph or the readout fills the client area inside the border.
void sweep_result_view::paintEvent(QPaintEvent*)
{
    hook_controls();
    const QRect client = contentsRect();
    QImage image(client.size(), QImage::Format_RGB32);
    image.fill(SWEEP_VIEW_BACKGROUND);
    {
        QPainter p(&image);
        if (graph_shown())
            draw_graph(p, image.rect());
        else
            paint_readout(p, image.rect());
    }
    QPainter painter(this);
    painter.drawImage(client.topLeft(), image);
    drawFrame(&painter);
}
