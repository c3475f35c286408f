// The program on the screen it is given: every view's chart grows with the
// main window and stays readable; at 1024 x 700 the settings panel folds
// away by itself so that the LCR plot keeps its least height, until the user
// shows it again. Run on a larger screen (Qt's offscreen platform
// takes one from a file: "offscreen:configfile=screen.json"), its
// screenshots show each view at the size a first start gives it there.

#include "app/main_mode.h"
#include "lcr/ui/lcr_results_view.h"
#include "tests/journeys/mode_journey.h"

namespace {

constexpr int FRA_SWEEP = 14507;
constexpr int LCR_SWEEP = 14707;
constexpr int PIEZO_START = 15241;
constexpr int LCR_LEFT_QUANTITY = 14803;
const char* const LCR_LEFT_LOG = "14807";
const char* const SETTINGS_BUTTON = "12003";

struct s_view {
    const char* mode;
    int control;
    const char* view_class;
};
constexpr s_view VIEWS[] = {
    {"FRA", FRA_SWEEP, "QXTarvelo2FRAResultsWClass"},
    {"LCR", LCR_SWEEP, "QXTarvelo2LCRResultsWClass"},
    {"Piezo", PIEZO_START, "QXTarvelo2PiezoWClass"},
};

QWidget* main_window_shown()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QLatin1String("QXTarvelo2WClass"))
            return w;
    return nullptr;
}

} // namespace

class window_sizes_journey : public mode_journey {
protected:
    QSize main_size()
    {
        return mode_journey_detail::on_gui([] { return main_window_shown()->size(); });
    }
    // A single sweep of the mode whose SWEEP (Start Sweep) button is given;
    // the FRA sweep is stored as "Loop 1" of the session "Sizes".
    void sweep(int control)
    {
        if (control == PIEZO_START) {
            ASSERT_TRUE(piezo_analysed()) << "no analysis";
            return;
        }
        if (control == LCR_SWEEP) {
            start_single_sweep(LCR_SWEEP);
            ASSERT_TRUE(wait_for([&] { return control_text(LCR_SWEEP) == "CLEAR"; }));
            return;
        }
        fill_sweep_details("Sizes", "Loop 1");
        click("Start Sweep");
        await_dialog("");
        ASSERT_TRUE(wait_for([&] { return control_text(FRA_SWEEP) == "CLEAR"; }));
    }
    void grow_main(QSize by) { resize_main(main_size() + by); }
    void resize_main(QSize to)
    {
        act([to] { main_window_shown()->resize(to); });
        EXPECT_TRUE(wait_for([&] { return main_size() == to; })) << "the window kept its size";
    }
    int lcr_plot_height()
    {
        return mode_journey_detail::on_gui([] {
            auto* view = dynamic_cast<lcr_results_view*>(
                mode_journey_detail::shown_widget(0, "QXTarvelo2LCRResultsWClass"));
            return view ? view->plot_area().height() : 0;
        });
    }
    // At 1024 x 700 the panel has folded away and the plot keeps its least
    // height, |Z| of the resonator on its default logarithmic axis; SHOW
    // SETTINGS brings the panel back for good.
    void lcr_at_1024_by_700()
    {
        const QSize was = main_size();
        resize_main(QSize(1024, 700));
        EXPECT_TRUE(wait_for([&] { return lcr_plot_height() >= MAIN_LEAST_PLOT_HEIGHT; }))
            << "the LCR plot is " << lcr_plot_height() << " px high at 1024 x 700";
        EXPECT_EQ(text_of(SETTINGS_BUTTON), "SHOW SETTINGS");
        click_id(LCR_LEFT_QUANTITY);
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        key(Qt::Key_Return);
        EXPECT_TRUE(checked(LCR_LEFT_LOG)) << "|Z| starts on a logarithmic axis";
        EXPECT_EQ(unreadable_texts("QXTarvelo2LCRResultsWClass"), std::vector<std::string>{});
        screenshot("LCR_1024x700_log_impedance");
        click("SHOW SETTINGS");
        resize_main(was);
        EXPECT_EQ(text_of(SETTINGS_BUTTON), "HIDE SETTINGS") << "the user's choice did not hold";
    }
};

TEST_F(window_sizes_journey, EveryViewsChartGrowsWithTheWindow)
{
    run("HXM6300", [&] {
        connect_to_instrument();
        for (const s_view& v : VIEWS) {
            enter_mode(v.mode, v.control);
            sweep(v.control);
            if (v.control == LCR_SWEEP)
                lcr_at_1024_by_700();
            // The view as the first start sizes it, then with the window
            // grown: the chart takes the whole of the growth, its texts
            // readable at both sizes.
            const QSize growth(300, 200);
            for (const bool grown : {false, true}) {
                if (grown)
                    grow_main(growth);
                screenshot(std::string(v.mode) + (grown ? "_grown" : ""));
                EXPECT_EQ(unreadable_texts(v.view_class), std::vector<std::string>{}) << v.mode;
            }
            const auto [w, h] = size_of(v.view_class);
            grow_main(QSize(-growth.width(), -growth.height()));
            EXPECT_EQ(size_of(v.view_class), std::pair(w - growth.width(), h - growth.height()))
                << v.mode << "'s chart does not follow the window";
            click_id(v.control); // CLEAR
        }

        click("DATABASE");
        click_row("15100", "Sizes");
        ASSERT_TRUE(wait_for([&] { return !list_rows("15101").empty(); }));
        screenshot("database");
        click_row("15101", "Loop 1");
        click("Add Test to Selection");
        click("Graph Selected Tests");
        await_window("Graph");
        screenshot("graph");
    });
}
