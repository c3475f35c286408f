#pragma once
// One base for the result views of the sweep modes: the child of a
// sweep-mode window that draws either the realtime readout or the graph of
// the last sweep, into an image the size of its client area shown in one
// blit, and carries the graph controls: the two cursor bars first, the
// scaling and background boxes last.

#include "base/ui/table_window.h"
#include "sweep/ui/cursor_bars.h"

#include <QColor>
#include <string>
#include <vector>

extern const QColor SWEEP_VIEW_BACKGROUND;

struct s_graph_controls {
    int cursor_left = 0;         // the right bar follows
    bool bars_past_last = false; // see cursor_bars
    int first_opaque = 0;        // from here to the last control: painting their own background
    int scaling = 0;
    int background = 0;
    int last = 0; // the last of the graph controls
};

class sweep_result_view : public table_window {
    Q_OBJECT
public:
    // frame: the border of the view's table row, so that the client the
    // graph controls are anchored in is the one the graph paints into.
    sweep_result_view(QWidget* parent, const char* class_name, int frame,
                      const s_graph_controls& controls);

    std::function<void(QPainter&, const QRect&)> picture_painter() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The table creates the view's controls after the view itself; they
    // get their items and signals on first use.
    void hook_controls();
    // The height of the band the graph controls take at the view's bottom.
    int controls_band() const;
    const cursor_bars& bars() const { return bars_; }

    // A box's items, one selected, without telling the view.
    static void fill_box(int id, const std::vector<std::string>& items, int selected);

    // A column of panels at the graph's right, from the view's top down to
    // its control strip, shown with the graph controls; the graph keeps the
    // width left of it.
    void set_side_panel(QWidget* panel, int width);
    void show_side_panel(bool shown);
    // The width the side panel takes from the graph (0 while it is hidden),
    // and while the view paints itself (not a picture of the graph).
    int side_room() const;
    int painted_side_room() const { return painting_ ? side_room() : 0; }
    void resizeEvent(QResizeEvent* event) override;

private:
    virtual void controls_hooked() {}
    virtual void cursor_moved(int which, int value) = 0;
    virtual bool graph_shown() const = 0;
    virtual void draw_graph(QPainter& p, const QRect& area) const = 0;
    virtual void paint_readout(QPainter& p, const QRect& area) = 0;

    void place_side_panel();

    s_graph_controls controls_;
    cursor_bars bars_;
    QWidget* side_ = nullptr;
    int side_width_ = 0;
    bool painting_ = false;
    bool hooked_ = false;
};
