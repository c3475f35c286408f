#include "base/ui_seam.h"
#include "fra/margin_slots.h"

#include <gtest/gtest.h>

TEST(MarginSlots, MissingCrossingStopsOnlyItsOwnKind)
{
    scripted_ui ui;
    ui_set_backend(&ui);
    std::array<s_margin_slot, MARGIN_SLOTS> slots;
    // Slot 0: gain never reaches 0 dB, phase crosses 0. Slot 2: both cross.
    slots[0].test_name = "Flat";
    slots[0].points = {{100, 6, 10}, {200, 5, -10}};
    slots[2].test_name = "Loop";
    slots[2].points = {{100, 6, 10}, {200, -6, -10}};
    margin_search_slots(slots);
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "On Flat: \nNo gain 0dB point found");
    EXPECT_EQ(ui.shown()[0].caption, "Tarvelo2");
    EXPECT_TRUE(slots[2].zero_db.empty()); // the 0 dB search ended at slot 0
    EXPECT_EQ(slots[0].zero_phase.size(), 1);
    EXPECT_EQ(slots[2].zero_phase.size(), 1);
    EXPECT_FALSE(slots[0].gain_markers);
    EXPECT_TRUE(slots[0].phase_markers);
    EXPECT_TRUE(slots[2].phase_markers);
    EXPECT_FALSE(slots[1].phase_markers); // an empty slot is skipped
    ui_set_backend(nullptr);
}
