#pragma once
// The archive journeys' start: an archive database of their own in the
// shared cluster, and a bench's sweep stored and pushed to it from the
// database view, its address typed in the dialog the first push opens.

#include "tests/journeys/journey.h"
#include "tests/support/archive_cluster.h"

class archive_journey : public journey {
protected:
    void SetUp() override
    {
        ARCHIVE_CLUSTER_OR_SKIP(cluster);
        url = cluster.fresh_database();
        ASSERT_FALSE(url.empty()) << cluster.last_error();
        database = archive_database_name(url);
    }

    // Inside run(): sweeps session "Bench A", test "Loop 1" and pushes it.
    void sweep_and_push()
    {
        connect_to_instrument();
        fill_sweep_details("Bench A", "Loop 1");
        click("Start Sweep");
        await_dialog("");
        EXPECT_TRUE(wait_for([&] { return shown("CLEAR"); })) << "the sweep did not end";
        click("DATABASE");
        click_row("15100", "Bench A");
        const size_t before = boxes().size();
        menu({"Archive", "Push selected session..."});
        await_dialog("Archive");
        click_field("Address");
        type(url);
        screenshot("address");
        click("OK");
        ASSERT_TRUE(wait_for([&] { return boxes().size() > before; }, 60000))
            << "the push told nothing";
    }

    std::string url;
    std::string database;
};
