// Painting the current mode's highlight in the menu bar.

#include "app/ui/mode_menu_bar.h"

#include <QPainter>

void mode_menu_bar::set_highlighted(QAction* action)
{
    highlighted_ = action;
    update();
}

void mode_menu_bar::paintEvent(QPaintEvent* event)
{
    QMenuBar::paintEvent(event);
    if (!highlighted_)
        return;
    const QRect box = actionGeometry(highlighted_).adjusted(1, 1, -2, -2);
    if (box.isEmpty())
        return;
    QPainter painter(this);
    QColor fill = palette().color(QPalette::Highlight);
    fill.setAlpha(60);
    painter.fillRect(box, fill);
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(box);
}
