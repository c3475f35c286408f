// Creating, showing, enabling and laying out the table-built controls.

#include "base/ui/control_windows.h"

#include "base/ui/eliding_combo.h"
#include "base/ui/mode_windows.h"
#include "base/ui/qt_seams.h"
#include "base/ui/table_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <array>
#include <cstring>

namespace {

QPointer<QWidget> main_client;

const char* const FONT_PROPERTY = "table_font";

std::array<QFont, FONT_COUNT> build_fonts()
{
    const int h = QFontInfo(QApplication::font()).pixelSize();
    std::array<QFont, FONT_COUNT> fonts;
    for (int i = 0; i < FONT_COUNT; ++i) {
        const s_font_spec spec = font_spec(i, h);
        QFont f = QApplication::font();
        f.setPixelSize(spec.height);
        f.setWeight(spec.weight >= 700   ? QFont::Bold
                    : spec.weight >= 600 ? QFont::DemiBold
                                         : QFont::Normal);
        fonts[i] = f;
    }
    return fonts;
}

void post_from(QWidget* control, int id, int notify)
{
    post_command(control_owner(control), id, notify);
}

QWidget* make_button(QWidget* parent, const s_control& c)
{
    const QString text = qt_from_ansi(c.text);
    if (c.style & CTL_GROUP_BOX)
        return new QGroupBox(text, parent);
    if (c.style & CTL_CHECK_BOX) {
        auto* box = new QCheckBox(text, parent);
        QObject::connect(box, &QCheckBox::clicked,
                         [box, id = c.id] { post_from(box, id, NOTIFY_CLICKED); });
        return box;
    }
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked,
                     [button, id = c.id] { post_from(button, id, NOTIFY_CLICKED); });
    return button;
}

QWidget* make_static(QWidget* parent, const s_control& c)
{
    auto* label = new QLabel(qt_from_ansi(c.text), parent);
    label->setWordWrap(!(c.style & CTL_LEFT_NO_WRAP) && !(c.style & CTL_BITMAP));
    label->setAlignment(c.style & CTL_CENTRED ? Qt::AlignHCenter | Qt::AlignTop
                                              : Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget* make_edit(QWidget* parent, const s_control& c)
{
    auto* edit = new QLineEdit(qt_from_ansi(c.text), parent);
    edit->setFrame(control_frame(c) > 0); // a border only when the style asks for one
    edit->setReadOnly(c.style & CTL_READ_ONLY);
    if (c.style & CTL_READ_ONLY) {
        // A read-only field shows its value on the window's own background.
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
    }
    if (c.style & CTL_CENTRED)
        edit->setAlignment(Qt::AlignCenter);
    QObject::connect(edit, &QLineEdit::textEdited,
                     [edit, id = c.id] { post_from(edit, id, NOTIFY_EDIT_CHANGE); });
    return edit;
}

QWidget* make_combo(QWidget* parent, const s_control& c)
{
    // A drop-down list only ever shows its selected item: its window text
    // is kept as the control's name, never drawn.
    auto* combo = new eliding_combo(parent);
    combo->setAccessibleName(qt_from_ansi(c.text));
    QObject::connect(combo, &QComboBox::activated,
                     [combo, id = c.id] { post_from(combo, id, NOTIFY_SELECT_OK); });
    return combo;
}

// A report list: rows with grid lines, one whole row selected at a time.
QWidget* make_list(QWidget* parent)
{
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setStyleSheet(QStringLiteral("QTreeView::item { border-right: 1px solid #d0d0d0; "
                                       "border-bottom: 1px solid #d0d0d0; }"));
    return list;
}

QWidget* make_control(QWidget* parent, const s_control& c)
{
    const char* cls = c.class_name;
    if (std::strncmp(cls, "QXTarvelo2", 10) == 0)
        return make_mode_window(parent, c);
    if (std::strcmp(cls, "Button") == 0)
        return make_button(parent, c);
    if (std::strcmp(cls, "Static") == 0)
        return make_static(parent, c);
    if (std::strcmp(cls, "Edit") == 0)
        return make_edit(parent, c);
    if (std::strcmp(cls, "Combobox") == 0)
        return make_combo(parent, c);
    if (std::strcmp(cls, "SysListView32") == 0)
        return make_list(parent);
    if (std::strcmp(cls, "ScrollBar") == 0)
        return new QScrollBar(c.style & CTL_HORIZONTAL ? Qt::Horizontal : Qt::Vertical, parent);
    return nullptr; // tool tips are properties of the controls they explain
}

// Buttons and lists are reached with the Tab key, the other controls only
// with the mouse; a window made by its subsystem keeps its own policy.
void set_tab_stop(QWidget* w, const s_control& c)
{
    const bool tab_stop = std::strcmp(c.class_name, "Button") == 0 ||
                          std::strcmp(c.class_name, "SysListView32") == 0 ||
                          std::strncmp(c.class_name, "QXTarvelo2", 10) == 0;
    if (!tab_stop && (w->focusPolicy() & Qt::TabFocus))
        w->setFocusPolicy(Qt::ClickFocus);
}

QWidget* widget_of(const s_control& c)
{
    return static_cast<QWidget*>(c.window);
}

void apply_font(QWidget* w, int index)
{
    w->setFont(table_font(index));
    w->setProperty(FONT_PROPERTY, index);
}

void move_control(s_control& c)
{
    widget_of(c)->setGeometry(c.cur_x, c.cur_y, c.cur_width, c.cur_height);
}

} // namespace

const QFont& table_font(int index)
{
    static const std::array<QFont, FONT_COUNT> fonts = build_fonts();
    return fonts[index >= 0 && index < FONT_COUNT ? index : 0];
}

int table_font_rotation(int index)
{
    return font_spec(index, 1).escapement / 10;
}

void set_layout_reference(QWidget* client)
{
    main_client = client;
}

void create_table(QWidget* parent, control_table_id table)
{
    for (s_control& c : control_table(table)) {
        if (!c.class_name)
            continue;
        c.parent = parent;
        QWidget* w = make_control(parent, c);
        c.window = w;
        if (!w)
            continue;
        w->hide();
        w->setGeometry(c.cur_x, c.cur_y, c.cur_width, c.cur_height);
        w->setProperty("control_id", c.id);
        w->setEnabled(!(c.style & CTL_DISABLED));
        set_tab_stop(w, c);
        apply_font(w, c.font);
    }
}

void show_table(control_table_id table)
{
    for (const s_control& c : control_table(table)) {
        if (c.window)
            widget_of(c)->show();
    }
}

void enable_table(control_table_id table, bool enable)
{
    for (const s_control& c : control_table(table)) {
        if (c.window && !(c.style & CTL_DISABLED))
            widget_of(c)->setEnabled(enable);
    }
}

QWidget* control_by_id(int id)
{
    const s_control* c = control_entry(id);
    return c ? widget_of(*c) : nullptr;
}

void post_click(int id)
{
    if (QWidget* w = control_by_id(id))
        post_from(w, id, NOTIFY_CLICKED);
}

void set_selected_font(int selected, int first, int last)
{
    for (int id = first; id <= last; ++id) {
        QWidget* w = control_by_id(id);
        const int want = id == selected ? FONT_BOLD : FONT_NORMAL;
        if (w && w->property(FONT_PROPERTY).toInt() != want)
            apply_font(w, want);
    }
}

void relayout()
{
    if (main_client)
        layout_all(main_client->width(), main_client->height(), move_control);
}

void set_settings_hidden(bool hidden)
{
    auto main = control_table(TABLE_MAIN);
    widget_of(main[ROW_CONFIG])->setVisible(!hidden);
    QWidget* fra = widget_of(main[ROW_FRA]);
    QWidget* lcr = widget_of(main[ROW_LCR]);
    QWidget* was_visible = fra->isVisible() ? fra : lcr->isVisible() ? lcr : nullptr;
    if (was_visible)
        was_visible->hide();
    layout_settings_hidden(hidden);
    for (int row : {ROW_FRA, ROW_LCR, ROW_CAPTURE, ROW_PIEZO})
        move_control(main[row]);
    relayout();
    if (was_visible)
        was_visible->show();
}

command_target* control_owner(QWidget* control)
{
    for (QWidget* w = control ? control->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto* target = dynamic_cast<command_target*>(w))
            return target;
    }
    return nullptr;
}

void forget_table_windows()
{
    for (int t = 0; t < TABLE_COUNT; ++t) {
        for (s_control& c : control_table(static_cast<control_table_id>(t)))
            c.window = c.parent = nullptr;
    }
}

void set_control_text(int id, const QString& text)
{
    QWidget* w = control_by_id(id);
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(text);
}

QString control_text(int id)
{
    QWidget* w = control_by_id(id);
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    return QString();
}

void set_control_enabled(int id, bool enabled)
{
    if (QWidget* w = control_by_id(id))
        w->setEnabled(enabled);
}

void set_control_visible(int id, bool visible)
{
    if (QWidget* w = control_by_id(id))
        w->setVisible(visible);
}
