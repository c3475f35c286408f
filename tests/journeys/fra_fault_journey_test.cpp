// An FRA sweep, to be stored in the database, against every fault the
// simulated instrument can show, and one the user cancels: each ends with a
// message the user can read (or with the sweep, where the program copes),
// SWEEP, START, the settings and DATABASE are usable again, and the database
// holds the test only when the sweep came whole.

#include "tests/journeys/fra_journey.h"

namespace {

const char* const LOST = "The connection to the instrument was lost, sweep cancelled.\n"
                         "The previous results are kept.";
const char* const REFUSED =
    "The instrument refused to change to the operating mode of the sweep, sweep cancelled.\n"
    "The previous results are kept.";
const char* const INCOMPLETE = "The sweep data were incomplete (2 of 100 points received).\n"
                               "The previous results are kept.";

enum class before_sweep {
    connect,     // Configure > Connection... > Connect
    nothing,     // SWEEP at once, the connection the settings remember
    other_mode,  // connected, the instrument set up for another operating mode
    then_cancel, // connected; the user cancels the sweep while it waits
};

struct s_fault_case {
    const char* name;
    const char* model;
    std::vector<std::string> sim_options;
    before_sweep before;
    const char* text; // the message the sweep ends with; null: it completes
    const char* caption;
};

void PrintTo(const s_fault_case& c, std::ostream* out)
{
    *out << c.name;
}

class fra_fault_journey : public fra_journey, public ::testing::WithParamInterface<s_fault_case> {
protected:
    std::string transcript_tail()
    {
        const std::vector<std::string> log = instrument_log();
        std::string tail;
        for (size_t i = log.size() > 16 ? log.size() - 16 : 0; i < log.size(); ++i)
            tail += log[i] + "\n";
        return tail;
    }

    // The MODE page's operation mode set to the RMS voltmeter and written.
    void set_up_another_mode()
    {
        click("READ HXM");
        click("MODE");
        const char* rms =
            GetParam().model == std::string("HXM6300") ? "RMS Voltmeter" : "RMS voltmeter";
        choose("Operation Mode", rms);
        ASSERT_EQ(field_text("Operation Mode"), rms);
        click("SET UP HXM");
        await_dialog("");
    }
};

} // namespace

TEST_P(fra_fault_journey, SweepEndsWithAWordAndTheWindowIsUsableAgain)
{
    const s_fault_case c = GetParam();
    std::vector<std::string> tests_stored;
    run(
        c.model,
        [&] {
            if (c.before != before_sweep::nothing)
                connect_to_instrument();
            if (c.before == before_sweep::other_mode)
                set_up_another_mode();
            const size_t shown_before = boxes().size();
            start_sweep(0, "Loop", "Bench");
            if (c.before == before_sweep::then_cancel) {
                await_dialog("Performing Sweep");
                ASSERT_TRUE(wait_for([&] { return enabled("Cancel"); }));
                click("Cancel");
            }
            ASSERT_TRUE(sweep_ended(60000)) << "the sweep did not end";
            if (c.text) {
                ASSERT_TRUE(wait_for([&] { return boxes().size() > shown_before; }))
                    << "no message; the instrument last heard:\n"
                    << transcript_tail();
                EXPECT_EQ(boxes().back().text, c.text);
                EXPECT_EQ(boxes().back().caption, c.caption);
            } else {
                EXPECT_EQ(boxes().size(), shown_before) << boxes().back().text;
                EXPECT_EQ(text_of("14507"), "CLEAR");
            }
            screenshot("ended");
            if (text_of("14507") == "CLEAR")
                click_id(FRA_SWEEP);
            EXPECT_EQ(text_of("14507"), "SWEEP");
            for (const char* control : {"14506", "DATABASE"})
                EXPECT_TRUE(enabled(control)) << control << " stays greyed";
            // The settings need a connection, which the silent case never made.
            for (const char* control : {"READ HXM", "SET UP HXM"})
                EXPECT_EQ(enabled(control), c.before != before_sweep::nothing) << control;
            click("DATABASE");
            click_row("15100", "Bench");
            settle();
            tests_stored = list_rows("15101");
            click("MEASURE");
            EXPECT_TRUE(enabled("14507")) << "SWEEP stays greyed";
            screenshot("usable_again");
        },
        c.sim_options);
    EXPECT_EQ(tests_stored, c.text ? std::vector<std::string>{} : std::vector<std::string>{"Loop"});
}

INSTANTIATE_TEST_SUITE_P(EveryFault, fra_fault_journey,
                         ::testing::Values(s_fault_case{"DropAfter5",
                                                        "HXM4100",
                                                        {"--fault", "drop-after=5"},
                                                        before_sweep::connect,
                                                        LOST,
                                                        "No Connection"},
                                           s_fault_case{"StrayLine",
                                                        "HXM4100",
                                                        {"--fault", "stray-line"},
                                                        before_sweep::connect,
                                                        nullptr,
                                                        nullptr},
                                           s_fault_case{"ShortLine3",
                                                        "HXM4100",
                                                        {"--fault", "short-line=3"},
                                                        before_sweep::connect,
                                                        INCOMPLETE,
                                                        "Tarvelo2"},
                                           s_fault_case{"Garbage3",
                                                        "HXM6300",
                                                        {"--fault", "garbage=3"},
                                                        before_sweep::connect,
                                                        INCOMPLETE,
                                                        "Tarvelo2"},
                                           s_fault_case{"Silent",
                                                        "HXM4100",
                                                        {"--fault", "silent"},
                                                        before_sweep::nothing,
                                                        LOST,
                                                        "No Connection"},
                                           s_fault_case{"LateReply",
                                                        "HXM4100",
                                                        {"--fault", "late-reply=20"},
                                                        before_sweep::connect,
                                                        nullptr,
                                                        nullptr},
                                           s_fault_case{"EsrStuck4100",
                                                        "HXM4100",
                                                        {"--fault", "esr-stuck=1"},
                                                        before_sweep::other_mode,
                                                        REFUSED,
                                                        "Tarvelo2"},
                                           s_fault_case{"EsrStuck6300",
                                                        "HXM6300",
                                                        {"--fault", "esr-stuck=1"},
                                                        before_sweep::other_mode,
                                                        REFUSED,
                                                        "Tarvelo2"},
                                           s_fault_case{"LostAtMode4100",
                                                        "HXM4100",
                                                        {"--fault", "disconnect-on=config,1?"},
                                                        before_sweep::connect,
                                                        LOST,
                                                        "No Connection"},
                                           s_fault_case{"LostAtMode6300",
                                                        "HXM6300",
                                                        {"--fault", "disconnect-on=config,1?"},
                                                        before_sweep::connect,
                                                        LOST,
                                                        "No Connection"},
                                           s_fault_case{"LostAtStart4100",
                                                        "HXM4100",
                                                        {"--fault", "disconnect-on=start"},
                                                        before_sweep::connect,
                                                        LOST,
                                                        "No Connection"},
                                           s_fault_case{"LostAtStart6300",
                                                        "HXM6300",
                                                        {"--fault", "disconnect-on=start"},
                                                        before_sweep::connect,
                                                        LOST,
                                                        "No Connection"},
                                           s_fault_case{"Cancelled",
                                                        "HXM4100",
                                                        {"--time-scale", "20"},
                                                        before_sweep::then_cancel,
                                                        "The sweep was cancelled.",
                                                        "Tarvelo2"}),
                         [](const auto& info) { return std::string(info.param.name); });
