#include "fra/ui/fra_view.h"

#include "base/command_ids.h"
#include "base/control_table.h"
#include "base/ui/control_windows.h"
#include "base/ui/qt_seams.h"
#include "base/ui_seam.h"
#include "fra/margins.h"
#include "fra/realtime.h"
#include "fra/ui/fra_window.h"
#include "graph/bode_geometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

const char* const FRA_VIEW_CLASS = "QXTarvelo2FRAResultsWClass";

namespace {

enum : int {
    ID_CURSOR0 = 14601,
    ID_CURSOR1 = 14602,
    ID_MARGINS = 14603,
    ID_CENTRE = 14604,
    ID_SCALING = 14605,
    ID_BACKGROUND = 14606,
};

const QColor WINDOW_BACKGROUND(240, 240, 240);
const char* const FIT_LABEL = "8Magnitude 18";
const char* const FIT_VALUE = " -8.8888E88 Hz ";

// The largest font, from start pixels down, whose text fits the width.
QFont fit(const QString& text, int start, int width)
{
    QFont f;
    for (int px = std::max(start, 2); px > 1; --px) {
        f.setPixelSize(px);
        if (QFontMetrics(f).horizontalAdvance(text) < width)
            break;
    }
    return f;
}

// The FRA view's chart: the graph controls are anchored to the view's
// bottom, so the band they take (from the lowest to the top of the highest)
// is kept free of the plot and its labels.
s_bode_style chart_style()
{
    s_bode_style style = bode_style_fra_view();
    for (int id = ID_CURSOR0; id <= ID_BACKGROUND; ++id)
        if (const s_control* c = control_entry(id))
            style.reserved_bottom = std::max(style.reserved_bottom, c->y + c->height);
    return style;
}

void fill_combo(int id, std::initializer_list<const char*> items)
{
    auto* combo = qobject_cast<QComboBox*>(control_by_id(id));
    if (!combo || combo->count() > 0)
        return;
    for (const char* item : items)
        combo->addItem(item);
    combo->setCurrentIndex(0);
}

} // namespace

fra_view::fra_view(QWidget* parent, fra_window* owner, int frame)
    : table_window(parent, FRA_VIEW_CLASS, frame), owner_(owner),
      plot_(chart_style(), bode_out_of_range::clamp)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// The table creates the view's controls after the view itself; they get
// their items and signals on first use.
void fra_view::hook_controls()
{
    if (hooked_ || !control_by_id(ID_CURSOR0))
        return;
    hooked_ = true;
    // The controls sit in the band below the chart's labels, among the
    // cursor readouts: like the buttons they are, they paint their own
    // background rather than show what the chart drew there.
    for (int id = ID_MARGINS; id <= ID_BACKGROUND; ++id)
        if (QWidget* w = control_by_id(id))
            w->setAutoFillBackground(true);
    fill_combo(ID_SCALING, {"Log Scaling", "Linear Scaling"});
    fill_combo(ID_BACKGROUND, {"Black Background", "White Background"});
    for (int which = 0; which < 2; ++which) {
        auto* bar = qobject_cast<QScrollBar*>(control_by_id(ID_CURSOR0 + which));
        if (bar)
            connect(bar, &QScrollBar::valueChanged, this,
                    [this, which](int v) { scroll(which, v); });
    }
}

void fra_view::on_command(int id, intptr_t lparam)
{
    hook_controls();
    switch (id) {
    case CMD_FRA_VIEW_REDRAW:
        if (lparam == 1)
            font_size_ = QSize();
        update();
        break;
    case CMD_FRA_VIEW_NEW_SWEEP: new_sweep(); break;
    case ID_MARGINS: find_margins(); break;
    case ID_CENTRE:
        if (auto* box = qobject_cast<QCheckBox*>(control_by_id(ID_CENTRE)))
            state_.centre_zero = box->isChecked();
        // Without points there is no gain to centre: the axes stay as drawn.
        if (owner_->results().count > 0)
            fra_view_gain_range(state_, owner_->results());
        update();
        break;
    case ID_SCALING:
    case ID_BACKGROUND:
        if (auto* combo = qobject_cast<QComboBox*>(control_by_id(id)))
            (id == ID_SCALING ? state_.scaling : state_.background) = combo->currentIndex();
        update();
        break;
    default: table_window::on_command(id, lparam); break;
    }
}

void fra_view::new_sweep()
{
    fra_view_new_sweep(state_, owner_->results());
    place_cursor_bars(owner_->results().count);
}

void fra_view::results_cleared()
{
    hook_controls();
    state_.cursor[0] = state_.cursor[1] = 0;
    place_cursor_bars(0);
}

void fra_view::place_cursor_bars(int count)
{
    for (int which = 0; which < 2; ++which) {
        auto* bar = qobject_cast<QScrollBar*>(control_by_id(ID_CURSOR0 + which));
        if (!bar)
            continue;
        const QSignalBlocker block(bar);
        bar->setRange(0, count);
        bar->setValue(state_.cursor[which]);
    }
}

void fra_view::scroll(int which, int value)
{
    if (fra_view_move_cursor(state_, which, value, owner_->results().count))
        post_command(this, CMD_FRA_VIEW_REDRAW, 0);
    // The bar's range ends one past the last point: keep its thumb on the
    // cursor, so the first click back from the far right moves the cursor.
    if (value != state_.cursor[which])
        if (auto* bar = qobject_cast<QScrollBar*>(control_by_id(ID_CURSOR0 + which))) {
            const QSignalBlocker block(bar);
            bar->setValue(state_.cursor[which]);
        }
}

void fra_view::find_margins()
{
    const FraResults& r = owner_->results();
    for (margin_kind kind : {margin_kind::zero_db, margin_kind::zero_phase}) {
        LList<s_gain_phase_point> found = margin_search(r.points.data(), r.count, kind);
        ui_message_box(this, margin_report(found, kind), "Tarvelo2", MB_OK | MB_ICONINFORMATION);
    }
}

s_bode_inputs fra_view::chart_inputs() const
{
    const FraResults& r = owner_->results();
    s_bode_inputs in;
    in.freq = state_.freq;
    in.gain = state_.gain;
    in.phase_base = bode_phase_base(r.phase_convention);
    in.log_scaling = state_.scaling == 0;
    in.background = state_.background == 1 ? bode_background::white : bode_background::black;
    std::vector<s_bode_point> pts(static_cast<size_t>(std::clamp(r.count, 0, MAX_SWEEP_POINTS)));
    for (size_t i = 0; i < pts.size(); ++i)
        pts[i] = {r.points[i].frequency(), r.points[i].gain(), r.points[i].phase()};
    in.show_cursors = !pts.empty();
    in.series.push_back(bode_fra_series(std::move(pts)));
    in.cursor[0] = state_.cursor[0];
    in.cursor[1] = state_.cursor[1];
    return in;
}

s_bode_layout fra_view::chart_layout() const
{
    return plot_.layout(contentsRect().size());
}

QImage fra_view::render_chart(QSize size) const
{
    return plot_.render(size, chart_inputs(), WINDOW_BACKGROUND);
}

QImage fra_view::picture()
{
    return render_chart(contentsRect().size());
}

std::function<void(QPainter&, const QRect&)> fra_view::picture_painter()
{
    return [this](QPainter& p, const QRect& r) {
        p.fillRect(r, WINDOW_BACKGROUND);
        plot_.draw(p, r, chart_inputs());
    };
}

// The chart and the readout fill the client area inside the border.
void fra_view::paintEvent(QPaintEvent*)
{
    hook_controls();
    const QRect client = contentsRect();
    QImage image(client.size(), QImage::Format_RGB32);
    image.fill(WINDOW_BACKGROUND);
    {
        QPainter p(&image);
        if (owner_->view() == FRA_VIEW_GRAPH)
            plot_.draw(p, image.rect(), chart_inputs());
        else
            paint_readout(p, image.rect());
    }
    QPainter painter(this);
    painter.drawImage(client.topLeft(), image);
    drawFrame(&painter);
}

void fra_view::paint_readout(QPainter& p, const QRect& area)
{
    const s_instrument_caps& caps = owner_->instrument_caps();
    const int tiles = fra_tile_count(caps);
    const s_tile_grid g = fra_tile_grid(tiles, area.width(), area.height());
    const int tw = area.width() / g.columns;
    const int th = area.height() / g.rows;
    const int label_h = th / 2 - 1;
    if (font_size_ != area.size()) {
        font_size_ = area.size();
        label_font_ = fit(FIT_LABEL, label_h - 4, tw);
        value_font_ = fit(FIT_VALUE, th - label_h - 2 - 2, tw - 4);
    }
    const auto labels = fra_tile_labels(caps);
    const s_fra_result& r = owner_->displayed();
    for (int i = 0; i < tiles; ++i) {
        const QRect tile(area.left() + (i % g.columns) * tw, area.top() + (i / g.columns) * th, tw,
                         th);
        const QRect label(tile.left(), tile.top(), tw, label_h);
        const QRect value(tile.left() + 2, tile.top() + label_h + 2, tw - 4, th - label_h - 2);
        p.setFont(label_font_);
        p.setPen(Qt::black);
        p.drawText(label, Qt::AlignCenter, qt_from_ansi(labels[static_cast<size_t>(i)]));
        p.fillRect(value, Qt::black);
        p.setFont(value_font_);
        p.setPen(Qt::yellow);
        p.drawText(value, Qt::AlignCenter, qt_from_ansi(fra_tile_value(i, r.v[i])));
    }
}
