#include "base/ui/shell_window.h"

#include <QWidget>

shell_window* shell_of(const QWidget* widget)
{
    return widget ? dynamic_cast<shell_window*>(widget->window()) : nullptr;
}
