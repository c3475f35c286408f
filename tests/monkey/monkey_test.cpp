// The GUI monkey: the whole program, started as main() starts it, against
// the simulated instrument, driven by random user actions drawn from a seed
// for a given time: clicks on what is shown and usable, keys, typed text,
// menu choices, answers to every question, and an instrument that restarts
// with other faults now and then. Run it as
//   tarvelo2-monkey SECONDS [SEED]
// (scripts/monkey builds and runs it); the watchdog ends a failed run with
// the seed and the last actions.

#include "tests/journeys/journey.h"
#include "tests/monkey/monkey_hands.h"
#include "tests/monkey/monkey_ui.h"
#include "tests/monkey/monkey_watch.h"

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <thread>

namespace {

int g_seconds = 10;
uint64_t g_seed = 1;

// How often each kind of action comes, out of the sum of the weights.
struct s_action_weight {
    monkey_action action;
    int weight;
};
constexpr s_action_weight action_weights[] = {
    {monkey_action::click, 40},     {monkey_action::type, 14},   {monkey_action::key, 14},
    {monkey_action::menu, 14},      {monkey_action::connect, 3}, {monkey_action::sweep, 3},
    {monkey_action::instrument, 3}, {monkey_action::pause, 5},
};

// The instrument's faults, one drawn at a time, with the largest value drawn
// for those that take one. Every exchange waits behind a progress dialog on
// a worker, so a silent instrument and replies seconds late keep the window
// turning.
struct s_fault_form {
    const char* form;
    int largest;
};
constexpr s_fault_form fault_forms[] = {
    {"drop-after=%d", 400},
    {"stray-line", 0},
    {"short-line=%d", 400},
    {"garbage=%d", 400},
    {"esr-stuck=1", 0},
    {"late-reply=%d", 3000},
    {"silent", 0},
    {"bad-reading=%d", 400},
    {"disconnect-on=start", 0},
    {"disconnect-on=DAV?", 0},
    {"disconnect-on=config,1?", 0},
    {"disconnect-on=*IDN?", 0},
    {"disconnect-on=SCREEN?", 0},
    {"screen-drop-after=%d", 400},
    {"screen-short-row=%d", 400},
    {"screen-bad-row=%d", 400},
};

class monkey : public journey {
protected:
    void steps();

private:
    size_t pick(size_t n) { return n ? rng_() % n : 0; }
    monkey_action draw_action();
    void do_action(monkey_action action);
    void switch_instrument();
    void check_databases();
    void close_dialogs();

    std::mt19937_64 rng_{g_seed};
    std::unique_ptr<monkey_hands> hands_;
    int restarts_ = 0;
};

monkey_action monkey::draw_action()
{
    int total = 0;
    for (const s_action_weight& w : action_weights)
        total += w.weight;
    int at = static_cast<int>(pick(static_cast<size_t>(total)));
    for (const s_action_weight& w : action_weights) {
        if (at < w.weight)
            return w.action;
        at -= w.weight;
    }
    return monkey_action::pause;
}

void monkey::switch_instrument()
{
    const char* model = pick(2) ? "HXM4100" : "HXM6300";
    if (pick(5) == 0) {
        watch_action("instrument switched off");
        stop_instrument();
        return;
    }
    std::vector<std::string> options;
    std::string named;
    for (size_t n = pick(3); n > 0; --n) {
        char fault[64];
        const s_fault_form& f = fault_forms[pick(std::size(fault_forms))];
        std::snprintf(fault, sizeof fault, f.form, 1 + static_cast<int>(pick(f.largest)));
        options.insert(options.end(), {"--fault", fault});
        named += std::string(" ") + fault;
    }
    watch_action(std::string("instrument restarted: ") + model +
                 (named.empty() ? " (no faults)" : named));
    restart_instrument(model, options);
    ++restarts_;
}

void monkey::do_action(monkey_action action)
{
    switch (action) {
    case monkey_action::instrument: switch_instrument(); break;
    case monkey_action::pause: {
        const int ms = 100 + static_cast<int>(pick(1400));
        watch_action("wait " + std::to_string(ms) + " ms");
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        break;
    }
    default: hands_->act(action, rng_()); settle();
    }
}

void monkey::check_databases()
{
    const std::string problem = watch_check_databases(dir().str());
    if (!problem.empty())
        watch_fail("a database fails its integrity check: " + problem);
}

// The run ends as a user ends it: every dialog left with Escape.
void monkey::close_dialogs()
{
    for (int tries = 0; tries < 100; ++tries) {
        bool open = false;
        look([&] { open = monkey_dialog_open(); });
        if (!open)
            return;
        hands_->dismiss_dialog();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    watch_fail("a dialog stays open after 100 times Escape");
}

void monkey::steps()
{
    look([] { monkey_desktop::take_reports(); });
    hands_ = std::make_unique<monkey_hands>(dir().str(),
                                            [this](const std::function<void()>& f) { act(f); });
    watch_start_heartbeat();
    watch_exchanges(); // the monkey acts while an exchange waits, Cancel too
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(g_seconds);
    auto next_check = start + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < end) {
        do_action(draw_action());
        if (std::chrono::steady_clock::now() > next_check) {
            check_databases();
            next_check = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        }
    }
    close_dialogs();
    watch_stop_heartbeat();
    check_databases();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const uint64_t actions = watch_actions();
    std::printf("monkey: seed %llu, %llu actions in %.0f s (%.1f actions/s), %d instrument "
                "restarts, databases intact, no crash, no block: ok\n",
                static_cast<unsigned long long>(g_seed), static_cast<unsigned long long>(actions),
                seconds, actions / seconds, restarts_);
}

} // namespace

TEST_F(monkey, RandomUserActions)
{
    monkey_ui ui(g_seed + 1, dir().str());
    ui_set_backend(&ui);
    monkey_desktop desktop;
    QTimer heartbeat;
    heartbeat.callOnTimeout(watch_beat);
    heartbeat.start(100);
    watch_begin(g_seed, g_seconds, dir().str());
    // A relative path typed into a field (a port name, a file name) stays
    // inside the test folder.
    std::filesystem::current_path(dir().str());
    run(g_seed % 2 ? "HXM6300" : "HXM4100", [this] { steps(); });
    ui_set_backend(&test_ui());
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2 || argc > 3 || std::atoi(argv[1]) <= 0) {
        std::fprintf(stderr, "usage: %s SECONDS [SEED]\n", argv[0]);
        return 2;
    }
    g_seconds = std::atoi(argv[1]);
    g_seed = argc == 3 ? std::strtoull(argv[2], nullptr, 10) : std::random_device{}();
    std::printf("monkey: %d s, seed %llu\n", g_seconds, static_cast<unsigned long long>(g_seed));
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Whatever the program browses on its own starts in a home of the run's.
    char home[] = "/tmp/tarvelo_monkey_home_XXXXXX";
    if (!mkdtemp(home))
        return 1;
    setenv("HOME", home, 1);
    setenv("XDG_CONFIG_HOME", home, 1);
    const int rc = RUN_ALL_TESTS();
    std::filesystem::remove_all(home);
    return rc;
}
