#pragma once
// The registration point for the windows the main window holds.
//
// Every window-class row of the control tables ("QXTarvelo2FRAWClass",
// "QXTarvelo2ConfigWClass", "QXTarvelo2FRAResultsWClass", ...) is made by
// a factory. Without one, a plain table_window is made, so the main window
// is whole from the start; the subsystems that own a window register theirs
// from the program's main() before the main window is created. The window
// made must be a table_window (its table's controls are created into its
// client()).
//
// The other entry points let the subsystems that own them take over: the
// connection dialog and the test database's open and close.

#include "base/control_table.h"

#include <string>

class QWidget;
class table_window;

using mode_window_factory = table_window* (*)(QWidget* parent, const s_control& row);
void set_mode_window_factory(const char* class_name, mode_window_factory factory);
table_window* make_mode_window(QWidget* parent, const s_control& row);

// Runs the connection dialog modally; it leaves its result in the link.
using connection_dialog_runner = void (*)(QWidget* owner);
void set_connection_dialog(connection_dialog_runner runner);
void run_connection_dialog(QWidget* owner);
