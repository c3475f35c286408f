#include "app/main_mode.h"

#include <gtest/gtest.h>

TEST(MainMode, DatabaseTwiceKeepsFirstStoredModeAndMeasureReturnsToIt)
{
    s_main_state s;
    main_enter_mode(s, MODE_LCR);
    EXPECT_FALSE(main_leave_database(s)); // MEASURE outside the database view
    EXPECT_EQ(s.mode, MODE_LCR);
    EXPECT_TRUE(main_enter_database(s));
    EXPECT_FALSE(main_enter_database(s));
    EXPECT_EQ(s.previous_mode, MODE_LCR);
    EXPECT_TRUE(main_leave_database(s));
    EXPECT_EQ(s.mode, MODE_LCR);
}

TEST(MainMode, DatabaseViewGreysModeMenusAndHidesSettingsPanel)
{
    s_main_state s;
    main_enter_database(s);
    const s_mode_view v = main_mode_view(s, true);
    EXPECT_FALSE(v.config_panel);
    EXPECT_TRUE(v.database_view);
    EXPECT_FALSE(v.hide_settings);
    EXPECT_FALSE(v.read_setup);
    EXPECT_FALSE(v.mode_menus);
    for (bool shown : v.mode_window)
        EXPECT_FALSE(shown);
}

TEST(MainMode, EachModeShowsOnlyItsWindowAndHiddenSettingsHideThePanel)
{
    s_main_state s;
    main_enter_mode(s, MODE_PIEZO);
    s.settings_hidden = true;
    const s_mode_view v = main_mode_view(s, false);
    EXPECT_FALSE(v.config_panel);
    EXPECT_TRUE(v.mode_window[MODE_PIEZO]);
    EXPECT_FALSE(v.mode_window[MODE_FRA]);
    EXPECT_FALSE(v.read_setup); // not connected
    EXPECT_TRUE(v.mode_menus);
    EXPECT_TRUE(main_mode_view(s, true).read_setup);
}

TEST(MainMode, RunningSweepLocksConfigurationAndDatabase)
{
    s_main_state s;
    const s_main_enable idle = main_controls_enable(s, true, true, false);
    EXPECT_TRUE(idle.config_panel);
    EXPECT_TRUE(idle.database);
    const s_main_enable busy = main_controls_enable(s, true, true, true);
    EXPECT_FALSE(busy.config_panel);
    EXPECT_FALSE(busy.database);
    EXPECT_FALSE(main_controls_enable(s, false, true, false).config_panel);
    EXPECT_FALSE(main_controls_enable(s, true, false, false).config_panel);
    EXPECT_TRUE(busy.mode_window[MODE_FRA]);
    EXPECT_FALSE(busy.mode_window[MODE_LCR]);
}
