// Factories for the main window's windows, and the default behaviours.

#include "app/ui/mode_windows.h"

#include "app/app_settings.h"
#include "app/ui/table_window.h"
#include "db/db_connection.h"
#include "db/db_last.h"

#include <filesystem>
#include <map>

namespace {

std::map<std::string, mode_window_factory>& factories()
{
    static std::map<std::string, mode_window_factory> map;
    return map;
}

connection_dialog_runner connection_runner = nullptr;
s_database_hooks database_hooks;

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

void set_database_hooks(const s_database_hooks& hooks)
{
    database_hooks = hooks;
}

void open_test_database(const std::string& path)
{
    if (database_hooks.open) {
        database_hooks.open(path);
        return;
    }
    // A missing file (the default database on a first start) is created with
    // the test-database schema; then the file is opened as the last database
    // and, when it opens, remembered in the settings file.
    db_set_current_path(path);
    bool is_new = false;
    if (!std::filesystem::exists(path))
        db_open(path, DB_OPEN_OR_CREATE, &is_new);
    db_open_last([](const std::string& opened) {
        if (!current_app_paths().settings_file.empty())
            settings_set_database_file(current_app_paths(), opened);
    });
}

void close_test_database()
{
    if (database_hooks.close)
        database_hooks.close();
    else
        db_close();
}
