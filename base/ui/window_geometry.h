#pragma once
// Size and place of the program's windows: the first time about three
// quarters of the screen, centred; later as the user left them, kept in the
// settings file of this process (centred again when the place lies off
// every present screen).

#include <QRect>
#include <string>

class QWidget;

// The available areas of the present screens, the first the one to centre
// on when nothing else is given.
QRect screen_area_of(const QWidget* widget);

// Gives the top-level window its size and place before (or right after) it
// is first shown: the geometry remembered under name, else the first
// placement, centred on centre_on when given and on its screen otherwise.
// design is the smallest size the window is meant for.
void window_geometry_restore(QWidget* window, const std::string& name, QSize design,
                             const QWidget* centre_on = nullptr);

// Remembers the window's normal geometry and whether it is maximised. Called
// as the window goes, so a settings file that cannot be written is not
// reported (as at its creation): the next start then places the window anew.
void window_geometry_save(const QWidget* window, const std::string& name);

// A chooser's remembered size under name, else the given one.
QSize window_size_remembered(const std::string& name, QSize fallback);
void window_size_remember(const std::string& name, QSize size);
