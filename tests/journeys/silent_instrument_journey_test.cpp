// An instrument that answers late or not at all: READ HXM, SET UP HXM, a
// mode change and the connection test run behind a progress dialog while the
// window keeps repainting and reacting; Cancel ends each within about a
// second and changes nothing, and without Cancel the usual message comes.

#include "tests/journeys/journey.h"
#include "tests/journeys/loop_probe.h"

#include <chrono>

namespace {

constexpr const char* PROGRESS_TITLE = "Instrument";
constexpr const char* STATUS_LINE = "10008"; // the progress dialog's status line
constexpr const char* READING = "Reading the instrument configuration\u2026";
constexpr const char* WRITING = "Writing the instrument configuration\u2026";
constexpr const char* CONNECTING = "Connecting to the instrument\u2026";
// The longest the window thread may go without turning its event loop.
constexpr int64_t LONGEST_GAP_MS = 200;
// Cancel ends an exchange within about a second.
constexpr int64_t CANCEL_LIMIT_MS = 1500;

int64_t ms_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

class silent_instrument_journey : public journey,
                                  public ::testing::WithParamInterface<const char*> {
protected:
    // The exchange a step started shows its progress dialog with caption;
    // for a second the window keeps turning its loop and repaints.
    void expect_responsive(const std::string& caption, const std::string& step)
    {
        await_dialog(PROGRESS_TITLE);
        EXPECT_TRUE(wait_for([&] { return text_of(STATUS_LINE) == caption; }, 10000)) << step;
        int paints = 0;
        look([&] {
            probe().watch_paints();
            paints = probe().paints();
            probe().repaint_main();
        });
        EXPECT_LT(longest_gap_in_a_second(), LONGEST_GAP_MS)
            << step << ": the event loop stood still";
        EXPECT_TRUE(wait_for(
            [&] {
                int now = 0;
                look([&] { now = probe().paints(); });
                return now > paints;
            },
            2000))
            << step << ": the window did not repaint";
        if (!step.empty())
            screenshot(step);
    }

    // Cancel ends the exchange within about a second, with no message.
    void cancel_exchange(const std::string& step)
    {
        const size_t boxes_before = boxes().size();
        const auto pressed = std::chrono::steady_clock::now();
        click("Cancel");
        EXPECT_TRUE(wait_for([&] { return modal_title() != PROGRESS_TITLE; }, 5000)) << step;
        EXPECT_LT(ms_since(pressed), CANCEL_LIMIT_MS) << step;
        EXPECT_EQ(boxes().size(), boxes_before) << step << ": a cancel tells nothing";
    }

    // Waits for the exchange to end by itself.
    void await_end()
    {
        EXPECT_TRUE(wait_for([&] { return modal_title() != PROGRESS_TITLE; }, 40000));
    }

    std::string last_box_text()
    {
        const std::vector<ui_shown_box> shown = boxes();
        return shown.empty() ? "" : shown.back().text;
    }
};

} // namespace

// READ HXM and SET UP HXM against an instrument that stays silent or answers
// each line three seconds late.
TEST_P(silent_instrument_journey, ConfigurationTransfersStayResponsiveAndCancel)
{
    run("HXM4100", [&] {
        connect_to_instrument();
        click("READ HXM");
        click("ACQU");
        const std::string delay = field_text("Delay");
        ASSERT_FALSE(delay.empty());
        restart_instrument("HXM4100", {"--fault", GetParam()});
        watch_exchanges();

        click("READ HXM");
        expect_responsive(READING, "reading");
        cancel_exchange("READ HXM");
        EXPECT_EQ(field_text("Delay"), delay);
        EXPECT_TRUE(enabled("READ HXM"));

        click_field("Delay");
        key(Qt::Key_A, Qt::ControlModifier);
        type("7");
        click("SET UP HXM");
        expect_responsive(WRITING, "writing");
        cancel_exchange("SET UP HXM");
        EXPECT_EQ(field_text("Delay"), "7");
        EXPECT_TRUE(enabled("SET UP HXM"));
        screenshot("after_cancel");

        if (std::string(GetParam()) != "silent")
            return;
        // Without Cancel a silent instrument meets the usual time-outs.
        click("SET UP HXM");
        await_dialog(PROGRESS_TITLE);
        await_end();
        EXPECT_EQ(last_box_text().rfind("An error occurred writing the config", 0), 0u)
            << last_box_text();
        click("READ HXM");
        await_dialog(PROGRESS_TITLE);
        await_end();
        EXPECT_NE(last_box_text().find("Too many read errors"), std::string::npos)
            << last_box_text();
        EXPECT_EQ(field_text("Delay"), "7");
    });
}

INSTANTIATE_TEST_SUITE_P(faults, silent_instrument_journey,
                         ::testing::Values("silent", "late-reply=3000"), [](const auto& info) {
                             return std::string(info.param == std::string("silent") ? "silent"
                                                                                    : "late");
                         });

// A mode change reads the configuration back; the connection test asks for
// the identity five times. Both wait behind the progress dialog.
TEST_F(silent_instrument_journey, ModeChangeAndConnectionTestStayResponsive)
{
    run("HXM4100", [&] {
        connect_to_instrument();
        restart_instrument("HXM4100", {"--fault", "silent"});
        watch_exchanges();

        menu({"LCR"});
        expect_responsive(READING, "mode_change");
        cancel_exchange("mode change");
        EXPECT_TRUE(enabled("READ HXM"));

        menu({"Configure", "Connection..."});
        await_dialog("Connect");
        click("Test");
        expect_responsive(CONNECTING, ""); // five short waits: no time for a picture
        cancel_exchange("connection_test");
        EXPECT_EQ(modal_title(), "Connect");
        const size_t boxes_before = boxes().size();
        click("Test");
        await_dialog(PROGRESS_TITLE);
        await_end();
        ASSERT_EQ(boxes().size(), boxes_before + 1);
        EXPECT_EQ(boxes().back().caption, "Test Connection") << boxes().back().text;
        EXPECT_EQ(modal_title(), "Connect");
        restart_instrument("HXM4100", {});
        click("Cancel");
        EXPECT_TRUE(wait_for([&] { return modal_title().empty(); }, 40000));
    });
}
