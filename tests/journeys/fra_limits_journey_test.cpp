// Limits at the FRA window: a limit set chosen, a sweep stored as a test,
// the margins judged (PASS or FAIL with the failed checks) and the set's
// mask lines drawn on the Bode chart.

#include "tests/journeys/fra_journey.h"

#include <QImage>

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

} // namespace

class fra_limits_journey : public fra_journey {};

TEST_F(fra_limits_journey, MarginsAreJudgedAndMasksDrawn)
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
    });
}
