#pragma once
// The control tables: every child window and control of the main window as
// static data, found by numeric id, and the layout rules that move them when
// the main window changes size or the configuration panel is hidden.
//
// Geometry is in design pixels relative to the parent's client area. Each
// entry keeps its design geometry, the geometry the layout starts from
// (base) and the geometry after the last layout (cur). This file is plain
// data and arithmetic; the windows layer creates the widgets and applies
// the geometry.

#include <cstdint>
#include <functional>
#include <span>

// Window styles of a control (the windows layer maps them to widgets).
enum control_style : uint32_t {
    CTL_DISABLED = 1u << 0, // created disabled; enable_table leaves it so
    CTL_PUSH = 1u << 1,
    CTL_GROUP_BOX = 1u << 2,
    CTL_CHECK_BOX = 1u << 3,
    CTL_ICON = 1u << 4,
    CTL_BITMAP = 1u << 5,
    CTL_DROP_DOWN = 1u << 6,
    CTL_LEFT_NO_WRAP = 1u << 7,
    CTL_CENTRED = 1u << 8,
    CTL_READ_ONLY = 1u << 9,
    CTL_REPORT = 1u << 10, // list in report mode, single row selection always shown
    CTL_BORDER = 1u << 11,
    CTL_CLIP_CHILDREN = 1u << 12,
    CTL_HORIZONTAL = 1u << 13,
    CTL_TOOLTIP = 1u << 14,
};

// Extended styles: the frames around a window.
enum control_ex_style : uint32_t {
    CTL_EX_CLIENT_EDGE = 1u << 0, // sunken, two pixels
    CTL_EX_STATIC_EDGE = 1u << 1, // thin, one pixel
};

enum control_anchor : int32_t {
    ANCHOR_NONE = 0,
    ANCHOR_TOP_CENTRE = 1,
    ANCHOR_RIGHT = 2,
    ANCHOR_BOTTOM = 3,
    ANCHOR_BOTTOM_RIGHT = 4,
    ANCHOR_BOTTOM_CENTRE = 5,
};

enum control_stretch : int32_t {
    STRETCH_NONE = 0,
    STRETCH_WIDTH = 1,
    STRETCH_HEIGHT = 2,
    STRETCH_BOTH = 3,
    STRETCH_BOTH_4 = 4,
    STRETCH_BOTH_5 = 5,
};

enum font_index : int32_t {
    FONT_NORMAL = 0,
    FONT_BOLD = 1,
    FONT_LARGE = 2,
    FONT_LARGE_BOLD = 3,
    FONT_LARGER = 4,
    FONT_LARGER_BOLD = 5,
    FONT_DOWN = 6,
    FONT_UP = 7,
    FONT_DOWN_SEMIBOLD = 8,
    FONT_UP_SEMIBOLD = 9,
    FONT_COUNT = 10,
};

struct s_control {
    uint32_t ex_style = 0;
    const char* class_name = nullptr; // null: a geometry record, no window
    const char* text = "";
    uint32_t style = 0;
    int32_t x = 0, y = 0, width = 0, height = 0;
    int32_t base_x = 0, base_y = 0, base_width = 0, base_height = 0;
    int32_t cur_x = 0, cur_y = 0, cur_width = 0, cur_height = 0;
    void* parent = nullptr;
    void* window = nullptr;
    int32_t id = 0;
    int32_t font = FONT_NORMAL;
    int32_t anchor = ANCHOR_NONE;
    int32_t stretch = STRETCH_NONE;
};

// The tables in creation order: a table's parent window is created before it.
enum control_table_id : int {
    TABLE_MAIN,
    TABLE_CONFIG,
    TABLE_FRA,
    TABLE_FRA_GRAPH,
    TABLE_LCR,
    TABLE_LCR_GRAPH,
    TABLE_CAPTURE,
    TABLE_PIEZO,
    TABLE_DB_TOOLS,
    TABLE_DB_LISTS,
    TABLE_COUNT,
};

// Rows of the main table that hold the mode windows and their alternative
// geometries (used while the configuration panel is hidden).
enum main_row : int {
    ROW_CONFIG = 0,
    ROW_FRA = 1,
    ROW_FRA_TALL = 2,
    ROW_DB_TOOLS = 3,
    ROW_DB_VIEW = 4,
    ROW_LCR = 5,
    ROW_LCR_TALL = 6,
    ROW_CAPTURE = 7,
    ROW_CAPTURE_TALL = 8,
    ROW_PIEZO = 9,
    ROW_PIEZO_TALL = 10,
};

std::span<s_control> control_table(control_table_id table);

// Where a table's controls live: the table and row of their parent window;
// the main table's parent is the main window (table -1).
struct s_table_parent {
    int table;
    int row;
};
s_table_parent control_table_parent(control_table_id table);

// The table that owns a control id, or -1.
int control_table_for_id(int id);
// The entry of a control id; null for ids outside every table and for
// geometry-only rows (id 0).
s_control* control_entry(int id);

// Copies every entry's design geometry into its base and current geometry
// and records the main window's client size at creation.
void layout_init(int main_width, int main_height);

// Frame width on each side of a window of this entry (its client area is
// the outer size less twice this).
int control_frame(const s_control& c);

// Lays out one entry for a main window grown by (dx, dy) whose parent
// client area is parent_w x parent_h. True when a rule applied and cur
// changed accordingly.
bool layout_entry(s_control& c, int dx, int dy, int parent_w, int parent_h);

// Lays out every table for the main window's present client size; calls
// move for each created window a rule applied to.
void layout_all(int main_width, int main_height, const std::function<void(s_control&)>& move);

// The geometry part of hiding or showing the configuration panel: the mode
// windows take the tall or the normal geometry, and the FRA and LCR graph
// areas and lists gain or give back the height the panel frees.
void layout_settings_hidden(bool hidden);
// The height the hidden panel gives the FRA and LCR graph areas.
int layout_settings_freed();

// One entry of the font table, built from the default interface font's
// height h: normal and bold at h, h*7/5 and (h*7/5)*6/5, and the turned
// fonts of vertical axis labels (escapement in tenths of a degree).
struct s_font_spec {
    int height;
    int weight; // 400 normal, 600 semibold, 700 bold
    int escapement;
};
s_font_spec font_spec(int index, int h);
