// Limits at the FRA window: a limit set chosen, a sweep stored as a test,
// the margins judged (PASS or FAIL with the failed checks), the set's mask
// lines drawn on the Bode chart and the verdict stored beside the test.

#include "tests/journeys/fra_journey.h"

#include <QImage>
#include <sqlite3.h>

namespace fs = std::filesystem;

namespace {

const char* const FRA_VIEW = "QXTarvelo2FRAResultsWClass";

// The simulator's loop crosses 0 dB near 500 Hz: its phase margin passes,
// no loop has a gain margin of 100 dB. Masks run through the plotted range.
const char* const LIMITS = R"({"checks": [
  {"margin": "phase", "at_least": 20},
  {"margin": "gain", "at_least": 100},
  {"mask": "gain", "upper": [[10, 80], [1000, 40]], "lower": [[10, -60], [100000, -140]]},
  {"mask": "phase", "upper": [[10, 120], [100000, 120]]}
]})";

// The rows of the verdict table of the database file, read by a program of
// its own.
int stored_verdicts(const fs::path& db, std::string& pass_and_failed)
{
    sqlite3* handle = nullptr;
    int rows = -1;
    if (sqlite3_open_v2(db.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* q = nullptr;
        if (sqlite3_prepare_v2(handle, "SELECT Pass, Failed FROM Verdict", -1, &q, nullptr) ==
            SQLITE_OK) {
            for (rows = 0; sqlite3_step(q) == SQLITE_ROW; ++rows) {
                const auto* failed = sqlite3_column_text(q, 1);
                pass_and_failed = std::to_string(sqlite3_column_int(q, 0)) + " " +
                                  (failed ? reinterpret_cast<const char*>(failed) : "");
            }
            sqlite3_finalize(q);
        }
    }
    sqlite3_close(handle);
    return rows;
}

} // namespace

class fra_limits_journey : public fra_journey {};

TEST_F(fra_limits_journey, MarginsAreJudgedMasksDrawnAndTheVerdictStored)
{
    const fs::path limits = dir() / "loop.json";
    std::ofstream(limits, std::ios::binary) << LIMITS;
    run("HXM4100", [&] {
        connect_to_instrument();
        test_ui().push_file(limits.string());
        click("Limit Set...");
        EXPECT_EQ(text_of("Limit Set"), "loop.json");
        start_sweep(0, "Loop A", "Line 1");
        ASSERT_TRUE(sweep_ended());
        ASSERT_TRUE(wait_for([&] { return !dialog_open() && !text_of("Verdict").empty(); }));
        EXPECT_EQ(text_of("Verdict"), "FAIL");
        const auto failed = list_rows("Failed Checks");
        ASSERT_EQ(failed.size(), 1u);
        EXPECT_EQ(failed[0].rfind("gain margin", 0), 0u) << failed[0];
        // The masks are drawn in their colours; every text still reads.
        QImage chart;
        look([&] {
            for (QWidget* w : reachable())
                if (w->objectName() == QLatin1String(FRA_VIEW))
                    chart = w->grab().toImage();
        });
        int gain_mask = 0, phase_mask = 0;
        for (int y = 0; y < chart.height(); ++y)
            for (int x = 0; x < chart.width(); ++x) {
                gain_mask += chart.pixel(x, y) == qRgb(255, 0, 255) ? 1 : 0;
                phase_mask += chart.pixel(x, y) == qRgb(0, 200, 120) ? 1 : 0;
            }
        EXPECT_GT(gain_mask, 100);
        EXPECT_GT(phase_mask, 100);
        EXPECT_EQ(unreadable_texts(FRA_VIEW), std::vector<std::string>{});
        screenshot("judged");
        std::string stored;
        EXPECT_EQ(stored_verdicts(dir() / "default.db", stored), 1);
        EXPECT_EQ(stored.rfind("0 gain margin", 0), 0u) << stored;
    });
}
