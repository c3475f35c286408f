// Connect to the instrument, read its configuration, edit fields on several
// pages (accepted, refused, out of range) and set it up: every field shows
// what the instrument is then sent.

#include "tests/journeys/journey.h"

#include <algorithm>

namespace {

// The value of the last "config,<id>,<value>" line the instrument received.
std::string last_written(const std::vector<std::string>& received, int id)
{
    const std::string head = "config," + std::to_string(id) + ",";
    const auto line = std::find_if(received.rbegin(), received.rend(),
                                   [&](const std::string& l) { return l.rfind(head, 0) == 0; });
    return line == received.rend() ? "(not written)" : line->substr(head.size());
}

struct s_model_case {
    const char* model;
    const char* cycles; // the label of parameter 151 on the ACQU page
};

void PrintTo(const s_model_case& c, std::ostream* out)
{
    *out << c.model;
}

class configuration_journey : public journey, public ::testing::WithParamInterface<s_model_case> {
protected:
    // Selects everything in the field and types over it.
    void retype(const std::string& label, const std::string& text)
    {
        click_field(label);
        key(Qt::Key_A, Qt::ControlModifier);
        type(text);
    }
};

} // namespace

TEST_P(configuration_journey, EveryFieldShowsWhatSetUpWrites)
{
    const s_model_case c = GetParam();
    std::string cycles, delay, steps, start;
    run(c.model, [&] {
        connect_to_instrument();
        click("READ HXM");
        click("ACQU");
        ASSERT_EQ(field_text(c.cycles), "1");
        // "1" then "5" and "0" typed after it: 15 is taken, 150 refused.
        click_field(c.cycles);
        type("50");
        ASSERT_FALSE(boxes().empty());
        EXPECT_EQ(boxes().back().text, "Minimum Cycles must be set between 1 and 100");
        EXPECT_EQ(boxes().back().caption, "Incorrect Value");
        EXPECT_EQ(field_text(c.cycles), "15");
        retype("Delay", "75");
        EXPECT_EQ(boxes().back().text, "Delay must be set between 0 and 60");
        retype("Delay", "5");
        screenshot("acquisition_after_refusals");
        cycles = field_text(c.cycles);
        delay = field_text("Delay");

        click_id(13003); // the SWEEP page (the FRA window has a SWEEP button too)
        const size_t shown_before = boxes().size();
        retype("Steps", "5000"); // 5, 50 and 500 are taken; 5000 is out of range
        retype("Start", "2.0000E2");
        EXPECT_EQ(boxes().size(), shown_before) << "an out-of-range step count asks nothing";
        EXPECT_EQ(field_text("Steps"), "500");
        steps = field_text("Steps");
        start = field_text("Start");
        screenshot("sweep_after_out_of_range");

        click("AUX");
        screenshot("aux");
        click("MODE");
        screenshot("mode");
        click("SET UP HXM");
        EXPECT_TRUE(wait_for([&] { return last_written(instrument_received(), 18) == steps; }));
    });
    const std::vector<std::string> received = instrument_received();
    EXPECT_EQ(last_written(received, 151), cycles);
    EXPECT_EQ(last_written(received, 152), delay);
    EXPECT_EQ(last_written(received, 18), steps);
    EXPECT_EQ(last_written(received, 19), start);
}

INSTANTIATE_TEST_SUITE_P(BothModels, configuration_journey,
                         ::testing::Values(s_model_case{"HXM4100", "Min cycles"},
                                           s_model_case{"HXM6300", "Cycles"}),
                         [](const auto& info) { return std::string(info.param.model); });
