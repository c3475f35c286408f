#pragma once
// What a mode window (FRA, LCR, piezo, capture) may ask of the main window
// that holds it, without knowing the main window's class: the shell sits on
// top of every subsystem, so the subsystems reach it only through this.

#include <initializer_list>

class QWidget;

class shell_window {
public:
    // Greys or restores the menu item that posts this command id.
    virtual void set_menu_item_enabled(int id, bool enabled) = 0;
    // Greys or restores the top-level menus of these titles (as shown, without
    // the "&" of their access keys).
    virtual void set_top_menus_enabled(std::initializer_list<const char*> titles, bool enabled) = 0;

protected:
    ~shell_window() = default;
};

// The shell holding this widget, or nullptr when it stands alone (a test
// that creates a mode window without a main window).
shell_window* shell_of(const QWidget* widget);
