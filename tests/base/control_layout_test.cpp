#include "base/command_ids.h"
#include "base/control_table.h"

#include <gtest/gtest.h>
#include <utility>

namespace {

constexpr int W = 1016;
constexpr int H = 577;

struct geometry {
    int x, y, w, h;
    bool operator==(const geometry&) const = default;
};

geometry cur(int id)
{
    const s_control* c = control_entry(id);
    return {c->cur_x, c->cur_y, c->cur_width, c->cur_height};
}

geometry row(control_table_id table, int r)
{
    const s_control& c = control_table(table)[r];
    return {c.cur_x, c.cur_y, c.cur_width, c.cur_height};
}

class ControlLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        layout_init(W, H);
        layout_settings_hidden(false);
        layout_all(W, H, nullptr);
    }
};

} // namespace

TEST_F(ControlLayout, LookupFindsEveryIdOfItsTableAndNothingElse)
{
    for (int t = 0; t < TABLE_COUNT; ++t) {
        for (const s_control& c : control_table(static_cast<control_table_id>(t))) {
            if (c.id == 0)
                continue;
            EXPECT_EQ(control_table_for_id(c.id), t) << c.id;
            EXPECT_EQ(control_entry(c.id), &c) << c.id;
        }
    }
    EXPECT_EQ(control_entry(0), nullptr);
    EXPECT_EQ(control_entry(11999), nullptr);
    EXPECT_EQ(control_entry(14514), nullptr);
    EXPECT_EQ(control_entry(15220), nullptr);
    EXPECT_EQ(std::string(control_entry(14803)->text), "TAN\xF0");
}

TEST_F(ControlLayout, CreationLayoutKeepsDesignGeometryAndAnchorsToTheRight)
{
    EXPECT_EQ(cur(12003), (geometry{W - 180 - 127, 6, 127, 25}));
    EXPECT_EQ(cur(12005), (geometry{W - 8 - 150, 6, 150, 24}));
    EXPECT_EQ(cur(12001), (geometry{80, 6, 88, 25}));
    EXPECT_EQ(row(TABLE_MAIN, ROW_FRA), (geometry{6, 210, 1002, 354}));
    // The graph area sits in the FRA window's client area (two-pixel edge):
    // 998 x 350; the area itself has a one-pixel border, so 984 x 276 inside.
    EXPECT_EQ(cur(CMD_FRA_CURSOR_LEFT), (geometry{6, 276 - 20 - 18, 450, 18}));
    EXPECT_EQ(cur(CMD_FRA_CURSOR_RIGHT), (geometry{984 - 6 - 450, 238, 450, 18}));
    EXPECT_EQ(cur(15255), (geometry{1000 - 12 - 20, 352 - 10 - 20, 20, 20}));
}

TEST_F(ControlLayout, WiderMainWindowMovesAnchoredAndWidensStretchedControls)
{
    layout_all(W + 200, H, nullptr);
    EXPECT_EQ(cur(12003).x, W - 180 - 127 + 200);
    EXPECT_EQ(cur(12005).x, W - 8 - 150 + 200);
    EXPECT_EQ(row(TABLE_MAIN, ROW_CONFIG).w, 1202);
    for (int r : {ROW_FRA, ROW_LCR, ROW_CAPTURE, ROW_PIEZO})
        EXPECT_EQ(row(TABLE_MAIN, r), (geometry{6, 210, 1202, 354})) << r;
    EXPECT_EQ(row(TABLE_FRA, 0).w, 1186);
    EXPECT_EQ(row(TABLE_LCR, 0).w, 1186);
    EXPECT_EQ(cur(14500).w, 1186);
    EXPECT_EQ(cur(15100).w, 1200);
    EXPECT_EQ(cur(15102).w, 748);
    EXPECT_EQ(cur(CMD_FRA_CURSOR_RIGHT).x, 984 - 6 - 450 + 200);
    // Without anchor or stretch nothing moves.
    EXPECT_EQ(cur(12001), (geometry{80, 6, 88, 25}));
    EXPECT_EQ(cur(13014), (geometry{870, 124, 116, 22}));
    EXPECT_EQ(cur(15101), (geometry{0, 0, 450, 179}));
}

TEST_F(ControlLayout, TallerWindowMovesBottomAnchoredControlsDown)
{
    layout_all(W, H + 50, nullptr);
    EXPECT_EQ(row(TABLE_MAIN, ROW_FRA).h, 404);
    EXPECT_EQ(row(TABLE_MAIN, ROW_CONFIG).h, 170);
    EXPECT_EQ(cur(CMD_FRA_CURSOR_LEFT).y, 238 + 50);
    EXPECT_EQ(cur(14500).h, 328);
}

TEST_F(ControlLayout, HidingSettingsRaisesModeWindowsAndShowingRestores)
{
    layout_all(W + 200, H, nullptr);
    layout_settings_hidden(true);
    layout_all(W + 200, H, nullptr);
    for (int r : {ROW_FRA, ROW_LCR, ROW_CAPTURE, ROW_PIEZO})
        EXPECT_EQ(row(TABLE_MAIN, r), (geometry{6, 36, 1202, 528})) << r;
    EXPECT_EQ(row(TABLE_FRA, 0).h, 278 + 174);
    EXPECT_EQ(row(TABLE_LCR, 0).h, 278 + 174);
    EXPECT_EQ(cur(14500).h, 278 + 174);
    EXPECT_EQ(cur(14700).h, 278 + 174);
    EXPECT_EQ(cur(CMD_FRA_CURSOR_LEFT).y, 276 + 174 - 20 - 18);

    layout_settings_hidden(false);
    layout_all(W + 200, H, nullptr);
    EXPECT_EQ(row(TABLE_MAIN, ROW_FRA), (geometry{6, 210, 1202, 354}));
    EXPECT_EQ(row(TABLE_FRA, 0).h, 278);
    EXPECT_EQ(cur(14500).h, 278);
    EXPECT_EQ(cur(CMD_FRA_CURSOR_LEFT).y, 238);
}

TEST_F(ControlLayout, MoveIsCalledOnlyForCreatedWindowsThatARuleMoved)
{
    int dummy = 0;
    control_entry(12003)->window = &dummy;
    control_entry(12001)->window = &dummy;
    std::vector<int> moved;
    layout_all(W + 10, H, [&](s_control& c) { moved.push_back(c.id); });
    control_entry(12003)->window = nullptr;
    control_entry(12001)->window = nullptr;
    EXPECT_EQ(moved, std::vector<int>{12003});
}

TEST(LayoutEntry, EveryAnchorAndStretchRule)
{
    const auto laid_out = [](int anchor, int stretch) {
        s_control c;
        c.base_x = c.cur_x = 10;
        c.base_y = c.cur_y = 20;
        c.base_width = c.cur_width = 100;
        c.base_height = c.cur_height = 30;
        c.anchor = anchor;
        c.stretch = stretch;
        const bool moved = layout_entry(c, 50, 40, 501, 300);
        return std::pair{moved, geometry{c.cur_x, c.cur_y, c.cur_width, c.cur_height}};
    };
    EXPECT_EQ(laid_out(ANCHOR_NONE, STRETCH_NONE), std::pair(false, geometry{10, 20, 100, 30}));
    EXPECT_EQ(laid_out(ANCHOR_TOP_CENTRE, 0),
              std::pair(true, geometry{250 - 10 - 100, 20, 100, 30}));
    EXPECT_EQ(laid_out(ANCHOR_RIGHT, 0), std::pair(true, geometry{501 - 10 - 100, 20, 100, 30}));
    EXPECT_EQ(laid_out(ANCHOR_BOTTOM, 0), std::pair(true, geometry{10, 300 - 20 - 30, 100, 30}));
    EXPECT_EQ(laid_out(ANCHOR_BOTTOM_RIGHT, 0), std::pair(true, geometry{391, 250, 100, 30}));
    EXPECT_EQ(laid_out(ANCHOR_BOTTOM_CENTRE, 0), std::pair(true, geometry{140, 250, 100, 30}));
    EXPECT_EQ(laid_out(0, STRETCH_WIDTH), std::pair(true, geometry{10, 20, 150, 30}));
    EXPECT_EQ(laid_out(0, STRETCH_HEIGHT), std::pair(true, geometry{10, 20, 100, 70}));
    for (int both : {STRETCH_BOTH, STRETCH_BOTH_4, STRETCH_BOTH_5})
        EXPECT_EQ(laid_out(0, both), std::pair(true, geometry{10, 20, 150, 70})) << both;
    // The anchor takes the stretched size: a right-anchored control that
    // grows keeps its right margin.
    EXPECT_EQ(laid_out(ANCHOR_BOTTOM_RIGHT, STRETCH_BOTH),
              std::pair(true, geometry{341, 210, 150, 70}));
}

TEST(FontTable, SizesDeriveFromTheInterfaceFontHeight)
{
    EXPECT_EQ(font_spec(FONT_NORMAL, 13).height, 13);
    EXPECT_EQ(font_spec(FONT_BOLD, 13).weight, 700);
    EXPECT_EQ(font_spec(FONT_LARGE, 13).height, 18);
    EXPECT_EQ(font_spec(FONT_LARGER, 13).height, 21);
    EXPECT_EQ(font_spec(FONT_DOWN, 13).escapement, 2700);
    EXPECT_EQ(font_spec(FONT_UP_SEMIBOLD, 13).weight, 600);
    EXPECT_EQ(font_spec(FONT_UP_SEMIBOLD, 13).escapement, 900);
}
