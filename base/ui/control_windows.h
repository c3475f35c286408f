#pragma once
// The table routines on Qt widgets: create the controls of a table, show
// and enable them, find one by id, post a click, mark the selected button of
// a tab-like group, and lay everything out when the main window changes size
// or the configuration panel is hidden.

#include "base/control_table.h"

#include <QFont>
#include <QString>

class QWidget;
class command_target;

// The font of a table font index (built once from the application font).
const QFont& table_font(int index);
// Degrees a font of the table turns its text (0, 90 or 270).
int table_font_rotation(int index);

// The main window's client area: the reference of every layout.
void set_layout_reference(QWidget* main_client);

void create_table(QWidget* parent, control_table_id table);
void show_table(control_table_id table);
void enable_table(control_table_id table, bool enable);
QWidget* control_by_id(int id);
// The text of a button, label or edit field; the others and missing ids
// are left alone (a window's controls exist only once its table is made).
void set_control_text(int id, const QString& text);
QString control_text(int id);
void set_control_enabled(int id, bool enabled);
void set_control_visible(int id, bool visible);
// Posts a click of the control to the window it belongs to.
void post_click(int id);
// Bold for the selected id, normal for the others of first..last.
void set_selected_font(int selected, int first, int last);
void relayout();
// Hides or shows the configuration panel and lays the mode windows out for
// the room it leaves.
void set_settings_hidden(bool hidden);

// The command target a control reports to: its nearest window that takes
// commands.
command_target* control_owner(QWidget* control);

// Drops every widget pointer the tables hold (the main window is closing).
void forget_table_windows();
