// A bench's sweep pushed to the lab archive from the database view, found
// again by its winding and pulled into another test file, where it graphs
// as any stored test.

#include "archive/ui/archive_search_dialog.h"
#include "tests/journeys/archive_journey.h"

namespace fs = std::filesystem;

TEST_F(archive_journey, ASweepIsPushedSearchedAndPulledIntoAnotherFile)
{
    const std::string other = (dir() / "other.db").string();
    const std::string results = std::to_string(ARCHIVE_RESULTS_ID);
    run("HXM4100", [&] {
        sweep_and_push();
        EXPECT_EQ(boxes().back().text, "1 test pushed, 0 already archived");
        EXPECT_EQ(boxes().back().caption, "Archive");
        EXPECT_TRUE(wait_for([&] {
            return status("status_outcome") == "1 test pushed, 0 already archived";
        })) << status("status_outcome");

        test_ui().push_file(other);
        click("New Database");
        ASSERT_TRUE(fs::exists(other));
        EXPECT_TRUE(list_rows("15100").empty());
        menu({"Archive", "Search and pull..."}); // the address is kept now
        await_dialog("Search the Archive");
        click_field("Winding");
        type("w1");
        click("Search");
        ASSERT_TRUE(wait_for([&] { return list_rows(results).size() == 1; }));
        const std::vector<std::string> found = list_cells(results).at(0);
        EXPECT_EQ(
            std::vector<std::string>(found.begin() + 1, found.end()),
            (std::vector<std::string>{"Bench A", "U1", found[3], "Bench", "Loop 1", "W1", "100"}));
        click_row(results, found[0]);
        screenshot("search");
        const size_t pulled = boxes().size();
        click("Pull");
        ASSERT_TRUE(wait_for([&] { return boxes().size() > pulled; }));
        EXPECT_EQ(boxes().back().text, "1 test pulled into the test file, 0 were there already");
        EXPECT_TRUE(wait_for([&] {
            return status("status_outcome") ==
                   "1 test pulled into the test file, 0 were there already";
        })) << status("status_outcome");
        click("Close");
        await_dialog("");
        EXPECT_EQ(list_rows("15100"), std::vector<std::string>{"Bench A"});
        click_row("15100", "Bench A");
        ASSERT_TRUE(wait_for([&] { return list_rows("15101").size() == 1; }));
        click_row("15101", "Loop 1");
        click("Add Test to Selection");
        screenshot("pulled");
        click("Graph Selected Tests");
        await_window("Graph");
        screenshot("pulled_graph");
    });
}
