#include "sweep/ui/sweep_result_view.h"

#include "base/ui/control_windows.h"
#include "base/ui/display_text.h"
#include "base/ui/qt_seams.h"

#include <QComboBox>
#include <QPainter>
#include <algorithm>

const QColor SWEEP_VIEW_BACKGROUND(240, 240, 240);

sweep_result_view::sweep_result_view(QWidget* parent, const char* class_name, int frame,
                                     const s_graph_controls& controls)
    : table_window(parent, class_name, frame), controls_(controls),
      bars_(controls.cursor_left, controls.bars_past_last)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void sweep_result_view::fill_box(int id, const std::vector<std::string>& items, int selected)
{
    auto* box = qobject_cast<QComboBox*>(control_by_id(id));
    if (!box)
        return;
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& item : items)
        box->addItem(qt_display_text(item));
    box->setCurrentIndex(std::min(selected, box->count() - 1));
}

void sweep_result_view::hook_controls()
{
    if (hooked_ || !bars_.hook(this, [this](int which, int v) { cursor_moved(which, v); }))
        return;
    hooked_ = true;
    // The controls sit in the band below the graph's labels, among the
    // cursor readouts: like the buttons they are, they paint their own
    // background rather than show what the graph drew there.
    for (int id = controls_.first_opaque; id <= controls_.last; ++id)
        if (QWidget* w = control_by_id(id))
            w->setAutoFillBackground(true);
    fill_box(controls_.scaling, {"Log Scaling", "Linear Scaling"}, 0);
    fill_box(controls_.background, {"Black Background", "White Background"}, 0);
    controls_hooked();
}

int sweep_result_view::controls_band() const
{
    return graph_controls_band(controls_.cursor_left, controls_.last);
}

// The side panel keeps this gap to the view's border and to the graph.
constexpr int SIDE_GAP = 4;

void sweep_result_view::set_side_panel(QWidget* panel, int width)
{
    side_ = panel;
    side_width_ = width;
    place_side_panel();
}

void sweep_result_view::show_side_panel(bool shown)
{
    if (!side_)
        return;
    side_->setVisible(shown);
    place_side_panel();
}

int sweep_result_view::side_room() const
{
    return side_ && side_->isVisibleTo(this) ? side_width_ + SIDE_GAP : 0;
}

void sweep_result_view::resizeEvent(QResizeEvent* event)
{
    table_window::resizeEvent(event);
    place_side_panel();
}

void sweep_result_view::place_side_panel()
{
    if (!side_)
        return;
    const QRect client = contentsRect();
    side_->setGeometry(client.right() + 1 - SIDE_GAP - side_width_, client.top() + SIDE_GAP,
                       side_width_, client.height() - controls_band() - 2 * SIDE_GAP);
}

std::function<void(QPainter&, const QRect&)> sweep_result_view::picture_painter()
{
    return [this](QPainter& p, const QRect& r) {
        p.fillRect(r, SWEEP_VIEW_BACKGROUND);
        draw_graph(p, r);
    };
}

// The graph (left of the side panel) or the readout fills the client area
// inside the border; a picture of the graph has the whole width.
void sweep_result_view::paintEvent(QPaintEvent*)
{
    hook_controls();
    const QRect client = contentsRect();
    QImage image(client.size(), QImage::Format_RGB32);
    image.fill(SWEEP_VIEW_BACKGROUND);
    {
        QPainter p(&image);
        painting_ = true;
        if (graph_shown())
            draw_graph(p, image.rect().adjusted(0, 0, -side_room(), 0));
        else
            paint_readout(p, image.rect());
        painting_ = false;
    }
    QPainter painter(this);
    painter.drawImage(client.topLeft(), image);
    drawFrame(&painter);
}
