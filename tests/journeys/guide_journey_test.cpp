// The user guide's scenes, walked as the guide tells them: each step a
// reader takes, and the picture the guide shows of it. scripts/shots runs
// these journeys and copies the pictures docs/guide.md names into
// docs/shots/, so the guide never shows an old window. Each scene is also
// checked for what the guide says of it, so a picture of a failure is never
// taken for the scene.

#include "tests/journeys/fra_journey.h"
#include "tests/journeys/mode_journey.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

constexpr int LCR_SWEEP = 14707;
constexpr int PIEZO_START = 15241;
constexpr int CAPTURE_DOWNLOAD = 15234;
const char* const CAPTURE_WINDOW = "QXTarvelo2CapWClass";
const char* const GRAPH_CHART = "QXTarvelo2GraphChart";

} // namespace

// Connect, configure, sweep, export; the database, the graph dialog of three
// stored sweeps and their comparison; the margins of the last sweep.
TEST_F(fra_journey, GuideFraSweepsAndTheirReview)
{
    const fs::path exported = dir() / "loop.csv";
    run("HXM4100", [&] {
        menu({"Configure", "Connection..."});
        await_dialog("Connect");
        screenshot("connect");
        click("Connect");
        await_dialog("");

        click("READ HXM");
        ASSERT_TRUE(wait_for([&] { return !dialog_open() && enabled("SET UP HXM"); }));
        EXPECT_EQ(field_text("Min cycles"), "1") << "the factory setting read back";
        screenshot("configuration");

        fill_sweep_details("Bench A", "Loop A");
        screenshot("test_details");
        click("Start Sweep");
        ASSERT_TRUE(sweep_ended());
        screenshot("fra_sweep");

        click_id(FRA_EXPORT);
        await_dialog("Export Tests");
        click("CSV");
        screenshot("export");
        test_ui().push_file(exported.string());
        click("OK");
        await_dialog("");

        // Three tests whose names differ at the end only: the legend tells
        // them apart.
        for (const char* test : {"Loop B", "Loop A after repair"}) {
            click_id(FRA_SWEEP); // CLEAR
            start_sweep(0, test);
            ASSERT_TRUE(sweep_ended());
        }

        ASSERT_TRUE(select_stored_tests("Bench A", {"Loop A", "Loop B", "Loop A after repair"}));
        screenshot("database");

        click("Graph Selected Tests");
        await_window("Graph");
        const std::vector<s_chart_text> legend = painted_texts(GRAPH_CHART);
        for (const char* name : {"Loop A", "Loop B"})
            EXPECT_TRUE(std::any_of(legend.begin(), legend.end(),
                                    [&](const s_chart_text& t) { return t.text == name; }))
                << name << " not whole in the legend";
        EXPECT_EQ(unreadable_texts(GRAPH_CHART), std::vector<std::string>{});
        screenshot("graph");
        menu({"Analyze", "Compare with Reference…"}, "Graph");
        await_window("Compare with Reference");
        screenshot("compare");
        click("Close");
        await_dialog("");

        // Last, as message boxes open on screen from here on.
        click("MEASURE");
        const size_t before = boxes().size();
        show_boxes_live();
        click("Find Gain/Phase Margin");
        await_dialog("Tarvelo2");
        screenshot("margins");
        click("OK");
        ASSERT_TRUE(wait_for([&] { return boxes().size() == before + 2; }));
        await_dialog("Tarvelo2");
        click("OK");
        await_dialog("");
        const std::vector<ui_shown_box> shown = boxes();
        EXPECT_EQ(shown[before].text.rfind("0dB point", 0), 0u) << shown[before].text;
        EXPECT_EQ(shown[before + 1].text.rfind("0Phase point", 0), 0u) << shown[before + 1].text;
    });
    EXPECT_FALSE(exported_numbers(exported).empty())
        << "the export the guide shows wrote no points";
}

class guide_modes_journey : public mode_journey {};

// The three-channel instrument's piezo analysis, screen capture and LCR sweep.
TEST_F(guide_modes_journey, GuidePiezoCaptureAndLcr)
{
    run("HXM6300", [&] {
        connect_to_instrument();
        enter_mode("Piezo", PIEZO_START);
        ASSERT_TRUE(piezo_analysed()) << "no analysis shown";
        screenshot("piezo");
        click("Clear"); // the other modes are chosen from an empty piezo window

        enter_mode("Capture", CAPTURE_DOWNLOAD);
        const QImage before = view_picture(CAPTURE_WINDOW);
        click("Download");
        ASSERT_TRUE(wait_for([&] { return view_picture(CAPTURE_WINDOW) != before; }))
            << "no capture is shown";
        screenshot("capture");

        enter_mode("LCR", LCR_SWEEP);
        start_single_sweep(LCR_SWEEP);
        ASSERT_TRUE(wait_for([&] { return control_text(LCR_SWEEP) == "CLEAR"; }));
        screenshot("lcr");
    });
}
