#pragma once
// The interface font: DejaVu Sans Condensed, carried in the program's
// resources, 11 device-independent pixels high — the size the control
// tables' widths and heights were laid out for. Every table font derives
// from it, so it must be in place before the first window is built.

#include <QString>

constexpr int INTERFACE_FONT_PIXELS = 11;

// Loads the embedded font files and makes the font the application's.
// Returns the family in use; a program whose resources lack the font keeps
// the platform's default sans serif at the same size.
QString use_interface_font();
