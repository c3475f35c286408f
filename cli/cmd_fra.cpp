// fra-sweep, fra-margins and fra-realtime: frequency response sweeps, the
// margins of the last sweep (or of a sweep file) and realtime readings of
// the identified instrument.
// Exit status: 0 done, 1 a sweep did not complete, 2 usage, 3 not
// identified, 4 the database, the sweep file or the limit set could not be
// used, 5 a sweep was measured outside its limits.

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/ui_seam.h"
#include "cli/cli.h"
#include "cli/fra_sweep_once.h"
#include "cli/identified_model.h"
#include "cli/limits_option.h"
#include "config/config_current.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_error.h"
#include "db/sweep_file.h"
#include "fra/margins.h"
#include "fra/realtime.h"
#include "fra/sweep_complete.h"
#include "fra/sweep_worker.h"
#include "link/link.h"
#include "sweep/sweep_core.h"
#include "sweep/sweep_series.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

namespace {

constexpr int SWEEP_FAILED = 1;
constexpr int NOT_IDENTIFIED = 3;
constexpr int CANNOT_STORE = 4;
constexpr int LOOP_SLEEP_MS = 10;

// Drives sweeps as the FRA window does: command 32800 starts one (from the
// command line first, then from the series timer), command 130 completes it.
class sweep_runner : public command_target {
public:
    sweep_runner(s_sweep_series& series, std::string data_folder, bool print,
                 const limit_set* limits = nullptr)
        : series_(series), data_folder_(std::move(data_folder)), print_(print), limits_(limits)
    {
        ctx_.link = &g_link;
        ctx_.config = &config_current();
        ctx_.notify = this;
        ctx_.owner = this;
    }

    void on_command(int id, intptr_t lparam) override
    {
        if (id == CMD_START_SWEEP)
            start();
        else if (id == CMD_FRA_SWEEP_COMPLETE)
            complete();
        else if (id == CMD_SWEEP_ENDED)
            ended(static_cast<sweep_outcome>(lparam));
    }

    bool done() const { return failed_ || series_.running == 0; }
    bool failed() const { return failed_; }
    bool outside_limits() const { return outside_; }
    const FraResults& results() const { return results_; }

private:
    void start()
    {
        sweep_series_before_sweep(series_, this, CMD_START_SWEEP, nullptr,
                                  sweep_default_timer_hooks());
        // A timer that fired while the last sweep ran finds that sweep's
        // completion still queued: as with the window's open sweep dialog,
        // only the series bookkeeping happens, and its points stay intact.
        if (completion_queued_)
            return;
        fra_context_arm_sweep(ctx_);
        fra_sweep_worker(ctx_);
        // A complete sweep has queued its 130, any other its ending.
        completion_queued_ = true;
    }

    // The sweep has told what went wrong, save a cancel; either ends the run.
    void ended(sweep_outcome outcome)
    {
        completion_queued_ = false;
        if (outcome == sweep_outcome::cancelled)
            ui_message_box(nullptr, SWEEP_TEXT_CANCELLED, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        fail();
    }

    void fail()
    {
        failed_ = true;
        sweep_series_cancel_timer(series_, sweep_default_timer_hooks());
    }

    void complete()
    {
        completion_queued_ = false;
        s_sweep_store store{data_folder_, series_.sweeps_done + 1,
                            series_.save_to_db ? &series_.test : nullptr, std::time(nullptr),
                            limits_};
        const s_sweep_outcome out = fra_complete_sweep(ctx_, results_, store);
        if (print_)
            for (const std::string& row : out.rows)
                std::printf("%s\n", row.c_str());
        std::fflush(stdout);
        if (out.verdict && !cli_tell_verdict(*out.verdict))
            outside_ = true;
        if (store.test && !out.stored) {
            db_report_sweep_kept(out.file); // where the sweep waits for a later import
            fail();
            return;
        }
        if (!out.file_written) {
            // Without its file the sweep is lost to every later export.
            const std::string path = sweep_file_path(data_folder_, store.sweep_number);
            ui_message_box(nullptr, sweep_file_failure_text(path), "Tarvelo2",
                           MB_OK | MB_ICONINFORMATION);
            fail();
            return;
        }
        sweep_series_after_sweep(series_, sweep_default_timer_hooks());
        if (series_.repeating)
            std::fprintf(stderr, "Sweep No: %s\n", sweep_series_progress_text(series_).c_str());
    }

    s_sweep_series& series_;
    std::string data_folder_;
    bool print_;
    const limit_set* limits_;
    bool failed_ = false;
    bool outside_ = false;
    bool completion_queued_ = false;
    FraSweepContext ctx_;
    FraResults results_;
};

int run_series(sweep_runner& runner)
{
    scripted_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    post_command(&runner, CMD_START_SWEEP);
    while (!runner.done()) {
        if (dispatcher.run_pending() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(LOOP_SLEEP_MS));
    }
    dispatcher.run_pending();
    set_command_dispatcher(nullptr);
    return runner.failed() ? SWEEP_FAILED : runner.outside_limits() ? CLI_OUTSIDE_LIMITS : 0;
}

// The database test the sweeps are stored as, as the Test Details dialog
// prepares it. Returns 0, or the exit status.
int prepare_test(const cli_args& args, s_sweep_series& series)
{
    if (!args.has("--db"))
        return 0;
    bool is_new = false;
    if (!db_open(args.get("--db"), DB_OPEN_OR_CREATE, &is_new)) {
        cli_say("cannot open the database %s", args.get("--db").c_str());
        return CANNOT_STORE;
    }
    const int64_t session = db_find_session_by_name(args.get("--session"));
    const char* missing = session < 0                     ? "You need to select a session"
                          : args.get("--test").empty()    ? "You need to give this test a title"
                          : args.get("--winding").empty() ? "You need to enter a winding"
                                                          : nullptr;
    if (missing) {
        cli_say("%s", missing);
        return CLI_USAGE;
    }
    series.save_to_db = true;
    series.test.SessionNo = session;
    series.test.Name = args.get("--test");
    series.test.Winding = args.get("--winding");
    series.test.TestDescription = args.get("--description");
    return 0;
}

int prepare_series(const cli_args& args, s_sweep_series& series)
{
    const long repeat = args.get_long("--repeat", 1);
    const long interval = args.get_long("--interval-ms", 0);
    if (repeat < 1 || repeat > 99 || (repeat > 1 && interval <= 0)) {
        cli_say("--repeat needs 1..99 and a positive --interval-ms");
        return CLI_USAGE;
    }
    series.running = 1;
    series.repeating = repeat > 1;
    series.sweeps_total = series.repeating ? static_cast<int>(repeat) : 0;
    series.interval_ms = static_cast<uint64_t>(interval);
    return prepare_test(args, series);
}

int run_sweep(const cli_args& args)
{
    std::optional<limit_set> limits;
    if (!cli_read_limits(args, limits))
        return CLI_LIMITS_REFUSED;
    s_sweep_series series;
    if (int rc = prepare_series(args, series))
        return rc;
    if (!cli_identified_model())
        return NOT_IDENTIFIED;
    sweep_runner runner(series, args.get("--data", "."), true, limits ? &*limits : nullptr);
    const int rc = run_series(runner);
    db_close();
    return rc;
}

int margins_of(const FraResults& results)
{
    LList<s_gain_phase_point> zero_db =
        margin_search(results.points.data(), results.count, margin_kind::zero_db);
    LList<s_gain_phase_point> zero_phase =
        margin_search(results.points.data(), results.count, margin_kind::zero_phase);
    std::printf("%s\n", margin_report(zero_db, margin_kind::zero_db).c_str());
    std::printf("%s\n", margin_report(zero_phase, margin_kind::zero_phase).c_str());
    std::printf("%s\n", margin_summary(zero_db, zero_phase).c_str());
    return 0;
}

} // namespace

int cli_fra_sweep_once(const std::string& data_folder, FraResults& results)
{
    s_sweep_series series;
    series.running = 1;
    sweep_runner runner(series, data_folder, false);
    if (const int rc = run_series(runner))
        return rc;
    results = runner.results();
    return 0;
}

sweep_file_use cli_results_from_sweep_file(const std::string& path, FraResults& results)
{
    sweep_file_contents contents;
    if (sweep_file_read(path, contents) != sweep_file_status::ok) {
        cli_say("cannot read the sweep file %s", path.c_str());
        return sweep_file_use::unreadable;
    }
    if (contents.rows.empty()) {
        cli_say("The sweep file %s holds no sweep points", path.c_str());
        return sweep_file_use::no_points;
    }
    if (contents.rows.size() > MAX_SWEEP_POINTS)
        cli_say("The file %s holds more than %d sweep points; the first %d were read.",
                path.c_str(), MAX_SWEEP_POINTS, MAX_SWEEP_POINTS);
    results.clear();
    for (const std::vector<double>& row : contents.rows) {
        if (results.count >= MAX_SWEEP_POINTS)
            break;
        s_fra_result& p = results.points[static_cast<size_t>(results.count++)];
        for (size_t i = 1; i < row.size() && i <= FRA_VALUES_USUAL; ++i)
            p.v[i - 1] = row[i];
    }
    return sweep_file_use::ok;
}

namespace {

int run_margins(const cli_args& args)
{
    FraResults results;
    if (args.has("--from-sweep-file"))
        return cli_results_from_sweep_file(args.get("--from-sweep-file"), results) ==
                       sweep_file_use::ok
                   ? margins_of(results)
                   : CANNOT_STORE;
    if (!cli_identified_model())
        return NOT_IDENTIFIED;
    if (const int rc = cli_fra_sweep_once(args.get("--data", "."), results))
        return rc;
    return margins_of(results);
}

// Takes the readings of the realtime thread as the FRA window does.
class realtime_reader : public command_target {
public:
    explicit realtime_reader(long count) : wanted_(count) {}
    void on_command(int id, intptr_t) override
    {
        if (id == CMD_FRA_REALTIME_FAILED)
            ui_message_box(nullptr, TEXT_REALTIME_FAILED, "Tarvelo2", MB_OK);
        if (id != CMD_FRA_REALTIME_READY)
            return;
        fra_realtime_accept(ctx, shown_);
        std::string line;
        for (int i = 0; i < fra_tile_count(g_link.caps); ++i)
            line += (i ? "\t" : "") + fra_tile_value(i, shown_.v[i]);
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
        ++taken_;
    }
    bool done() const { return taken_ >= wanted_; }
    FraSweepContext ctx;

private:
    long wanted_;
    long taken_ = 0;
    s_fra_result shown_;
};

int run_realtime(const cli_args& args)
{
    const long count = args.get_long("--count", 1);
    if (count < 1) {
        cli_say("--count needs a positive number");
        return CLI_USAGE;
    }
    instrument_config* config = cli_identified_model();
    if (!config)
        return NOT_IDENTIFIED;
    // The three-channel model's reading carries ten values when its third
    // input is measured.
    if (g_link.caps.channels == INSTRUMENT_THREE_CHANNELS &&
        !cli_read_settings(*config, {FRA_PARAM_INPUT}))
        return SWEEP_FAILED;
    scripted_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    realtime_reader reader(count);
    reader.ctx.link = &g_link;
    reader.ctx.config = &config_current();
    reader.ctx.notify = &reader;
    reader.ctx.request = 1;
    std::atomic<int> running{1};
    std::atomic<bool> ended{false};
    std::thread worker([&] {
        fra_realtime_thread(reader.ctx, running);
        ended = true;
    });
    while (!reader.done() && !(ended && dispatcher.pending() == 0)) {
        if (dispatcher.run_pending() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(LOOP_SLEEP_MS));
    }
    running = 0;
    worker.join();
    set_command_dispatcher(nullptr);
    return reader.done() ? 0 : SWEEP_FAILED;
}

const cli_registrar sweep_cmd({"fra-sweep",
                               "fra-sweep [--repeat N --interval-ms M] [--data DIR] [--db FILE "
                               "--session NAME --test NAME --winding TEXT] [--limits FILE]",
                               run_sweep});
const cli_registrar margins_cmd({"fra-margins", "fra-margins [--from-sweep-file FILE] [--data DIR]",
                                 run_margins});
const cli_registrar realtime_cmd({"fra-realtime", "fra-realtime --count N", run_realtime});
const cli_option_registrar fra_options({"--db", "--session", "--test", "--winding", "--description",
                                        "--repeat", "--interval-ms", "--data", "--from-sweep-file",
                                        "--count"});

} // namespace
