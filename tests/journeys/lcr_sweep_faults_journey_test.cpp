// An LCR sweep against an instrument that misbehaves in each way the
// simulator knows: every one ends with a message the user can read, the
// progress dialog closed, and the window ready for the next sweep or
// realtime run once CLEAR is pressed (where the sweep left results).

#include "sweep/sweep_core.h"
#include "tests/journeys/mode_journey.h"

namespace {

constexpr int LCR_START = 14706;
constexpr int LCR_SWEEP = 14707;

struct s_fault_case {
    const char* name;
    const char* fault;
    std::string message; // the first box shown after SWEEP
    bool connect = true;
    // The instrument is first set up in another operation mode, so that the
    // sweep has to switch it back.
    bool other_mode = false;
};

void PrintTo(const s_fault_case& c, std::ostream* out)
{
    *out << c.fault;
}

} // namespace

class lcr_sweep_fault : public mode_journey, public ::testing::WithParamInterface<s_fault_case> {};

TEST_P(lcr_sweep_fault, EndsWithAMessageAndTheWindowReady)
{
    const s_fault_case c = GetParam();
    run("HXM4100",
        [&] {
            if (c.connect)
                connect_to_instrument();
            enter_mode("LCR", LCR_SWEEP);
            if (c.other_mode) {
                // The journey's window is small: the panel has folded away.
                click("SHOW SETTINGS");
                click("MODE");
                click_field("Operation Mode"); // the list opens at "LCR meter"
                key(Qt::Key_Up);
                key(Qt::Key_Return);
                const size_t shown = boxes().size();
                click("SET UP HXM"); // the instrument switches, then reports an error
                EXPECT_TRUE(wait_for([&] { return boxes().size() > shown; }));
            }
            const size_t before = boxes().size();
            start_single_sweep(LCR_SWEEP);
            if (!wait_for([&] { return boxes().size() > before; })) {
                screenshot("no_message");
                std::string all;
                for (const ui_shown_box& b : boxes())
                    all += "[" + b.text + "] ";
                FAIL() << "no message; SWEEP reads " << control_text(LCR_SWEEP) << "; " << all;
            }
            await_dialog("");
            EXPECT_EQ(box_after(before).text, c.message);
            screenshot("after_message");
            if (control_text(LCR_SWEEP) == "CLEAR")
                click_id(LCR_SWEEP);
            EXPECT_TRUE(wait_for([&] { return control_text(LCR_SWEEP) == "SWEEP"; }));
            EXPECT_TRUE(enabled(std::to_string(LCR_START)));
            EXPECT_TRUE(enabled(std::to_string(LCR_SWEEP)));
            EXPECT_TRUE(menu_usable("FRA"));
        },
        {"--fault", c.fault});
}

INSTANTIATE_TEST_SUITE_P(
    EveryFault, lcr_sweep_fault,
    ::testing::Values(s_fault_case{"DropAfter", "drop-after=3", SWEEP_TEXT_CONNECTION_LOST},
                      s_fault_case{"Silent", "silent", SWEEP_TEXT_CONNECTION_LOST, false},
                      s_fault_case{"EsrStuck", "esr-stuck=1", SWEEP_TEXT_REFUSED, true, true},
                      s_fault_case{"DisconnectOnDownload", "disconnect-on=LCR,SWEEP?",
                                   SWEEP_TEXT_CONNECTION_LOST},
                      s_fault_case{"Garbage", "garbage=2", sweep_incomplete_text(1, 100)},
                      s_fault_case{"ShortLine", "short-line=2", sweep_incomplete_text(1, 100)}),
    [](const auto& info) { return std::string(info.param.name); });
