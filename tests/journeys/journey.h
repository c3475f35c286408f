#pragma once
// Journeys: the whole program, started as main() starts it, against the
// simulated instrument (a child process on a free loopback port), driven
// only as a user drives it: clicks on visible, enabled controls found by
// their text, tool tip or control id, menu paths, typed text and keys.
// Message boxes and file choosers go through the scripted seam, which
// records what they showed. A journey reads what a user sees and what is
// left behind, and ends with screenshots under the build folder.
//
// The journey's steps run on a thread of their own; every look at a widget
// and every action is carried to the window thread, so a step that opens a
// modal dialog leaves the next step free to act inside it.

#include "base/ui_seam.h"
#include "graph/ui/chart_parts.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/sim_process.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class QWidget;
class main_window;
class live_boxes;
class loop_probe;

class journey : public ::testing::Test {
public:
    // Every shown widget a user can reach now: the open modal dialog's, or
    // else every shown window's (window thread only).
    static std::vector<QWidget*> reachable();

protected:
    journey();
    ~journey() override;

    // Starts the simulator of the model ("HXM4100", "HXM6300") with the
    // extra options, the program over a fresh data folder whose settings
    // preselect the simulator, and runs the steps; returns when they end.
    void run(const std::string& model, const std::function<void()>& steps,
             std::vector<std::string> sim_options = {});

    // What a user does. Each fails the journey (and ends it) when the control
    // is not there, hidden or greyed.
    void click(const std::string& text_or_tip);
    void click_id(int control_id);
    // A menu path in the main window, or in the shown window of that title.
    void menu(const std::vector<std::string>& path, const std::string& window_title = "");
    // The row of the list (text or control id) whose first column reads row.
    void click_row(const std::string& list, const std::string& row);
    void click_field(const std::string& label);
    void type(const std::string& text);
    void key(int qt_key, int modifiers = 0);
    // Opens the drop-down list beside the label and clicks its item.
    void choose(const std::string& label, const std::string& item);

    // What a user sees. Controls are found as click() finds them, but may be
    // greyed; "" when there is none.
    bool enabled(const std::string& text_or_tip);
    bool shown(const std::string& text_or_tip);
    bool checked(const std::string& text_or_tip);
    std::string field_text(const std::string& label);
    std::vector<std::string> list_rows(const std::string& list);               // first column
    std::vector<std::vector<std::string>> list_cells(const std::string& list); // every column
    // A click on the header of the list's column of that title, and the
    // column the list shows its sort arrow on ("Test Name descending"; ""
    // without an arrow).
    void click_header(const std::string& list, const std::string& column);
    std::string sorted_by(const std::string& list);
    // The shown lists that show a horizontal scroll bar (by control id).
    std::vector<std::string> lists_scrolling_sideways();
    // The text a shown label or button (found as click() finds it) reads.
    std::string text_of(const std::string& text_or_tip);
    // The texts charts paint while the action runs (their boxes, colours).
    std::vector<s_chart_text> painted_during(const std::function<void()>& action);
    // Why texts of the shown window of that class name cannot be read (the
    // chart check: contrast, inside the picture, clear of each other).
    std::vector<std::string> unreadable_texts(const std::string& class_name);
    // The size of the shown window of that class name.
    std::pair<int, int> size_of(const std::string& class_name);
    // The texts one paint of that window shows.
    std::vector<s_chart_text> painted_texts(const std::string& class_name);
    // Waits until the modal dialog of that title is open ("": until none is);
    // the journey fails and ends when it does not open.
    void await_dialog(const std::string& title);
    // The title of the open modal dialog; "" when none is open.
    std::string modal_title();
    std::vector<ui_shown_box> boxes() const;
    // From here on message boxes open as the program shows them, to be
    // looked at and answered with clicks; boxes() lists each from the moment
    // it opens (its answer 0 until it is answered). File choosers stay
    // scripted.
    void show_boxes_live();

    // Steps many journeys share: the connection to the simulator through
    // Configure > Connection..., and the Add Session dialog filled in (it is
    // open, its first field focused).
    void connect_to_instrument();
    void fill_new_session(const std::string& contract);
    // A label of the main window's status bar: status_instrument,
    // status_database or status_outcome.
    std::string status(const char* name);
    // The main window's title.
    std::string main_title();
    // The FRA window's SWEEP, and its Test Details dialog filled in: the
    // sweep saved to the database as test (with its winding) of a new
    // session, made through New Session. Returns with the dialog open.
    void fill_sweep_details(const std::string& session, const std::string& test,
                            const std::string& winding = "W1");

    // Waits (up to ms) until cond, which may look as the steps look, holds.
    bool wait_for(const std::function<bool()>& cond, int ms = 15000);
    // Waits until a window of that title is shown (modal or not), or ends.
    void await_window(const std::string& title);
    // Lets everything the last action posted run.
    void settle();
    // From here on a step returns while the instrument exchange it started
    // still runs (its progress dialog open); by default, and again after
    // watch_exchanges(false), it waits for its end.
    void watch_exchanges(bool watch = true);
    // The program's timers run factor times as fast: a repeating test's
    // minutes between sweeps pass in seconds.
    void timers_faster(int factor);

    // Every window on screen to PNG: <build>/journeys/<test>/<step>.png.
    void screenshot(const std::string& step);
    // Page page of a PDF the journey wrote, as a picture beside its
    // screenshots: <build>/journeys/<test>/<step>.png.
    void page_picture(const std::string& pdf, int page, const std::string& step);

    // The lines the instrument received, in order, from its transcript.
    std::vector<std::string> instrument_received() const;
    // The whole transcript: lines received ("> "), sent ("< ") and the
    // simulator's notes ("* connected", "* closed", ...).
    std::vector<std::string> instrument_log() const;

    // The journey's own folder (data folder, database, transcript).
    const temp_folder& dir() const { return dir_; }
    // The watch on the window thread's event loop while the steps run
    // (window thread only). run() prints its longest gap, one line
    // "event-loop gap<TAB><suite.test><TAB><ms>", and fails the journey when
    // the window stood still over a second.
    loop_probe& probe() { return *probe_; }
    // Watches the window thread for a second from now; its longest stretch
    // away from the event loop in that second.
    int64_t longest_gap_in_a_second();

    // For steps that choose their own actions: a look carried to the window
    // thread and waited for; an action posted there and let run.
    void look(const std::function<void()>& f);
    void act(const std::function<void()>& f);
    // The instrument started again with other options (on another port), or
    // stopped (switched off: its connection ends and nothing answers).
    void restart_instrument(const std::string& model, const std::vector<std::string>& options);
    void stop_instrument();

private:
    QWidget* find_control(const std::string& text_or_tip, bool must_be_usable);
    QWidget* find_field(const std::string& label);
    QWidget* find_named(const std::string& class_name);
    void stop(const std::string& why);
    void await_window_free();
    void start_instrument(const std::string& model, const std::vector<std::string>& options);

    temp_folder dir_;
    std::unique_ptr<sim_process> sim_;
    std::unique_ptr<main_window> window_;
    std::unique_ptr<live_boxes> live_;
    std::unique_ptr<loop_probe> probe_;
    bool watch_exchanges_ = false;
};

// Ends the steps of a journey after a failed action.
struct journey_stopped {};
