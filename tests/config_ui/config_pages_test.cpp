#include "config/config_current.h"
#include "config/ui/config_pages.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> ids(int model, int page, const instrument_config& cfg)
{
    const s_config_page& p = config_page(model, page);
    std::vector<int> out;
    for (int row : config_visible_rows(model, page, cfg)) {
        if (page == PAGE_MODE) {
            int32_t mode = 0;
            cfg.get_int(PARAM_OPERATING_MODE, mode);
            out.push_back(config_mode_set(model, mode).params[row]);
        } else {
            out.push_back(p.params[row]);
        }
    }
    return out;
}

using v = std::vector<int>;

} // namespace

TEST(ConfigPages, TwoChannelAcquisitionFollowsModeSpeedFilterAndDatalog)
{
    hxm_cfg_4100& c = config_model_4100();
    c.set_int(95, 1); // streaming
    c.set_int(14, 2); // no filter
    c.set_int(58, 0); // no datalog
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_ACQUISITION, c), (v{95, 12, 151, 152, 39, 14, 58, 3}));
    c.set_int(95, 3); // single
    c.set_int(13, 5); // speed "Window"
    c.set_int(14, 0);
    c.set_int(58, 1);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_ACQUISITION, c),
              (v{95, 55, 13, 12, 151, 152, 39, 14, 15, 11, 58, 59, 3}));
    c.set_int(95, 0);
    c.set_int(13, 0);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_ACQUISITION, c),
              (v{95, 13, 151, 152, 39, 14, 15, 11, 58, 59, 3}));
}

TEST(ConfigPages, TwoChannelSweepAuxAndInputsShowConditionalRows)
{
    hxm_cfg_4100& c = config_model_4100();
    c.set_int(21, 0);
    c.set_int(193, 1);
    c.set_int(173, 0);
    c.set_int(64, 1);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_SWEEP, c),
              (v{19, 20, 18, 192, 21, 55, 193, 194, 195, 173, 64, 65}));
    c.set_int(122, 3); // ZAX: the second shunt row
    EXPECT_EQ(config_visible_rows(PANEL_TWO_CHANNEL, PAGE_AUX, c), (v{0, 8}));
    c.set_int(122, 2); // QFX01
    c.set_int(1, 1);
    c.set_int(130, 5);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_AUX, c), (v{122, 130}));
    c.set_int(130, 0);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_AUX, c), (v{122, 130, 132, 133, 131}));
    c.set_int(1, 6);   // transformer analyser
    c.set_int(121, 0); // turns ratio
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_AUX, c), (v{122, 123, 124}));
    c.set_int(121, 7); // return loss
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_AUX, c), (v{122}));
    c.set_int(24, 2);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_INPUT1, c).back(), 34);
    c.set_int(24, 0);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_INPUT1, c).back(), 32);
    c.set_int(1, 1);
}

TEST(ConfigPages, TwoChannelModePageRowsByMeasuringFunction)
{
    hxm_cfg_4100& c = config_model_4100();
    c.set_int(1, 3); // LCR
    c.set_int(137, 3);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_MODE, c), (v{1, 137, 22, 141, 145}));
    c.set_int(137, 0);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_MODE, c), (v{1, 137, 22, 139, 138, 145}));
    c.set_int(1, 4); // vector voltmeter
    c.set_int(177, 8);
    c.set_int(179, 1);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_MODE, c), (v{1, 177, 178, 179, 180}));
    c.set_int(1, 6); // transformer
    c.set_int(121, 8);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_MODE, c), (v{1, 121, 125, 126}));
    c.set_int(121, 9);
    EXPECT_EQ(ids(PANEL_TWO_CHANNEL, PAGE_MODE, c), (v{1, 121, 100, 102}));
    EXPECT_EQ(config_mode_set(PANEL_TWO_CHANNEL, 6).base, 28600);
    EXPECT_STREQ(config_mode_title(PANEL_TWO_CHANNEL, 4), "Vector Voltmeter");
    c.set_int(1, 1);
}

TEST(ConfigPages, ThreeChannelOutputInputsAndModes)
{
    hxm_cfg_6300& c = config_model_6300();
    c.set_int(51, 4);
    EXPECT_EQ(ids(PANEL_THREE_CHANNEL, PAGE_OUTPUT, c), (v{51, 49, 50, 48, 221, 7}));
    c.set_int(51, 0);
    c.set_int(116, 1);
    c.set_int(192, 1);
    EXPECT_EQ(ids(PANEL_THREE_CHANNEL, PAGE_OUTPUT, c),
              (v{51, 116, 54, 222, 50, 48, 192, 223, 220, 7}));
    c.set_int(25, 1);
    EXPECT_EQ(config_visible_rows(PANEL_THREE_CHANNEL, PAGE_INPUT2, c), (v{0, 1, 2, 3, 4, 6}));
    c.set_int(25, 2);
    EXPECT_EQ(config_visible_rows(PANEL_THREE_CHANNEL, PAGE_INPUT2, c), (v{0, 1, 2, 3, 5, 6}));
    c.set_int(25, 0);
    EXPECT_EQ(config_visible_rows(PANEL_THREE_CHANNEL, PAGE_INPUT2, c), (v{0, 1, 2, 3, 6}));
    c.set_int(1, 4); // harmonic analyser is the 28500 set on this model
    c.set_int(99, 4);
    EXPECT_EQ(ids(PANEL_THREE_CHANNEL, PAGE_MODE, c),
              (v{1, 99, 111, 100, 101, 103, 104, 113, 114}));
    c.set_int(99, 0);
    EXPECT_EQ(ids(PANEL_THREE_CHANNEL, PAGE_MODE, c), (v{1, 99, 100}));
    EXPECT_EQ(config_mode_set(PANEL_THREE_CHANNEL, 4).base, 28500);
    EXPECT_EQ(config_mode_set(PANEL_THREE_CHANNEL, 5).base, 28400);
    EXPECT_EQ(config_mode_set(PANEL_THREE_CHANNEL, 6).base, 28700);
    c.set_int(1, 1);
}

TEST(ConfigPages, TwoChannelModelHasNoAdvancedOrThirdInputPage)
{
    EXPECT_EQ(config_page(PANEL_TWO_CHANNEL, PAGE_ADVANCED).number, PAGE_ACQUISITION);
    EXPECT_EQ(config_page(PANEL_TWO_CHANNEL, PAGE_INPUT3).number, PAGE_INPUT2);
    EXPECT_EQ(config_page(PANEL_THREE_CHANNEL, PAGE_INPUT3).base, 25760);
}

TEST(ConfigPages, EditRulesForCyclesDelayAndSteps)
{
    EXPECT_EQ(config_check_edit(151, "150").action, edit_action::refuse);
    EXPECT_STREQ(config_check_edit(151, "0").message,
                 "Minimum Cycles must be set between 1 and 100");
    EXPECT_EQ(config_check_edit(151, "").action, edit_action::ignore);
    EXPECT_EQ(config_check_edit(151, "100").action, edit_action::store_text);
    EXPECT_EQ(config_check_edit(152, "0").action, edit_action::store_text);
    EXPECT_STREQ(config_check_edit(152, "61").message, "Delay must be set between 0 and 60");
    EXPECT_EQ(config_check_edit(18, "1").action, edit_action::ignore);
    EXPECT_EQ(config_check_edit(18, "3000").action, edit_action::store_int);
    EXPECT_EQ(config_check_edit(18, "3000").value, 3000);
    EXPECT_EQ(config_check_edit(18, "3001").action, edit_action::ignore);
    // Numbers past the int range never wrap round into the allowed one.
    EXPECT_EQ(config_check_edit(18, "4294967298").action, edit_action::ignore);
    EXPECT_EQ(config_check_edit(18, "9999999999999999999").action, edit_action::ignore);
    EXPECT_EQ(config_check_edit(151, "4294967297").action, edit_action::refuse);
    EXPECT_EQ(config_check_edit(152, "-4294967296").action, edit_action::refuse);
    for (const char* carrier : {"1\nconfig,18,2", "1;config,18,7", "1\t"})
        EXPECT_STREQ(config_check_edit(19, carrier).message,
                     "A value cannot hold control characters or ';'");
    EXPECT_STREQ(config_default_text(PAGE_ADVANCED, 48), "1.0000E3");
    EXPECT_EQ(config_default_text(PAGE_OUTPUT, 48), nullptr);
}
