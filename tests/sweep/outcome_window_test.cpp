// How the FRA and LCR windows end a sweep that brings no points, against a
// simulator with a fault: each ending says what happened and leaves the
// window idle (SWEEP, START, DATABASE and the menus usable), so the next
// case starts from the same window. Also the LCR window's realtime start
// with the instrument gone and its export after a repeating test.

#include "base/command_ids.h"
#include "base/control_table.h"
#include "base/ui/control_windows.h"
#include "base/ui/progress_dialog.h"
#include "db/ui/export_tests_dialog.h"
#include "db/ui/test_details_dialog.h"
#include "fra/ui/fra_window.h"
#include "lcr/lcr_realtime.h"
#include "lcr/ui/lcr_export_ui.h"
#include "lcr/ui/lcr_window.h"
#include "sweep/realtime_limits.h"
#include "sweep/sweep_core.h"
#include "tests/support/sim_window_fixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <set>

namespace {

// Answers the Test Details dialog when it opens: a single sweep (not
// stored), or a repeating test of count sweeps.
void answer_details(const char* count = nullptr)
{
    QTimer::singleShot(50, [count] {
        auto* d = qobject_cast<test_details_dialog*>(QApplication::activeModalWidget());
        if (!d) {
            answer_details(count);
            return;
        }
        if (auto* save = qobject_cast<QCheckBox*>(d->control(1005)))
            save->setChecked(false);
        if (count) {
            d->set_repeating(true);
            qobject_cast<QLineEdit*>(d->control(1064))->setText(count);
        }
        d->press_start();
    });
}

// Presses Cancel in the progress dialog as soon as it shows.
void cancel_progress()
{
    QTimer::singleShot(20, [] {
        auto* d = qobject_cast<progress_dialog*>(QApplication::activeModalWidget());
        if (!d) {
            cancel_progress();
            return;
        }
        d->cancel_button()->click();
    });
}

int quick_timer(double, command_target* target, int message, command_target*, bool)
{
    QTimer::singleShot(1500, [target, message] { post_command(target, message); });
    return 1;
}
bool quick_cancel(int)
{
    return true;
}

bool enabled(int id)
{
    return control_by_id(id)->isEnabled();
}

struct s_mode {
    const char* name;
    int row;
    int mode_command;
    int sweep;
    int start;
    const char* other_mode; // sets the instrument to the other mode
};
const s_mode FRA = {"FRA", ROW_FRA, CMD_MODE_FRA, CMD_FRA_SWEEP, CMD_FRA_START, "config,1,2\n"};
const s_mode LCR = {"LCR", ROW_LCR, CMD_MODE_LCR, CMD_LCR_SWEEP, CMD_LCR_START, "config,1,1\n"};

void register_windows()
{
    fra_register_windows();
    lcr_register_windows();
}

class SweepOutcome : public sim_window_fixture {
protected:
    void open(const s_mode& m, sim::sim_options options = loopback_options())
    {
        start_main(options, register_windows);
        post_command(main.get(), m.mode_command);
        pump();
        window = dynamic_cast<sweep_mode_window*>(main->mode_window(m.row));
        ASSERT_TRUE(window);
        window->set_timer_hooks({quick_timer, quick_cancel});
    }
    // The instrument is replaced by one with the faults, in the other mode.
    void replace_instrument(const s_mode& m, const std::vector<std::string>& faults)
    {
        server->stop();
        sim::sim_options options = loopback_options();
        std::string error;
        for (const std::string& f : faults)
            ASSERT_TRUE(sim::add_fault(options.faults, f, error)) << error;
        server = std::make_unique<sim::sim_server>(options);
        server->start();
        link_set_tcp_port(server->tcp_port());
        ASSERT_EQ(link_open(g_link), 0);
        link_send(g_link, m.other_mode);
        link_close(g_link);
    }
    void click(int id)
    {
        post_command(window, id, 0);
        pump();
    }
    void pump()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    bool top_menus_enabled() const
    {
        const QList<QAction*> menus = main->menuBar()->actions();
        return std::all_of(menus.begin(), menus.end(), [](QAction* a) { return a->isEnabled(); });
    }
    // Idle as after CLEAR: SWEEP, START, DATABASE and every menu usable.
    void expect_idle(const s_mode& m, const std::string& name)
    {
        pump();
        EXPECT_EQ(window->series().running, 0) << name;
        EXPECT_EQ(control_text(m.sweep), "SWEEP") << name;
        EXPECT_TRUE(enabled(m.sweep)) << name;
        EXPECT_TRUE(enabled(m.start)) << name;
        EXPECT_TRUE(enabled(CMD_DATABASE)) << name;
        EXPECT_TRUE(top_menus_enabled()) << name;
    }

    sweep_mode_window* window = nullptr;
};

} // namespace

TEST_F(SweepOutcome, EveryUnfinishedSweepIsToldAndLeavesTheWindowIdle)
{
    const struct {
        const char* name;
        std::vector<std::string> faults;
        bool cancel;
        std::string text;
    } cases[] = {
        {"mode switch refused", {"esr-stuck=1"}, false, SWEEP_TEXT_REFUSED},
        {"link lost at the mode", {"disconnect-on=config,1?"}, false, SWEEP_TEXT_CONNECTION_LOST},
        // The instrument still answers after the last line: the sweep is
        // incomplete, not a lost connection.
        {"bad first line", {"short-line=1"}, false, sweep_incomplete_text(99, 100)},
        {"cancelled", {}, true, SWEEP_TEXT_CANCELLED},
    };
    for (const s_mode& m : {FRA, LCR}) {
        open(m);
        for (const auto& c : cases) {
            const std::string name = std::string(m.name) + ": " + c.name;
            replace_instrument(m, c.faults);
            ui.clear();
            answer_details();
            if (c.cancel)
                cancel_progress();
            click(m.sweep);
            ASSERT_TRUE(wait_for([&] {
                return !ui.shown().empty() && ui.shown().back().text == c.text &&
                       !QApplication::activeModalWidget();
            })) << name;
            expect_idle(m, name);
        }
        TearDown();
    }
}

// From a sweep's start until CLEAR the mode greys Configure and the other
// modes' menus by name, and only those; CLEAR gives them back.
TEST_F(SweepOutcome, ASweepGreysConfigureAndTheOtherModesUntilClear)
{
    const std::pair<s_mode, std::set<std::string>> cases[] = {
        {FRA, {"Configure", "LCR", "Piezo", "Capture"}},
        {LCR, {"Configure", "FRA", "Piezo", "Capture"}},
    };
    for (const auto& [m, greyed] : cases) {
        open(m);
        answer_details();
        click(m.sweep);
        ASSERT_TRUE(wait_for([&] { return window->series().button_state == SWEEP_BUTTON_CLEAR; }))
            << m.name;
        ASSERT_TRUE(wait_for([] { return !QApplication::activeModalWidget(); })) << m.name;
        pump();
        EXPECT_EQ(greyed_menus(), greyed) << m.name;
        click(m.sweep); // CLEAR
        expect_idle(m, m.name);
        TearDown();
    }
}

// START with the instrument gone says so and returns to START; the reading
// of the last run (14 values) is not drawn under another form's labels.
TEST_F(SweepOutcome, LcrRealtimeWithTheInstrumentGone)
{
    sim::sim_options options = loopback_options();
    options.instrument.lcr_reading_values = 14;
    open(LCR, options);
    auto* lcr = static_cast<lcr_window*>(window);
    click(CMD_LCR_VIEW_REALTIME);
    click(CMD_LCR_START);
    ASSERT_TRUE(wait_for([&] { return lcr_reading_count(lcr->reading_type()) == 14; }));
    EXPECT_EQ(lcr_reading_count(lcr->reading_type()), 14);
    click(CMD_LCR_START);
    ASSERT_FALSE(lcr->realtime_running());

    server->stop();
    ui.clear();
    click(CMD_LCR_START);
    ASSERT_TRUE(wait_for([&] { return !ui.shown().empty(); }));
    pump();
    EXPECT_EQ(ui.shown().back().text, TEXT_REALTIME_FAILED);
    EXPECT_FALSE(lcr->realtime_running());
    EXPECT_EQ(control_text(CMD_LCR_START), "START");
    EXPECT_TRUE(top_menus_enabled());
    const int shown = lcr_reading_count(lcr->reading_type());
    EXPECT_TRUE(
        std::all_of(lcr->displayed(), lcr->displayed() + 14, [](double v) { return v == 0; }));
    EXPECT_EQ(shown, 11);
}

// After a completed repeating test EXPORT runs the series export: its form
// has "Remove trailing zeros" greyed.
TEST_F(SweepOutcome, LcrExportAfterARepeatingTestIsTheSeries)
{
    open(LCR);
    lcr_register_exporters();
    answer_details("2");
    click(CMD_LCR_SWEEP);
    ASSERT_TRUE(wait_for([&] { return window->series().button_state == SWEEP_BUTTON_CLEAR; }));
    ASSERT_TRUE(wait_for([] { return !QApplication::activeModalWidget(); }));
    pump();
    int zeros_enabled = -1;
    QTimer::singleShot(50, [&] {
        if (auto* d = qobject_cast<export_tests_dialog*>(QApplication::activeModalWidget())) {
            zeros_enabled = d->control(EXPORT_REMOVE_ZEROS)->isEnabled();
            d->reject();
        }
    });
    click(CMD_LCR_EXPORT);
    ASSERT_TRUE(wait_for([&] { return zeros_enabled >= 0; }, 5000));
    EXPECT_EQ(zeros_enabled, 0);
    lcr_set_export_hook(nullptr);
}
