// Registration of every window of the program and the start of its main window.

#include "app/ui/app_startup.h"

#include "base/ui/mode_windows.h"
#include "base/ui/off_window_dialog.h"
#include "config/ui/capture_window.h"
#include "config/ui/config_window.h"
#include "db/ui/db_form_windows.h"
#include "fra/ui/fra_window.h"
#include "lcr/ui/lcr_export_ui.h"
#include "lcr/ui/lcr_window.h"
#include "lcr/ui/piezo_window.h"
#include "link/ui/connect_dialog.h"
#include "office/ui/desktop_opener.h"
#include "review/ui/graph_dialog.h"
#include "review/ui/tests_export_ui.h"

void app_register_windows()
{
    off_window_use_dialog();
    set_connection_dialog(run_connect_dialog);
    set_mode_window_factory("QXTarvelo2ConfigWClass", make_config_window);
    fra_register_windows();
    lcr_register_windows();
    piezo_register_windows();
    review_register_exporters();
    lcr_register_exporters();
    capture_register_window();
    office_use_desktop_opener();
    db_register_windows();
    db_set_graph_opener(graph_dialog_open);
}

std::unique_ptr<main_window> app_start(const std::string& local_data_root,
                                       const std::string& working_dir)
{
    app_register_windows();
    auto window = std::make_unique<main_window>(local_data_root, working_dir);
    window->show();
    return window;
}
