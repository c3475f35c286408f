#include "sweep/ui/cursor_bars.h"

#include "base/control_table.h"
#include "base/ui/control_windows.h"

#include <QScrollBar>
#include <algorithm>

namespace {

QScrollBar* bar(int id)
{
    return qobject_cast<QScrollBar*>(control_by_id(id));
}

} // namespace

bool cursor_bars::hook(QObject* context,
                       const std::function<void(int which, int value)>& moved) const
{
    if (!bar(first_id_))
        return false;
    for (int which = 0; which < 2; ++which)
        if (QScrollBar* b = bar(first_id_ + which))
            QObject::connect(b, &QScrollBar::valueChanged, context,
                             [moved, which](int v) { moved(which, v); });
    return true;
}

void cursor_bars::place(const int (&cursor)[2], int count) const
{
    for (int which = 0; which < 2; ++which) {
        QScrollBar* b = bar(first_id_ + which);
        if (!b)
            continue;
        const QSignalBlocker block(b);
        b->setRange(0, past_last_ ? count : std::max(count - 1, 0));
        b->setValue(cursor[which]);
    }
}

void cursor_bars::settle(int which, int value, int cursor) const
{
    if (value == cursor)
        return;
    if (QScrollBar* b = bar(first_id_ + which)) {
        const QSignalBlocker block(b);
        b->setValue(cursor);
    }
}

void cursor_bars::reset(int (&cursor)[2]) const
{
    cursor[0] = cursor[1] = 0;
    place(cursor, 0);
}

int graph_controls_band(int first_id, int last_id)
{
    int band = 0;
    for (int id = first_id; id <= last_id; ++id)
        if (const s_control* c = control_entry(id))
            band = std::max(band, c->y + c->height);
    return band;
}
