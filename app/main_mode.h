#pragma once
// The main window's modes and the rules that decide which windows show and
// which controls are enabled in each. Plain data, so the rules are tested
// without a display.

enum main_mode : int {
    MODE_FRA = 0,
    MODE_LCR = 1,
    MODE_DATABASE = 2,
    MODE_PIEZO = 3,
    MODE_CAPTURE = 4,
    MODE_COUNT = 5,
};

struct s_main_state {
    int mode = MODE_FRA;
    int previous_mode = MODE_FRA;
    bool settings_hidden = false;
    bool settings_chosen = false; // HIDE/SHOW SETTINGS used: the panel no longer folds by itself
};

// A menu change of mode: the mode left becomes the previous mode.
void main_enter_mode(s_main_state& state, int mode);
// DATABASE: enters the database view unless already there (so pressing it
// twice keeps the first stored mode). True when the mode changed.
bool main_enter_database(s_main_state& state);
// MEASURE: leaves the database view for the stored mode; does nothing in
// any other mode. True when the mode changed.
bool main_leave_database(s_main_state& state);

// What shows and what may be used in a mode.
struct s_mode_view {
    bool config_panel = false;
    bool database_view = false;   // tool strip and lists
    bool mode_window[MODE_COUNT]; // FRA, LCR, -, piezo, capture windows
    bool hide_settings = false;   // HIDE/SHOW SETTINGS enabled
    bool read_setup = false;      // READ HXM and SET UP HXM enabled
    bool mode_menus = false;      // FRA/LCR/Piezo/Capture items and the Display menu
};
s_mode_view main_mode_view(const s_main_state& state, bool connected);

// The refresh of the main controls: enable flag, connection and whether the
// FRA window runs a sweep, series or realtime measurement. A view is usable
// only in its own mode, so every change of mode (the menu, DATABASE and
// MEASURE) refreshes the controls of the view it shows.
struct s_main_enable {
    bool strip = false;        // strip and configuration buttons (not those created disabled)
    bool config_panel = false; // the panel window, READ HXM and SET UP HXM
    bool database = false;     // DATABASE
    bool mode_window[MODE_COUNT];
};
s_main_enable main_controls_enable(const s_main_state& state, bool enable, bool connected,
                                   bool fra_running);

// The least height of the LCR graph's plot: below it the settings panel
// folds away by itself in LCR mode.
constexpr int MAIN_LEAST_PLOT_HEIGHT = 200;
// Whether the settings panel is hidden, for an LCR plot `plot_with_panel`
// pixels high beside the shown panel: as the user chose once they have;
// otherwise in LCR mode while that plot would be too low.
bool main_settings_hidden(const s_main_state& state, int plot_with_panel);

// The text of the settings button.
const char* main_settings_button_text(bool hidden);
