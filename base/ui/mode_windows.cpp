// Factories for the main window's windows, and the default behaviours.

#include "base/ui/mode_windows.h"

#include "base/app_settings.h"
#include "base/ui/table_window.h"

#include <map>

namespace {

std::map<std::string, mode_window_factory>& factories()
{
    static std::map<std::string, mode_window_factory> map;
    return map;
}

connection_dialog_runner connection_runner = nullptr;

} // namespace

void set_mode_window_factory(const char* class_name, mode_window_factory factory)
{
    factories()[class_name] = factory;
}

table_window* make_mode_window(QWidget* parent, const s_control& row)
{
    const auto it = factories().find(row.class_name);
    if (it != factories().end() && it->second)
        return it->second(parent, row);
    return new table_window(parent, row.class_name, control_frame(row));
}

void set_connection_dialog(connection_dialog_runner runner)
{
    connection_runner = runner;
}

void run_connection_dialog(QWidget* owner)
{
    if (connection_runner)
        connection_runner(owner);
}
