#pragma once
// The pages of the configuration panel for the two instrument models: which
// parameters each page edits (control ids are the page's base plus the
// row's index), which rows show under the present configuration, which
// parameters re-lay the page out when they change, and the texts shown for
// parameters the model holds no text for yet. Plain data and rules; the
// panel window builds its controls from them.

#include <span>
#include <vector>

class instrument_config;

enum config_panel_model : int {
    PANEL_TWO_CHANNEL = 0,   // hxm_cfg_4100 and every instrument but type 9
    PANEL_THREE_CHANNEL = 1, // hxm_cfg_6300 (the three-channel instrument)
};

enum config_page_number : int {
    PAGE_ACQUISITION = 0,
    PAGE_ADVANCED = 1,
    PAGE_SWEEP = 3,
    PAGE_TRIM = 4,
    PAGE_AUX = 7,
    PAGE_OUTPUT = 8,
    PAGE_INPUT1 = 9,
    PAGE_INPUT2 = 10,
    PAGE_INPUT3 = 11,
    PAGE_SYSTEM = 12,
    PAGE_MODE = 13,
};

// The operating mode's parameter, shown first on every set of the mode page.
constexpr int PARAM_OPERATING_MODE = 1;
constexpr int PAGE_ROWS = 15;

struct s_config_page {
    int number;
    const char* title; // null for the mode page (its title is the mode's name)
    int base;          // control id of the first row
    std::span<const int> params;
    std::span<const int> controlling;
};

// The page of a model; the two-channel model shows Acquisition Control for
// page 1 and Input 2 for page 11.
const s_config_page& config_page(int model, int number);
int config_page_normalise(int model, int number);
// The page a panel button opens (13002 ... 13012), or -1.
int config_page_of_button(int button_id);
// The panel button marked while a page shows.
int config_button_of_page(int number);

// One control set of the mode page: the operating mode and the parameters
// of that measuring function.
struct s_mode_set {
    int base;
    std::span<const int> params;
};
int config_mode_count(int model);
const s_mode_set& config_mode_set(int model, int mode_position);
const char* config_mode_title(int model, int mode_position);

// The rows of a page (or, for the mode page, of the current mode's set) to
// place, in placing order, as row indices.
std::vector<int> config_visible_rows(int model, int number, const instrument_config& cfg);

bool config_is_controlling(int model, int number, int id);

// The text an edit field shows while the model holds none (null: empty).
const char* config_default_text(int number, int id);

// Edit-field rules: minimum cycles and delay are checked, steps stored as a
// number only inside its range, everything else stored as typed.
enum class edit_action { store_text, store_int, ignore, refuse };
struct s_edit_check {
    edit_action action;
    int value;           // for store_int
    const char* message; // for refuse
};
s_edit_check config_check_edit(int id, const char* text);
