// The control tables of every window the main window holds.

#include "base/command_ids.h"
#include "base/control_table.h"

#include <array>

namespace {

constexpr s_control ctl(const char* cls, const char* text, uint32_t style, int x, int y, int w,
                        int h, int id, int font = FONT_NORMAL, int anchor = ANCHOR_NONE,
                        int stretch = STRETCH_NONE, uint32_t ex = 0)
{
    s_control c;
    c.ex_style = ex;
    c.class_name = cls;
    c.text = text;
    c.style = style;
    c.x = x;
    c.y = y;
    c.width = w;
    c.height = h;
    c.id = id;
    c.font = font;
    c.anchor = anchor;
    c.stretch = stretch;
    return c;
}

// A mode window or one of its alternative geometries (class null).
constexpr s_control mode_row(const char* cls, int x, int y, int w, int h, int stretch,
                             uint32_t style, uint32_t ex)
{
    return ctl(cls, "", style, x, y, w, h, 0, FONT_NORMAL, ANCHOR_NONE, stretch, ex);
}

constexpr const char* BUTTON = "Button";
constexpr const char* STATIC = "Static";
constexpr const char* LIST = "SysListView32";
constexpr const char* SCROLL = "ScrollBar";
constexpr const char* COMBO = "Combobox";
constexpr const char* EDIT = "Edit";
constexpr uint32_t REPORT = CTL_REPORT;
constexpr uint32_t CE = CTL_EX_CLIENT_EDGE;
constexpr uint32_t SE = CTL_EX_STATIC_EDGE;

s_control main_controls[] = {
    mode_row("QXTarvelo2ConfigWClass", 6, 36, 1002, 170, 1, CTL_DISABLED, CE),
    mode_row("QXTarvelo2FRAWClass", 6, 210, 1002, 354, 4, 0, CE),
    mode_row(nullptr, 6, 36, 1002, 528, 4, 0, 0),
    mode_row("QXTarvelo2DataToolsWClass", 6, 36, 1004, 44, 1, 0, SE),
    mode_row("QXTarvelo2DataViewWClass", 6, 82, 1004, 489, 4, 0, SE),
    mode_row("QXTarvelo2LCRWClass", 6, 210, 1002, 354, 4, 0, SE),
    mode_row(nullptr, 6, 36, 1002, 528, 4, 0, 0),
    mode_row("QXTarvelo2CapWClass", 6, 210, 1002, 354, 4, 0, SE),
    mode_row(nullptr, 6, 36, 1002, 528, 4, 0, 0),
    mode_row("QXTarvelo2PiezoWClass", 6, 210, 1002, 354, 4, 0, SE),
    mode_row(nullptr, 6, 36, 1002, 528, 4, 0, 0),
    ctl(STATIC, "Data Mode:  ", CTL_LEFT_NO_WRAP, 10, 12, 80, 20, 12000),
    ctl(BUTTON, "MEASURE", CTL_PUSH, 80, 6, 88, 25, 12001),
    ctl(BUTTON, "DATABASE", CTL_DISABLED | CTL_PUSH, 170, 6, 88, 25, 12002),
    ctl(BUTTON, "HIDE SETTINGS", CTL_PUSH, 180, 6, 127, 25, 12003, FONT_NORMAL, ANCHOR_RIGHT),
    ctl(STATIC, "SETTINGS:", CTL_LEFT_NO_WRAP, 408, 12, 60, 20, 12004),
    ctl(BUTTON, "READ HXM", CTL_PUSH, 470, 6, 88, 25, 12006),
    ctl(BUTTON, "SET UP HXM", CTL_PUSH, 564, 6, 88, 25, 12007),
    ctl(BUTTON, "", CTL_BITMAP, 8, 6, 150, 24, 12005, FONT_NORMAL, ANCHOR_RIGHT),
};

s_control config_controls[] = {
    ctl(STATIC, "Configuration:", 0, 258, 6, 240, 20, 13001),
    ctl(BUTTON, "ACQU", CTL_PUSH, 6, 10, 80, 27, 13002),
    ctl(BUTTON, "SWEEP", CTL_PUSH, 88, 10, 80, 27, 13003),
    ctl(BUTTON, "TRIM", CTL_PUSH, 170, 10, 80, 27, 13004),
    ctl(BUTTON, "COMMS", CTL_DISABLED | CTL_PUSH, 6, 47, 80, 27, 13005),
    ctl(BUTTON, "ALARM", CTL_DISABLED | CTL_PUSH, 88, 47, 80, 27, 13006),
    ctl(BUTTON, "AUX", CTL_PUSH, 170, 47, 80, 27, 13007),
    ctl(BUTTON, "OUT", CTL_PUSH, 6, 86, 80, 27, 13008),
    ctl(BUTTON, "CH1", CTL_PUSH, 88, 86, 80, 27, 13009),
    ctl(BUTTON, "CH2", CTL_PUSH, 170, 86, 80, 27, 13010),
    ctl(BUTTON, "SYS", CTL_PUSH, 6, 125, 80, 27, 13011),
    ctl(BUTTON, "MODE", CTL_PUSH, 88, 125, 80, 27, 13012),
    ctl(BUTTON, "PROG", CTL_DISABLED | CTL_PUSH, 170, 125, 80, 27, 13013),
    ctl(BUTTON, "", CTL_PUSH, 870, 124, 116, 22, 13014),
};

// The FRA and LCR windows share one shape: results area, list, three groups.
s_control fra_controls[] = {
    mode_row("QXTarvelo2FRAResultsWClass", 6, 68, 986, 278, 4, CTL_BORDER | CTL_CLIP_CHILDREN, 0),
    ctl(LIST, "", REPORT, 6, 68, 986, 278, 14500, FONT_NORMAL, ANCHOR_NONE, 3, CE),
    ctl(BUTTON, "FRA View", CTL_GROUP_BOX, 6, 6, 279, 54, 14501),
    ctl(BUTTON, "REALTIME", CTL_PUSH, 12, 24, 85, 27, 14502),
    ctl(BUTTON, "GRAPH", CTL_PUSH, 103, 24, 85, 27, 14503, FONT_BOLD),
    ctl(BUTTON, "TABLE", CTL_PUSH, 194, 24, 85, 27, 14504),
    ctl(BUTTON, "FRA Control", CTL_GROUP_BOX, 289, 6, 188, 54, 14505),
    ctl(BUTTON, "START", CTL_PUSH, 295, 24, 85, 27, 14506),
    ctl(BUTTON, "SWEEP", CTL_PUSH, 386, 24, 85, 27, 14507),
    ctl(BUTTON, "FRA Data", CTL_GROUP_BOX, 483, 6, 99, 54, 14508),
    ctl(BUTTON, "EXPORT", CTL_PUSH, 491, 24, 85, 27, 14509),
    ctl(STATIC, "Til Next Sweep:", 0, 588, 24, 80, 27, 14510),
    ctl(STATIC, "", 0, 674, 24, 50, 27, 14511),
    ctl(STATIC, "Sweep No:", 0, 730, 24, 60, 20, 14512),
    ctl(STATIC, "", 0, 793, 24, 40, 20, 14513),
};

s_control fra_graph_controls[] = {
    ctl(STATIC, "", 0, 6, 0, 1, 1, 14600, FONT_LARGER),
    ctl(SCROLL, "", CTL_HORIZONTAL, 6, 20, 450, 18, CMD_FRA_CURSOR_LEFT, FONT_NORMAL,
        ANCHOR_BOTTOM),
    ctl(SCROLL, "", CTL_HORIZONTAL, 6, 20, 450, 18, CMD_FRA_CURSOR_RIGHT, FONT_NORMAL,
        ANCHOR_BOTTOM_RIGHT),
    ctl(BUTTON, "Find Gain/Phase Margin", CTL_PUSH, 570, 42, 140, 27, CMD_FRA_MARGINS, FONT_NORMAL,
        ANCHOR_BOTTOM),
    ctl(BUTTON, "Centre 0dB on y-axis", CTL_CHECK_BOX, 580, 70, 140, 27, CMD_FRA_CENTRE,
        FONT_NORMAL, ANCHOR_BOTTOM),
    ctl(COMBO, "Log Scaling", CTL_DROP_DOWN, 270, 65, 140, 27, CMD_FRA_SCALING, FONT_NORMAL,
        ANCHOR_BOTTOM),
    ctl(COMBO, "Graph Background", CTL_DROP_DOWN, 270, 37, 140, 27, CMD_FRA_BACKGROUND, FONT_NORMAL,
        ANCHOR_BOTTOM),
};

s_control lcr_controls[] = {
    mode_row("QXTarvelo2LCRResultsWClass", 6, 68, 986, 278, 4, CTL_BORDER | CTL_CLIP_CHILDREN, 0),
    ctl(LIST, "", REPORT, 6, 68, 986, 278, 14700, FONT_NORMAL, ANCHOR_NONE, 3, CE),
    ctl(BUTTON, "LCR View", CTL_GROUP_BOX, 6, 6, 279, 54, 14701),
    ctl(BUTTON, "REALTIME", CTL_PUSH, 12, 24, 85, 27, 14702),
    ctl(BUTTON, "GRAPH", CTL_PUSH, 103, 24, 85, 27, 14703, FONT_BOLD),
    ctl(BUTTON, "TABLE", CTL_PUSH, 194, 24, 85, 27, 14704),
    ctl(BUTTON, "LCR Control", CTL_GROUP_BOX, 289, 6, 188, 54, 14705),
    ctl(BUTTON, "START", CTL_PUSH, 295, 24, 85, 27, 14706),
    ctl(BUTTON, "SWEEP", CTL_PUSH, 384, 24, 85, 27, 14707),
    ctl(BUTTON, "LCR Data", CTL_GROUP_BOX, 483, 6, 97, 54, 14708),
    ctl(BUTTON, "EXPORT", CTL_PUSH, 489, 24, 85, 27, 14709),
    ctl(STATIC, "Til Next Sweep:", 0, 588, 24, 80, 27, 14710),
    ctl(STATIC, "", 0, 674, 24, 50, 27, 14711),
    ctl(STATIC, "Sweep No:", 0, 730, 24, 60, 20, 14712),
    ctl(STATIC, "", 0, 793, 24, 40, 20, 14713),
};

// 14803's text is the loss tangent's label, TAN followed by the byte 0xF0
// (the Windows-1252 letter that stands in for the Greek delta).
s_control lcr_graph_controls[] = {
    ctl(STATIC, "", 0, 6, 0, 1, 1, 14800, FONT_LARGER),
    ctl(SCROLL, "", CTL_HORIZONTAL, 6, 20, 450, 18, 14801, FONT_NORMAL, ANCHOR_BOTTOM),
    ctl(SCROLL, "", CTL_HORIZONTAL, 6, 20, 450, 18, 14802, FONT_NORMAL, ANCHOR_BOTTOM_RIGHT),
    ctl(COMBO, "TAN\xF0", CTL_DROP_DOWN, 6, 37, 140, 27, 14803, FONT_NORMAL, ANCHOR_BOTTOM),
    ctl(COMBO, "IMPEDANCE (ohms)", CTL_DROP_DOWN, 6, 37, 140, 27, 14804, FONT_NORMAL,
        ANCHOR_BOTTOM_RIGHT),
    ctl(COMBO, "Log Scaling", CTL_DROP_DOWN, 425, 65, 140, 27, 14805, FONT_NORMAL, ANCHOR_BOTTOM),
    ctl(COMBO, "Graph Background", CTL_DROP_DOWN, 425, 37, 140, 27, 14806, FONT_NORMAL,
        ANCHOR_BOTTOM),
    ctl(BUTTON, "Log Scale", CTL_CHECK_BOX, 152, 37, 90, 27, 14807, FONT_NORMAL, ANCHOR_BOTTOM),
    ctl(BUTTON, "Log Scale", CTL_CHECK_BOX, 152, 37, 90, 27, 14808, FONT_NORMAL,
        ANCHOR_BOTTOM_RIGHT),
};

s_control capture_controls[] = {
    ctl(STATIC, "HXM Screen Capture", 0, 6, 0, 260, 24, 15230, FONT_LARGER),
    ctl(BUTTON, "Export to Word", CTL_PUSH, 6, 210, 100, 20, 15231),
    ctl(BUTTON, "Export to .bmp", CTL_PUSH, 6, 240, 100, 20, 15232),
    ctl(BUTTON, "Copy to Clipboard", CTL_PUSH, 6, 270, 100, 20, 15233),
    ctl(BUTTON, "Download", CTL_PUSH, 6, 300, 100, 20, 15234),
};

constexpr uint32_t RO_CENTRED = CTL_READ_ONLY | CTL_CENTRED;

s_control piezo_controls[] = {
    ctl(BUTTON, "Piezo Control", CTL_GROUP_BOX, 6, 6, 260, 64, 15240),
    ctl(BUTTON, "Start Sweep", CTL_PUSH, 12, 24, 100, 37, 15241),
    ctl(BUTTON, "Import", CTL_PUSH, 154, 24, 100, 37, 15242, FONT_BOLD),
    ctl(STATIC, "", CTL_BITMAP, 6, 80, 260, 120, 15243, FONT_LARGER),
    ctl(STATIC, "R", 0, 6, 255, 50, 24, 15244, FONT_LARGER),
    ctl(EDIT, "", RO_CENTRED, 80, 255, 180, 24, 15245, FONT_LARGER),
    ctl(STATIC, "Cp", 0, 6, 315, 50, 24, 15248, FONT_LARGER),
    ctl(EDIT, "", RO_CENTRED, 80, 315, 180, 24, 15249, FONT_LARGER),
    ctl(STATIC, "C", 0, 6, 285, 50, 24, 15246, FONT_LARGER),
    ctl(EDIT, "", RO_CENTRED, 80, 285, 180, 24, 15247, FONT_LARGER),
    ctl(STATIC, "L", 0, 6, 225, 50, 24, 15250, FONT_LARGER),
    ctl(EDIT, "", RO_CENTRED, 80, 225, 180, 24, 15251, FONT_LARGER),
    ctl(BUTTON, "", CTL_ICON, 284, 10, 20, 20, 15252, FONT_NORMAL, ANCHOR_BOTTOM),
    ctl(BUTTON, "", CTL_ICON, 304, 10, 20, 20, 15253, FONT_NORMAL, ANCHOR_BOTTOM),
    ctl(BUTTON, "", CTL_ICON, 324, 10, 20, 20, 15254, FONT_NORMAL, ANCHOR_BOTTOM),
    ctl(BUTTON, "", CTL_ICON, 12, 10, 20, 20, 15255, FONT_BOLD, ANCHOR_BOTTOM_RIGHT),
    ctl(BUTTON, "", CTL_ICON, 32, 10, 20, 20, 15256, FONT_BOLD, ANCHOR_BOTTOM_RIGHT),
    ctl(BUTTON, "", CTL_ICON, 52, 10, 20, 20, 15257, FONT_BOLD, ANCHOR_BOTTOM_RIGHT),
    ctl(BUTTON, "Log Impedance", CTL_CHECK_BOX, 352, 10, 120, 20, 15258, FONT_NORMAL,
        ANCHOR_BOTTOM),
};

constexpr s_control tool(int x, int id)
{
    return ctl(BUTTON, "", CTL_ICON, x, 2, 40, 40, id);
}

s_control db_tool_controls[] = {
    tool(6, 15000),   tool(48, 15001),  tool(132, 15002),
    tool(174, 15008), tool(258, 15005), tool(300, 15006),
    tool(342, 15007), tool(426, 15009), tool(468, 15010),
    tool(552, 15011), tool(594, 15012), tool(678, 15003),
    tool(720, 15004), tool(762, 15013), ctl("tooltips_class32", "", CTL_TOOLTIP, 0, 0, 0, 0, 0),
};

s_control db_list_controls[] = {
    ctl(LIST, "", REPORT, 0, 180, 1000, 305, 15100, FONT_NORMAL, ANCHOR_NONE, 3, CE),
    ctl(LIST, "", REPORT, 0, 0, 450, 179, 15101, FONT_NORMAL, ANCHOR_NONE, 0, CE),
    ctl(LIST, "", REPORT, 452, 0, 548, 179, 15102, FONT_NORMAL, ANCHOR_NONE, 1, CE),
};

struct s_table_info {
    std::span<s_control> controls;
    s_table_parent parent;
    int first_id;
    int last_id;
};

const std::array<s_table_info, TABLE_COUNT> tables = {{
    {main_controls, {-1, 0}, 12000, 12007},
    {config_controls, {TABLE_MAIN, ROW_CONFIG}, 13001, 13014},
    {fra_controls, {TABLE_MAIN, ROW_FRA}, 14500, 14513},
    {fra_graph_controls, {TABLE_FRA, 0}, 14600, CMD_FRA_BACKGROUND},
    {lcr_controls, {TABLE_MAIN, ROW_LCR}, 14700, 14713},
    {lcr_graph_controls, {TABLE_LCR, 0}, 14800, 14808},
    {capture_controls, {TABLE_MAIN, ROW_CAPTURE}, 15230, 15234},
    {piezo_controls, {TABLE_MAIN, ROW_PIEZO}, 15240, 15258},
    {db_tool_controls, {TABLE_MAIN, ROW_DB_TOOLS}, 15000, 15013},
    {db_list_controls, {TABLE_MAIN, ROW_DB_VIEW}, 15100, 15102},
}};

} // namespace

std::span<s_control> control_table(control_table_id table)
{
    return tables[table].controls;
}

s_table_parent control_table_parent(control_table_id table)
{
    return tables[table].parent;
}

int control_table_for_id(int id)
{
    for (int t = 0; t < TABLE_COUNT; ++t) {
        if (id >= tables[t].first_id && id <= tables[t].last_id)
            return t;
    }
    return -1;
}
