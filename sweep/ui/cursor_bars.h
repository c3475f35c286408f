#pragma once
// The two cursor scroll bars of a result view (the left bar's id first, the
// right bar's next): their range over the sweep's points and their thumbs
// on the cursors. The cursors themselves live in the view's state, which
// keeps them on the points.

#include <functional>

class QObject;

class cursor_bars {
public:
    // past_last: the range ends one past the last point (the FRA view's
    // bars); a thumb moved there goes back onto its cursor.
    cursor_bars(int first_id, bool past_last) : first_id_(first_id), past_last_(past_last) {}

    // Connects both bars to moved(which, value). The table makes the bars
    // after the view: false while they do not exist yet.
    bool hook(QObject* context, const std::function<void(int which, int value)>& moved) const;
    // The range for count points, the thumbs on the cursors.
    void place(const int (&cursor)[2], int count) const;
    // After a bar moved to value: its thumb back on the cursor where the
    // cursor stopped short of it, so the first click back moves the cursor.
    void settle(int which, int value, int cursor) const;
    // CLEAR: both cursors and thumbs back at the start.
    void reset(int (&cursor)[2]) const;

private:
    int first_id_;
    bool past_last_;
};

// The band at the view's bottom that the graph controls first..last take
// (from the lowest to the top of the highest), kept free of the chart.
int graph_controls_band(int first_id, int last_id);
