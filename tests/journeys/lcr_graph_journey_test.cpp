// The LCR graph of a 3.3 MOhm part: impedance and resistance in megohms on
// both axes, every label in the engineering form, readable on both
// backgrounds.

#include "tests/journeys/mode_journey.h"

#include <regex>

namespace {

constexpr int LCR_SWEEP = 14707;
constexpr int LEFT_QUANTITY = 14803;
constexpr int RIGHT_QUANTITY = 14804;
constexpr int BACKGROUND = 14806;
const char* const LEFT_LOG = "14807";
const char* const RIGHT_LOG = "14808";
const char* const RESULTS_VIEW = "QXTarvelo2LCRResultsWClass";

} // namespace

class lcr_graph_journey : public mode_journey {
protected:
    // Opens the drop-down list and moves down `steps` items from the one shown.
    void choose(int box, int steps)
    {
        click_id(box);
        for (int i = 0; i < steps; ++i)
            key(Qt::Key_Down);
        key(Qt::Key_Return);
    }

    // The megohm labels the graph draws once the work of a sweep has ended.
    int megohm_labels()
    {
        settle();
        std::vector<s_chart_text> texts;
        painted(RESULTS_VIEW, texts);
        int megohms = 0;
        for (const s_chart_text& t : texts)
            megohms += std::regex_match(t.text.trimmed().toStdString(), std::regex("-?[0-9.]+ ?M"));
        return megohms;
    }

    // The graph's texts read; the megohm labels counted.
    void expect_readable_megohms(const std::string& shot)
    {
        std::vector<s_chart_text> texts;
        EXPECT_EQ(painted(RESULTS_VIEW, texts), std::vector<std::string>{}) << shot;
        int megohms = 0;
        for (const s_chart_text& t : texts) {
            const std::string text = t.text.trimmed().toStdString();
            EXPECT_FALSE(std::regex_search(text, std::regex("[0-9]{6}"))) << text << " on " << shot;
            megohms += std::regex_match(text, std::regex("-?[0-9.]+ ?M")) ? 1 : 0;
        }
        EXPECT_GE(megohms, 8) << "megohm labels on " << shot;
        screenshot(shot);
    }
};

TEST_F(lcr_graph_journey, MegohmAxesAreLabelledInTheEngineeringForm)
{
    run("HXM4100",
        [&] {
            connect_to_instrument();
            enter_mode("LCR", LCR_SWEEP);
            start_single_sweep(LCR_SWEEP);
            ASSERT_TRUE(wait_for([&] { return control_text(LCR_SWEEP) == "CLEAR"; }));
            // tan delta reads so in the title and in both cursor readouts,
            // never as the tables' Symbol-font byte; the sweep's results are
            // drawn once its completion has run.
            std::vector<s_chart_text> texts;
            std::vector<std::string> unreadable;
            int tan_delta = 0;
            const bool drawn = wait_for(
                [&] {
                    settle();
                    texts.clear();
                    unreadable = painted(RESULTS_VIEW, texts);
                    tan_delta = 0;
                    for (const s_chart_text& t : texts)
                        tan_delta += t.text.startsWith(QString::fromUtf8("tan \u03b4")) ? 1 : 0;
                    return tan_delta >= 2;
                },
                60000);
            EXPECT_TRUE(drawn) << "tan delta drawn " << tan_delta << " times after the sweep";
            EXPECT_EQ(unreadable, std::vector<std::string>{});
            for (const s_chart_text& t : texts)
                EXPECT_FALSE(t.text.contains(QChar(0xF0))) << t.text.toStdString();
            choose(LEFT_QUANTITY, 2);  // Q to IMPEDANCE (ohms)
            choose(RIGHT_QUANTITY, 5); // TANð to R (ohms)
            EXPECT_EQ(control_text(LEFT_QUANTITY), "IMPEDANCE (ohms)");
            EXPECT_EQ(control_text(RIGHT_QUANTITY), "R (ohms)");
            // Magnitudes start on logarithmic axes; linear ones label every eighth.
            EXPECT_TRUE(checked(LEFT_LOG) && checked(RIGHT_LOG));
            click_id(std::stoi(LEFT_LOG));
            click_id(std::stoi(RIGHT_LOG));
            expect_readable_megohms("graph_black");
            choose(BACKGROUND, 1);
            expect_readable_megohms("graph_white");
            // The next sweep of the same layout keeps both choices.
            click_id(LCR_SWEEP); // CLEAR
            start_single_sweep(LCR_SWEEP);
            ASSERT_TRUE(wait_for([&] { return control_text(LCR_SWEEP) == "CLEAR"; }));
            EXPECT_TRUE(wait_for([&] { return megohm_labels() >= 8; }, 60000))
                << "the second sweep's megohm axes were not drawn";
            EXPECT_EQ(control_text(LEFT_QUANTITY), "IMPEDANCE (ohms)");
            EXPECT_EQ(control_text(RIGHT_QUANTITY), "R (ohms)");
            EXPECT_FALSE(checked(LEFT_LOG) || checked(RIGHT_LOG));
        },
        {"--lcr-dut", "parallel:R=3.3M,C=10p"});
}
