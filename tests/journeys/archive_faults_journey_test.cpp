// An archive server that stops answering in the middle of a push and of a
// search: the window keeps answering behind the progress dialog, and
// Cancel ends each within a second.

#include "archive/ui/archive_search_dialog.h"
#include "tests/journeys/archive_journey.h"
#include "tests/journeys/loop_probe.h"

#include <chrono>

namespace {

// A window held by the frozen server would stand still for the whole
// exchange (tens of seconds); these limits leave room for a loaded machine
// and the sanitizer build, whose turns of the loop are slower than a user's.
constexpr int64_t LONGEST_GAP_MS = 500;
// Cancel ends an exchange within about a second.
constexpr int64_t CANCEL_LIMIT_MS = 3000;

class archive_faults_journey : public archive_journey {
protected:
    // The program's next statement on table waits for a lock and, while it
    // waits, its server process is stopped: a server that stops answering.
    std::unique_ptr<archive_frozen_backends> freeze_on(const std::string& table,
                                                       const std::function<void()>& start)
    {
        archive_cluster& cluster = archive_cluster::shared();
        archive_table_lock lock(cluster, database, table);
        start();
        EXPECT_TRUE(wait_for([&] { return cluster.program_waits_for_lock(database); }, 20000))
            << "no statement came to " << table;
        auto frozen = std::make_unique<archive_frozen_backends>(cluster, database);
        lock.release();
        return frozen;
    }

    // For a second the window turns its loop without a gap of 100 ms.
    void expect_answering(const std::string& step)
    {
        EXPECT_LT(longest_gap_in_a_second(), LONGEST_GAP_MS)
            << step << ": the event loop stood still";
        screenshot(step);
    }

    // Cancel closes the progress dialog titled title within a second, the
    // window answering all the while.
    void cancel(const std::string& title, const std::string& step)
    {
        look([this] { probe().mark(); });
        const auto pressed = std::chrono::steady_clock::now();
        click("Cancel");
        EXPECT_TRUE(wait_for([&] { return modal_title() != title; }, 5000)) << step;
        EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - pressed)
                      .count(),
                  CANCEL_LIMIT_MS)
            << step;
        int64_t gap = 0;
        look([&] { gap = probe().longest_since_mark(); });
        EXPECT_LT(gap, LONGEST_GAP_MS) << step << ": the event loop stood still on Cancel";
    }
};

} // namespace

TEST_F(archive_faults_journey, AFrozenPushAndAFrozenSearchAreCancelledWhileTheWindowAnswers)
{
    const std::string results = std::to_string(ARCHIVE_RESULTS_ID);
    run("HXM4100", [&] {
        sweep_and_push();
        watch_exchanges();

        size_t before = boxes().size();
        auto frozen_push = freeze_on("archive_session", [&] {
            menu({"Archive", "Push selected session..."});
        });
        expect_answering("frozen_push");
        cancel("Pushing to the archive", "push");
        ASSERT_TRUE(wait_for([&] { return boxes().size() > before; }));
        EXPECT_EQ(boxes().back().text.rfind("The push was stopped after 0 of 1 tests", 0), 0u)
            << boxes().back().text;

        menu({"Archive", "Search and pull..."});
        await_dialog("Search the Archive");
        before = boxes().size();
        auto frozen_search = freeze_on("archive_test", [&] { click("Search"); });
        expect_answering("frozen_search");
        cancel("Archive", "search");
        EXPECT_EQ(modal_title(), "Search the Archive");
        EXPECT_EQ(boxes().size(), before) << "a cancel tells nothing";

        // Once the server answers again, so does the archive.
        frozen_push.reset();
        frozen_search.reset();
        watch_exchanges(false);
        click("Search");
        EXPECT_TRUE(wait_for([&] { return list_rows(results).size() == 1; }));
        click("Close");
    });
}
