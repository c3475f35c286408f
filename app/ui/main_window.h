#pragma once
// The main window: menu, button strip, configuration panel and the work
// area of the current mode (FRA, LCR, database view, piezo, capture).

#include "app/main_mode.h"
#include "base/app_settings.h"
#include "base/command_seam.h"
#include "base/control_table.h"
#include "base/ui/shell_window.h"
#include "db/db_connection.h"

#include <QMainWindow>
#include <array>
#include <string>

class QAction;
class QMenu;
class table_window;
class config_panel_window;
class status_line;

// The main window's client size as designed: the outer design size of
// 1024 x 625 less a four-pixel frame, the caption and the menu bar.
constexpr int MAIN_CLIENT_WIDTH = 1016;
constexpr int MAIN_CLIENT_HEIGHT = 577;

class main_window : public QMainWindow, public command_target, public shell_window {
    Q_OBJECT
public:
    // local_data_root: the per-user local application data folder;
    // working_dir: where the default test database lives.
    main_window(const std::string& local_data_root, const std::string& working_dir);
    ~main_window() override;

    void on_command(int id, intptr_t lparam) override;

    const s_main_state& state() const { return state_; }
    const s_app_paths& paths() const { return paths_; }
    const std::string& database_path() const { return db_current_path(); }
    table_window* mode_window(int main_row) const;
    QAction* menu_action(int id) const;
    void set_menu_item_enabled(int id, bool enabled) override;
    void set_top_menus_enabled(std::initializer_list<const char*> titles, bool enabled) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing while a repeating test runs asks first: the rest of the
    // series would be lost.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void build_menu();
    void add_desktop_items(QMenu* first, QMenu* help);
    void open_web_page(const char* url);
    void build_controls();
    // Creates the controls of the row's window and of the windows within
    // it, once: before the window first shows.
    void build_row(int main_row);
    void decorate_controls();
    void decorate_icons();
    void prepare_settings();
    void open_startup_database(const std::string& working_dir);

    void show_mode();
    void highlight_mode();
    void refresh_main(bool enable, bool connected);
    void connection_flow();
    void change_fra_lcr(int mode);
    void change_piezo();
    void after_mode_change(bool connected);
    void measure();
    void database();
    void toggle_settings();
    void fit_settings();
    void show_settings_hidden(bool hidden);
    void toggle_comms_log();
    void graph_picture(bool to_file);
    // File > Print..., Print Preview and Export PDF... of the current mode.
    void print_mode(int command);
    config_panel_window* config_panel() const;
    bool fra_running() const;
    bool series_running() const;

    s_main_state state_;
    s_app_paths paths_;
    QWidget* client_ = nullptr;
    QMenu* display_menu_ = nullptr;
    QAction* debug_action_ = nullptr;
    status_line* status_ = nullptr;
    bool size_released_ = false;
    std::array<bool, TABLE_COUNT> built_{};
};

// True when the link has identified an instrument.
bool main_connected();
