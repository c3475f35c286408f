// Start-up geometry, lookup and the stretch/anchor layout of the tables.

#include "base/control_table.h"

namespace {

int created_width = 0;
int created_height = 0;

bool grows_width(int stretch)
{
    return stretch == STRETCH_WIDTH || stretch >= STRETCH_BOTH;
}

bool grows_height(int stretch)
{
    return stretch >= STRETCH_HEIGHT;
}

void reset_to_design(s_control& c)
{
    c.base_x = c.cur_x = c.x;
    c.base_y = c.cur_y = c.y;
    c.base_width = c.cur_width = c.width;
    c.base_height = c.cur_height = c.height;
}

void reset_base_to_design(s_control& c)
{
    c.base_x = c.x;
    c.base_y = c.y;
    c.base_width = c.width;
    c.base_height = c.height;
}

// The client size of the window a table's controls live in.
void parent_client(control_table_id table, int main_w, int main_h, int& w, int& h)
{
    const s_table_parent p = control_table_parent(table);
    if (p.table < 0) {
        w = main_w;
        h = main_h;
        return;
    }
    const s_control& row = control_table(static_cast<control_table_id>(p.table))[p.row];
    w = row.cur_width - 2 * control_frame(row);
    h = row.cur_height - 2 * control_frame(row);
}

s_control& main_row_entry(int row)
{
    return control_table(TABLE_MAIN)[row];
}

} // namespace

s_control* control_entry(int id)
{
    const int t = control_table_for_id(id);
    if (t < 0 || id == 0)
        return nullptr;
    for (s_control& c : control_table(static_cast<control_table_id>(t))) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

void layout_init(int main_width, int main_height)
{
    created_width = main_width;
    created_height = main_height;
    for (int t = 0; t < TABLE_COUNT; ++t) {
        for (s_control& c : control_table(static_cast<control_table_id>(t)))
            reset_to_design(c);
    }
}

int control_frame(const s_control& c)
{
    if (c.ex_style & CTL_EX_CLIENT_EDGE)
        return 2;
    if ((c.ex_style & CTL_EX_STATIC_EDGE) || (c.style & CTL_BORDER))
        return 1;
    return 0;
}

bool layout_entry(s_control& c, int dx, int dy, int parent_w, int parent_h)
{
    int x = c.cur_x, y = c.cur_y, w = c.cur_width, h = c.cur_height;
    if (c.stretch != STRETCH_NONE) {
        if (grows_width(c.stretch))
            w = c.base_width + dx;
        if (grows_height(c.stretch))
            h = c.base_height + dy;
    }
    switch (c.anchor) {
    case ANCHOR_RIGHT: x = parent_w - c.base_x - w; break;
    case ANCHOR_BOTTOM: y = parent_h - c.base_y - h; break;
    case ANCHOR_BOTTOM_RIGHT:
        x = parent_w - c.base_x - w;
        y = parent_h - c.base_y - h;
        break;
    case ANCHOR_BOTTOM_CENTRE:
        y = parent_h - c.base_y - h;
        x = parent_w / 2 - c.base_x - w;
        break;
    case ANCHOR_TOP_CENTRE:
        y = c.base_y;
        x = parent_w / 2 - c.base_x - w;
        break;
    default: break;
    }
    if (c.stretch == STRETCH_NONE && c.anchor == ANCHOR_NONE)
        return false;
    c.cur_x = x;
    c.cur_y = y;
    c.cur_width = w;
    c.cur_height = h;
    return true;
}

void layout_all(int main_width, int main_height, const std::function<void(s_control&)>& move)
{
    const int dx = main_width - created_width;
    const int dy = main_height - created_height;
    for (int t = 0; t < TABLE_COUNT; ++t) {
        const auto table = static_cast<control_table_id>(t);
        int pw = 0, ph = 0;
        parent_client(table, main_width, main_height, pw, ph);
        for (s_control& c : control_table(table)) {
            if (layout_entry(c, dx, dy, pw, ph) && c.window && move)
                move(c);
        }
    }
}

void layout_settings_hidden(bool hidden)
{
    for (int row : {ROW_FRA, ROW_LCR, ROW_CAPTURE, ROW_PIEZO}) {
        s_control& mode = main_row_entry(row);
        const s_control& source = hidden ? main_row_entry(row + 1) : mode;
        mode.base_x = mode.cur_x = source.x;
        mode.base_y = mode.cur_y = source.y;
        mode.base_width = mode.cur_width = source.width;
        mode.base_height = mode.cur_height = source.height;
    }
    s_control& fra_area = control_table(TABLE_FRA)[0];
    s_control& lcr_area = control_table(TABLE_LCR)[0];
    s_control& fra_list = *control_entry(14500);
    s_control& lcr_list = *control_entry(14700);
    for (s_control* c : {&fra_area, &lcr_area, &fra_list, &lcr_list})
        reset_base_to_design(*c);
    if (!hidden)
        return;
    const int freed = layout_settings_freed();
    for (s_control* c : {&fra_area, &lcr_area}) {
        c->base_height += freed;
        c->cur_height += freed;
    }
    fra_list.base_height += freed;
    lcr_list.base_height += freed;
}

int layout_settings_freed()
{
    return main_row_entry(ROW_FRA).y - main_row_entry(ROW_FRA_TALL).y;
}

s_font_spec font_spec(int index, int h)
{
    const int large = h * 7 / 5;
    switch (index) {
    case FONT_BOLD: return {h, 700, 0};
    case FONT_LARGE: return {large, 400, 0};
    case FONT_LARGE_BOLD: return {large, 700, 0};
    case FONT_LARGER: return {large * 6 / 5, 400, 0};
    case FONT_LARGER_BOLD: return {large * 6 / 5, 700, 0};
    case FONT_DOWN: return {h, 400, 2700};
    case FONT_UP: return {h, 400, 900};
    case FONT_DOWN_SEMIBOLD: return {h, 600, 2700};
    case FONT_UP_SEMIBOLD: return {h, 600, 900};
    default: return {h, 400, 0};
    }
}
