// An FRA sweep stored in the database, found again in the database form and
// overlaid in the graph dialog: margins and every view.

#include "tests/journeys/journey.h"

TEST_F(journey, StoredSweepIsGraphedWithItsMarginsInEveryView)
{
    run("HXM4100", [&] {
        connect_to_instrument();

        fill_sweep_details("Bench A", "Loop 1");
        screenshot("test_details");
        click("Start Sweep");
        await_dialog("");
        EXPECT_TRUE(wait_for([&] { return shown("CLEAR"); })) << "the sweep did not end";
        screenshot("sweep_done");

        click("DATABASE");
        click_row("15100", "Bench A");
        ASSERT_TRUE(wait_for([&] { return !list_rows("15101").empty(); }));
        EXPECT_EQ(list_rows("15101"), std::vector<std::string>{"Loop 1"});
        click_row("15101", "Loop 1");
        click("Add Test to Selection");
        EXPECT_EQ(list_rows("15102"), std::vector<std::string>{"Bench A"});
        click("Graph Selected Tests");
        await_window("Graph");
        screenshot("graph_bode");
        menu({"Analyze", "Find Gain/Phase Margins"}, "Graph");
        // The search gives the test its margins menu; its markers are shown from it.
        menu({"Plot Appearance", "Loop 1", "Gain Phase Margins", "Visibility", "Gain"}, "Graph");
        menu({"Plot Appearance", "Loop 1", "Gain Phase Margins", "Visibility", "Phase"}, "Graph");
        screenshot("graph_margins");
        for (const char* view : {"Nyquist", "Nichols", "Bode"}) {
            menu({"View", view}, "Graph");
            screenshot(std::string("graph_") + view);
        }
    });
}
