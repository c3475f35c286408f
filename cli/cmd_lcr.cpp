// lcr-sweep, lcr-realtime and piezo-analyse: LCR sweeps (single or
// repeating) printed as the LCR list holds them, realtime LCR readings, and
// the resonator analysis of one piezo sweep or of an imported sweep file.
// Exit status: 0 done, 1 a sweep did not complete, its sweep file could not
// be written, realtime readings were refused or the analysis refused the
// sweep, 2 usage, 3 not identified, 4 the limit set could not be used, 5 a
// sweep was measured outside its limits.

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/number_format.h"
#include "base/ui_seam.h"
#include "cli/cli.h"
#include "cli/identified_model.h"
#include "cli/limits_option.h"
#include "config/config_current.h"
#include "lcr/lcr_complete.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_limits.h"
#include "lcr/lcr_realtime.h"
#include "lcr/lcr_sweep.h"
#include "lcr/piezo_analysis.h"
#include "lcr/piezo_import.h"
#include "link/link.h"
#include "sweep/sweep_core.h"
#include "sweep/sweep_series.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>

namespace {

constexpr int SWEEP_FAILED = 1;
constexpr int NOT_IDENTIFIED = 3;
constexpr int LOOP_SLEEP_MS = 10;

void print_tabbed(const std::vector<std::string>& cells)
{
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i)
        line += (i ? "\t" : "") + cells[i];
    std::printf("%s\n", line.c_str());
}

void arm(LcrSweepContext& ctx, command_target* window)
{
    ctx.link = &g_link;
    ctx.config = &config_current();
    ctx.notify = window;
    ctx.owner = window;
}

// Drives sweeps as the LCR window does: 32800 starts one (from the command
// line first, then from the series timer), 185 completes it.
class lcr_runner : public command_target {
public:
    lcr_runner(s_sweep_series& series, std::string data_folder, const limit_set* limits)
        : series_(series), data_folder_(std::move(data_folder)), limits_(limits)
    {
        arm(*ctx_, this);
    }

    void on_command(int id, intptr_t lparam) override
    {
        if (id == CMD_START_SWEEP)
            start();
        else if (id == CMD_LCR_SWEEP_COMPLETE)
            complete();
        else if (id == CMD_SWEEP_ENDED)
            ended(static_cast<sweep_outcome>(lparam));
    }
    bool done() const { return failed_ || series_.running == 0; }
    bool failed() const { return failed_; }
    bool outside_limits() const { return outside_; }

private:
    void start()
    {
        sweep_series_before_sweep(series_, this, CMD_START_SWEEP, nullptr,
                                  sweep_default_timer_hooks());
        if (completion_queued_)
            return;
        lcr_context_arm_sweep(*ctx_);
        lcr_sweep_worker(*ctx_);
        // A complete sweep has queued its 185, any other its ending.
        completion_queued_ = true;
    }

    // The sweep has told what went wrong, save a cancel; either ends the run.
    void ended(sweep_outcome outcome)
    {
        completion_queued_ = false;
        if (outcome == sweep_outcome::cancelled)
            ui_message_box(nullptr, SWEEP_TEXT_CANCELLED, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        failed_ = true;
        sweep_series_cancel_timer(series_, sweep_default_timer_hooks());
    }

    void complete()
    {
        completion_queued_ = false;
        const s_lcr_outcome out = lcr_complete_sweep(*ctx_, *results_, data_folder_,
                                                     series_.sweeps_done + 1, std::time(nullptr));
        print_tabbed(lcr_list_headings(results_->layout));
        for (const std::string& row : out.rows)
            std::printf("%s\n", row.c_str());
        std::fflush(stdout);
        if (limits_ && !cli_tell_verdict(lcr_judge(*results_, *limits_)))
            outside_ = true;
        if (!out.file_written) {
            // Without its file the sweep is lost to every later export.
            ui_message_box(nullptr, lcr_file_failure_text(out), "Tarvelo2",
                           MB_OK | MB_ICONINFORMATION);
            failed_ = true;
            sweep_series_cancel_timer(series_, sweep_default_timer_hooks());
            return;
        }
        sweep_series_after_sweep(series_, sweep_default_timer_hooks());
        if (series_.repeating)
            std::fprintf(stderr, "Sweep No: %s\n", sweep_series_progress_text(series_).c_str());
    }

    s_sweep_series& series_;
    std::string data_folder_;
    const limit_set* limits_;
    bool failed_ = false;
    bool outside_ = false;
    bool completion_queued_ = false;
    std::unique_ptr<LcrSweepContext> ctx_ = std::make_unique<LcrSweepContext>();
    std::unique_ptr<LcrResults> results_ = std::make_unique<LcrResults>();
};

// Runs the posted commands until done() says so.
template <class Done> void pump(scripted_dispatcher& dispatcher, Done done)
{
    while (!done()) {
        if (dispatcher.run_pending() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(LOOP_SLEEP_MS));
    }
    dispatcher.run_pending();
}

int run_sweep(const cli_args& args)
{
    const long repeat = args.get_long("--repeat", 1);
    const long interval = args.get_long("--interval-ms", 0);
    if (repeat < 1 || repeat > 99 || (repeat > 1 && interval <= 0)) {
        cli_say("--repeat needs 1..99 and a positive --interval-ms");
        return CLI_USAGE;
    }
    std::optional<limit_set> limits;
    if (!cli_read_limits(args, limits))
        return CLI_LIMITS_REFUSED;
    if (!cli_identified_model())
        return NOT_IDENTIFIED;
    s_sweep_series series;
    series.running = 2;
    series.repeating = repeat > 1;
    series.sweeps_total = series.repeating ? static_cast<int>(repeat) : 0;
    series.interval_ms = static_cast<uint64_t>(interval);
    lcr_runner runner(series, args.get("--data", "."), limits ? &*limits : nullptr);
    scripted_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    post_command(&runner, CMD_START_SWEEP);
    pump(dispatcher, [&] { return runner.done(); });
    set_command_dispatcher(nullptr);
    return runner.failed() ? SWEEP_FAILED : runner.outside_limits() ? CLI_OUTSIDE_LIMITS : 0;
}

class realtime_reader : public command_target {
public:
    explicit realtime_reader(long count) : wanted_(count) { arm(ctx, this); }
    void on_command(int id, intptr_t) override
    {
        if (id == CMD_LCR_REALTIME_FAILED)
            ui_message_box(nullptr, TEXT_REALTIME_FAILED, "Tarvelo2", MB_OK);
        if (id != CMD_LCR_REALTIME_READY)
            return;
        lcr_realtime_accept(ctx, shown_);
        const int type = ctx.reading_type;
        std::vector<std::string> cells;
        for (int i = 0; i < lcr_reading_count(type); ++i)
            cells.push_back(lcr_reading_plain_text(type, i, shown_[i]));
        print_tabbed(cells);
        std::fflush(stdout);
        ++taken_;
    }
    bool done() const { return taken_ >= wanted_; }
    LcrSweepContext ctx;

private:
    long wanted_;
    long taken_ = 0;
    double shown_[LCR_READING_VALUES_MAX] = {};
};

int run_realtime(const cli_args& args)
{
    const long count = args.get_long("--count", 1);
    if (count < 1) {
        cli_say("--count needs a positive number");
        return CLI_USAGE;
    }
    if (!cli_identified_model())
        return NOT_IDENTIFIED;
    if (!g_link.caps.lcr_realtime) {
        ui_message_box(nullptr, TEXT_LCR_REALTIME_UNSUPPORTED, "Tarvelo2",
                       MB_OK | MB_ICONINFORMATION);
        return SWEEP_FAILED;
    }
    scripted_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    realtime_reader reader(count);
    reader.ctx.request = 1;
    std::atomic<int> running{1};
    std::atomic<bool> ended{false};
    std::thread worker([&] {
        lcr_realtime_thread(reader.ctx, running);
        ended = true;
    });
    pump(dispatcher, [&] { return reader.done() || (ended && dispatcher.pending() == 0); });
    running = 0;
    worker.join();
    set_command_dispatcher(nullptr);
    return reader.done() ? 0 : SWEEP_FAILED;
}

// The four boxes, then the extremes as the report words them.
int print_analysis(const LcrResults& results)
{
    const s_piezo_analysis a = piezo_analyse(results);
    if (!a.values) {
        ui_message_box(nullptr, a.refusal, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return SWEEP_FAILED;
    }
    const s_piezo_values& v = *a.values;
    const std::pair<const char*, double> boxes[] = {
        {"L", v.l}, {"R", v.r}, {"C", v.c}, {"Cp", v.cp}};
    for (const auto& [name, value] : boxes)
        std::printf("%s\t%s\n", name, format_engineering(value).c_str());
    // The report's measured values under its labels (its resonances are
    // angular frequencies), then the resonances in Hz.
    const std::pair<const char*, double> extremes[] = {
        {"Minimum Impedance", v.zmin},
        {"Maximum Impedance", v.zmax},
        {"Anti Resonant (rad/s)", piezo_angular(v.fa)},
        {"Resonant (rad/s)", piezo_angular(v.fr)},
        {"Anti Resonant Frequency (Hz)", v.fa},
        {"Resonant Frequency (Hz)", v.fr}};
    for (const auto& [name, value] : extremes)
        std::printf("%s\t%s\n", name, piezo_format_e(value).c_str());
    return 0;
}

class piezo_notice : public command_target {
public:
    void on_command(int id, intptr_t) override { completed += id == CMD_LCR_SWEEP_COMPLETE; }
    int completed = 0;
};

int run_piezo(const cli_args& args)
{
    auto results = std::make_unique<LcrResults>();
    if (args.has("--import")) {
        std::string message;
        const s_piezo_import got = piezo_import_file(args.get("--import"), *results, message);
        if (!message.empty())
            ui_message_box(nullptr, message, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return got.points > 0 ? print_analysis(*results) : SWEEP_FAILED;
    }
    if (!cli_identified_model())
        return NOT_IDENTIFIED;
    scripted_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    piezo_notice notice;
    auto ctx = std::make_unique<PiezoSweepContext>();
    arm(*ctx, &notice);
    lcr_context_arm_sweep(*ctx);
    piezo_sweep_worker(*ctx);
    dispatcher.run_pending();
    set_command_dispatcher(nullptr);
    if (notice.completed == 0)
        return SWEEP_FAILED;
    *results = ctx->sweep;
    return print_analysis(*results);
}

const cli_registrar
    sweep_cmd({"lcr-sweep", "lcr-sweep [--repeat N --interval-ms M] [--data DIR] [--limits FILE]",
               run_sweep});
const cli_registrar realtime_cmd({"lcr-realtime", "lcr-realtime --count N", run_realtime});
// --repeat, --interval-ms, --data and --count are declared with the FRA commands.
const cli_option_registrar lcr_options({"--import"});
const cli_registrar piezo_cmd({"piezo-analyse", "piezo-analyse [--import FILE]", run_piezo});

} // namespace
