// Mode transitions and the visibility and enabling rules of the main window.

#include "app/main_mode.h"

void main_enter_mode(s_main_state& state, int mode)
{
    state.previous_mode = state.mode;
    state.mode = mode;
}

bool main_enter_database(s_main_state& state)
{
    if (state.mode == MODE_DATABASE)
        return false;
    main_enter_mode(state, MODE_DATABASE);
    return true;
}

bool main_leave_database(s_main_state& state)
{
    if (state.mode != MODE_DATABASE)
        return false;
    state.mode = state.previous_mode;
    return true;
}

s_mode_view main_mode_view(const s_main_state& state, bool connected)
{
    const bool database = state.mode == MODE_DATABASE;
    s_mode_view v;
    v.config_panel = !database && !state.settings_hidden;
    v.database_view = database;
    for (int m = 0; m < MODE_COUNT; ++m)
        v.mode_window[m] = m != MODE_DATABASE && m == state.mode;
    v.hide_settings = !database;
    v.read_setup = !database && connected;
    v.mode_menus = !database;
    return v;
}

s_main_enable main_controls_enable(const s_main_state& state, bool enable, bool connected,
                                   bool fra_running)
{
    s_main_enable e;
    e.strip = enable;
    e.config_panel = enable && connected && !fra_running;
    e.database = !fra_running;
    for (int m = 0; m < MODE_COUNT; ++m)
        e.mode_window[m] = m == state.mode;
    return e;
}

bool main_settings_hidden(const s_main_state& state, int plot_with_panel)
{
    if (state.settings_chosen)
        return state.settings_hidden;
    return state.mode == MODE_LCR && plot_with_panel < MAIN_LEAST_PLOT_HEIGHT;
}

const char* main_settings_button_text(bool hidden)
{
    return hidden ? "SHOW SETTINGS" : "HIDE SETTINGS";
}
