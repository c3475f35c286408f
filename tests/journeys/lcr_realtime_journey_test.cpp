// LCR realtime readings: shown, readable and stopped with STOP while the
// instrument answers; with the instrument gone START says so, turns back to
// START, leaves the menus usable and shows no old reading under other
// labels. Both models, and an instrument that hangs up on the first reading.

#include "sweep/realtime_limits.h"
#include "tests/journeys/mode_journey.h"

namespace {

constexpr int LCR_REALTIME = 14702;
constexpr int LCR_START = 14706;
const char* const RESULTS_VIEW = "QXTarvelo2LCRResultsWClass";

struct s_tile {
    std::string label, value;
    bool operator==(const s_tile&) const = default;
};

} // namespace

class lcr_realtime : public mode_journey {
protected:
    // The readout's tiles as painted: a grey label, then the yellow value
    // with its drawn unit signs. Texts that cannot be read go to faults.
    std::vector<s_tile> readout(std::vector<std::string>* faults = nullptr)
    {
        std::vector<s_chart_text> texts;
        const std::vector<std::string> f = painted(RESULTS_VIEW, texts);
        if (faults)
            *faults = f;
        std::vector<s_tile> tiles;
        std::string signs;
        for (const s_chart_text& t : texts) {
            const std::string text = t.text.toStdString();
            if (t.color.blue() >= t.color.red() / 2) { // grey, not yellow
                tiles.push_back({text, ""});
                signs.clear();
            } else if (!tiles.empty() && (t.text == QChar(0x03A9) || text == "-1")) {
                signs += text;
            } else if (!tiles.empty()) {
                tiles.back().value = text + signs;
            }
        }
        return tiles;
    }

    // The menus a realtime run greys can be chosen again.
    void expect_menus_usable()
    {
        for (const char* top : {"FRA", "LCR", "Piezo", "Capture"})
            EXPECT_TRUE(menu_usable(top)) << top;
        EXPECT_TRUE(menu_usable("Configure", "Connection..."));
    }

    void start_lcr_realtime_view()
    {
        connect_to_instrument();
        enter_mode("LCR", LCR_START);
        click_id(LCR_REALTIME);
    }
};

class lcr_realtime_journey : public lcr_realtime,
                             public ::testing::WithParamInterface<const char*> {};

TEST_P(lcr_realtime_journey, ReadingsShowUntilStopAndAnInstrumentGoneIsSaid)
{
    run(GetParam(), [&] {
        start_lcr_realtime_view();
        const std::vector<s_tile> idle = readout();
        const QImage before = view_picture(RESULTS_VIEW);
        click_id(LCR_START);
        EXPECT_EQ(control_text(LCR_START), "STOP");
        EXPECT_FALSE(menu_usable("FRA")) << "a mode change offered under realtime";
        ASSERT_TRUE(wait_for([&] { return view_picture(RESULTS_VIEW) != before; }))
            << "no reading is shown";
        std::vector<std::string> faults;
        const std::vector<s_tile> reading = readout(&faults);
        EXPECT_EQ(faults, std::vector<std::string>{});
        EXPECT_TRUE(reading.size() == 11 || reading.size() == 14) << reading.size();
        size_t value_boxes = 0;
        EXPECT_EQ(cut_tile_texts(view_picture(RESULTS_VIEW), &value_boxes),
                  std::vector<std::string>{});
        EXPECT_EQ(value_boxes, reading.size());
        screenshot("reading");
        click_id(LCR_START);
        EXPECT_TRUE(wait_for([&] { return control_text(LCR_START) == "START"; }));
        expect_menus_usable();
        const std::vector<s_tile> last = readout();

        stop_instrument();
        const size_t shown = boxes().size();
        click_id(LCR_START);
        ASSERT_TRUE(wait_for([&] { return boxes().size() > shown; }))
            << "START with the instrument gone says nothing";
        EXPECT_EQ(box_after(shown).text, TEXT_REALTIME_FAILED);
        EXPECT_TRUE(wait_for([&] { return control_text(LCR_START) == "START"; }));
        EXPECT_TRUE(enabled(std::to_string(LCR_START)));
        expect_menus_usable();
        // Whatever is shown now, no value of the last reading stands under a
        // label it was not read for.
        click("GRAPH");
        click_id(LCR_REALTIME);
        const std::vector<s_tile> after = readout(&faults);
        EXPECT_EQ(faults, std::vector<std::string>{});
        for (size_t i = 0; i < after.size(); ++i)
            for (size_t j = 0; j < last.size(); ++j)
                if (after[i].value == last[j].value && after[i].label != last[j].label &&
                    std::find(idle.begin(), idle.end(), after[i]) == idle.end())
                    ADD_FAILURE() << last[j].label << " reading " << last[j].value
                                  << " is shown under " << after[i].label;
        screenshot("instrument_gone");
    });
}

INSTANTIATE_TEST_SUITE_P(BothModels, lcr_realtime_journey, ::testing::Values("HXM4100", "HXM6300"));

TEST_F(lcr_realtime, AnInstrumentThatHangsUpOnTheFirstReadingIsSaid)
{
    run("HXM6300",
        [&] {
            start_lcr_realtime_view();
            click_id(LCR_START);
            ASSERT_TRUE(box_shown(TEXT_REALTIME_FAILED));
            EXPECT_TRUE(wait_for([&] { return control_text(LCR_START) == "START"; }));
            expect_menus_usable();
            screenshot("hung_up");
        },
        {"--fault", "disconnect-on=lcr?"});
}
