// Realtime FRA readings: START shows them in the view, every tile readable;
// STOP gives the controls back and the instrument hears no more requests.

#include "tests/journeys/fra_journey.h"

namespace {

const char* const FRA_VIEW = "QXTarvelo2FRAResultsWClass";

bool painted(const std::vector<s_chart_text>& texts, const std::string& wanted)
{
    return std::any_of(texts.begin(), texts.end(),
                       [&](const s_chart_text& t) { return t.text.toStdString() == wanted; });
}

} // namespace

TEST_F(fra_journey, RealtimeReadingsShowUntilStop)
{
    run("HXM4100", [&] {
        connect_to_instrument();
        click_id(FRA_REALTIME);
        click_id(FRA_START);
        EXPECT_EQ(text_of("14506"), "STOP");
        EXPECT_FALSE(enabled("14507")) << "no sweep while realtime holds the instrument";
        // The generator runs at 1 kHz: the frequency tile shows it.
        std::vector<s_chart_text> texts;
        ASSERT_TRUE(wait_for([&] {
            texts = painted_texts(FRA_VIEW);
            return painted(texts, "1.0000 kHz") || painted(texts, "1000.00 Hz");
        })) << "no reading of the generator's frequency is shown";
        for (const char* label : {"Frequency", "Magnitude 1", "Magnitude 2", "Gain", "Phase"})
            EXPECT_TRUE(painted(texts, label)) << label;
        const std::vector<std::string> faults = unreadable_texts(FRA_VIEW);
        EXPECT_TRUE(faults.empty()) << faults.front();
        screenshot("reading");

        click_id(FRA_START);
        EXPECT_TRUE(wait_for([&] { return text_of("14506") == "START"; }));
        EXPECT_TRUE(wait_for([&] { return enabled("14507") && enabled("DATABASE"); }));
        screenshot("stopped");
    });
    // Readings were asked for, and the link closed after the last of them.
    const std::vector<std::string> log = instrument_log();
    const auto asked = [](const std::string& l) { return l.find("> *wai;fra?") != l.npos; };
    const auto last = std::find_if(log.rbegin(), log.rend(), asked);
    ASSERT_NE(last, log.rend()) << "the instrument was asked for no reading";
    EXPECT_GT(std::count_if(log.begin(), log.end(), asked), 1);
    EXPECT_TRUE(std::any_of(log.rbegin(), last, [](const std::string& l) {
        return l.find("* closed") != l.npos;
    })) << "the realtime link stayed open";
}
