#include "fra/sweep_worker.h"

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/ui_seam.h"
#include "config/config_protocol.h"
#include "config/instrument_config.h"
#include "fra/sweep_core.h"
#include "link/link.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

const char* const FRA_TEXT_NO_CONNECTION =
    "Unable to establish a connection with the instrument, sweep cancelled";
const char* const FRA_TEXT_DATALOG_QUESTION =
    "Sweeps cannot be performed while the instrument is set to Datalog\n"
    "Datalogging will be disabled before the sweep, continue?";
const char* const FRA_TEXT_WAITING = "Waiting for sweep data...";
const char* const FRA_TEXT_DOWNLOADING = "Downloading sweep data";
const char* const FRA_TEXT_CANCELLING = "Cancelling sweep";
const char* const FRA_TEXT_CONNECTION_LOST =
    "The connection to the instrument was lost, sweep cancelled.\n"
    "The previous results are kept.";
const char* const FRA_TEXT_PERFORMING = "Performing Sweep";

namespace {

constexpr int RESET_DRAIN_MS = 100;
constexpr size_t DAV_REPLY_SIZE = 33; // at most 32 characters

void post(command_target* target, int id, intptr_t lparam = 0)
{
    if (target)
        post_command(target, id, lparam);
}

void status(s_sweep_job& job, const char* text)
{
    if (job.dialog)
        post_text(job.dialog, CMD_PROGRESS_STATUS, text);
}

void sleep_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// LAN sends return 0 on success, serial sends the count written.
bool sent(const s_link& link, int rc)
{
    return link.interface == LINK_LAN ? rc == 0 : rc > 0;
}

// Steps 4 to 8: the parameters the sweep needs. False when the user
// declines to switch datalogging off.
bool prepare(s_sweep_job& job, int& n)
{
    s_link& link = *job.link;
    instrument_config& config = *job.config;
    bool go_on = true;
    try {
        *job.steps = sweep_read_int(config, link, FRA_PARAM_STEPS);
        *job.phase_convention = sweep_read_int(config, link, FRA_PARAM_PHASE_CONVENTION);
        n = job.values_per_point(link, config);
        if (sweep_read_int(config, link, FRA_PARAM_DATALOG) != 0) {
            const int answer = ui_message_box(job.message_owner, FRA_TEXT_DATALOG_QUESTION,
                                              "Error: Datalog", MB_YESNO);
            go_on = answer == IDYES;
            if (go_on) {
                config.set_int(FRA_PARAM_DATALOG, 0);
                config.write_param(FRA_PARAM_DATALOG, link);
            }
        }
    } catch (config_error) {
        *job.steps = -1;
    }
    if (*job.phase_convention < 0 || *job.phase_convention > 2)
        *job.phase_convention = 0;
    return go_on;
}

enum class start_result { started, not_started, lost };

// Step 9: the sweep's operation mode, then "start".
start_result start(s_sweep_job& job)
{
    s_link& link = *job.link;
    instrument_config& config = *job.config;
    try {
        if (sweep_read_int(config, link, FRA_PARAM_MODE) != job.mode) {
            config.set_int(FRA_PARAM_MODE, job.mode);
            config.write_param(FRA_PARAM_MODE, link);
            sleep_ms(FRA_MODE_SWITCH_WAIT_MS);
        }
    } catch (config_error) {
        return start_result::not_started;
    }
    for (int i = 0; i < job.start_count; ++i)
        if (!sent(link, link_send(link, "start\n")))
            return start_result::lost;
    return start_result::started;
}

enum class poll_result { ready, cancelled, lost };

poll_result poll_until_ready(s_sweep_job& job)
{
    s_link& link = *job.link;
    int silent = 0;
    for (;;) {
        if (!sent(link, link_send(link, "DAV?\n")))
            return poll_result::lost;
        char reply[DAV_REPLY_SIZE] = {};
        const int n = link_read_line(link, reply, sizeof reply);
        // An instrument that no longer answers at all is gone: the poll
        // would otherwise wait for it for ever.
        silent = n == LINK_READ_SILENT ? silent + 1 : 0;
        if (silent >= FRA_POLL_SILENT_LIMIT)
            return job.cancel->load() ? poll_result::cancelled : poll_result::lost;
        // A cancel that came while the last poll was answered still wins:
        // the data are then never asked for.
        if (n > 0 && (std::strtol(reply, nullptr, 10) & FRA_DAV_DATA_READY))
            return job.cancel->load() ? poll_result::cancelled : poll_result::ready;
        sleep_ms(FRA_POLL_INTERVAL_MS);
        if (job.cancel->load())
            return poll_result::cancelled;
    }
}

enum class download_result { complete, incomplete, cancelled, lost };

download_result download(s_sweep_job& job, int n)
{
    s_link& link = *job.link;
    std::atomic<int32_t>& received = *job.received;
    const int steps = *job.steps;
    const auto stopped = [&] {
        return received > 0 ? download_result::incomplete : download_result::cancelled;
    };
    received = 0;
    status(job, FRA_TEXT_DOWNLOADING);
    if (!sent(link, link_send(link, job.download_command)))
        return download_result::lost;
    post(job.dialog, CMD_PROGRESS_RANGE, steps);
    while (received < steps) {
        if (job.cancel->load())
            return stopped();
        double values[SWEEP_VALUES_MAX] = {};
        // An empty or stray line before the first point is skipped; silence
        // is not a line, and ends the download.
        const int got = link_read_values(link, values, n);
        if (got < 0 && job.cancel->load())
            return stopped();
        if (got < 0)
            return download_result::lost;
        if (got == n && !job.cancel->load()) {
            job.store_point(received.load(), values, n);
            ++received;
            post(job.dialog, CMD_PROGRESS_STEP);
        } else if (received > 0) {
            return download_result::incomplete;
        }
    }
    return download_result::complete;
}

void report(s_sweep_job& job, download_result r)
{
    switch (r) {
    case download_result::complete: post(job.notify, job.complete_id); break;
    case download_result::incomplete:
        *job.incomplete = 1;
        if (!job.cancel->load())
            ui_message_box(nullptr, fra_incomplete_text(*job.received, *job.steps), "Tarvelo2",
                           MB_OK | MB_ICONINFORMATION);
        break;
    case download_result::lost:
        if (*job.received > 0)
            *job.incomplete = 1;
        ui_message_box(nullptr, FRA_TEXT_CONNECTION_LOST, "No Connection",
                       MB_OK | MB_ICONINFORMATION);
        break;
    case download_result::cancelled: break;
    }
}

// The instrument may still be sending sweep lines after a cancel: reset it
// and let the rest drain before the closing hook talks to it.
void run_close_hook(s_sweep_job& job)
{
    if (!job.before_close)
        return;
    link_send(*job.link, "\x14");
    link_drain(*job.link, RESET_DRAIN_MS);
    try {
        job.before_close(*job.link, *job.config);
    } catch (config_error) {
    }
}

void finish(s_sweep_job& job, bool link_answers)
{
    if (link_answers)
        run_close_hook(job);
    link_close(*job.link);
    post(job.dialog, CMD_PROGRESS_FINISHED);
}

// Steps 9 to 12 once the parameters are known. False when the link is lost.
bool sweep(s_sweep_job& job, int n)
{
    const start_result started = start(job);
    status(job, FRA_TEXT_WAITING);
    if (started == start_result::not_started)
        return true;
    poll_result polled = poll_result::lost;
    if (started == start_result::started)
        polled = poll_until_ready(job);
    if (polled == poll_result::cancelled)
        return true;
    const download_result r =
        polled == poll_result::ready ? download(job, n) : download_result::lost;
    report(job, r);
    return r != download_result::lost;
}

bool valid_steps(int steps)
{
    return steps >= MIN_SWEEP_POINTS && steps <= MAX_SWEEP_POINTS;
}

s_sweep_job fra_job(FraSweepContext& ctx)
{
    s_sweep_job job = sweep_job_of(ctx);
    job.mode = FRA_OPERATING_MODE;
    job.complete_id = CMD_FRA_SWEEP_COMPLETE;
    job.values_per_point = [](s_link& link, instrument_config& config) {
        if (link.caps.channels == INSTRUMENT_THREE_CHANNELS &&
            sweep_read_int(config, link, FRA_PARAM_INPUT) != 0)
            return FRA_VALUES_MAX;
        return FRA_VALUES_USUAL;
    };
    job.store_point = [&ctx](int index, const double* values, int n) {
        s_fra_result& point = ctx.sweep.points[static_cast<size_t>(index)];
        point = s_fra_result{};
        std::copy(values, values + std::min(n, FRA_VALUES_MAX), point.v);
    };
    return job;
}

} // namespace

std::string fra_incomplete_text(int received, int steps)
{
    char text[160];
    std::snprintf(text, sizeof text,
                  "The sweep data were incomplete (%d of %d points received).\n"
                  "The previous results are kept.",
                  received, steps);
    return text;
}

void run_sweep_job(s_sweep_job& job)
{
    post(job.dialog, CMD_PROGRESS_STARTED);
    s_link& link = *job.link;
    if (link_open(link) != 0) {
        link_close(link);
        ui_message_box(nullptr, FRA_TEXT_NO_CONNECTION, "No Connection", MB_OK);
        post(job.dialog, CMD_PROGRESS_FINISHED);
        return;
    }
    link_send(link, "\x14");
    link_drain(link, RESET_DRAIN_MS);
    link_send(link, "out,on\n");
    if (job.before_prepare) {
        try {
            job.before_prepare(link, *job.config);
        } catch (config_error) {
        }
    }
    int n = 0;
    const bool go_on = prepare(job, n);
    const bool valid = go_on && valid_steps(*job.steps) && n > 0 && n <= SWEEP_VALUES_MAX;
    if (!valid) {
        status(job, FRA_TEXT_WAITING);
        finish(job, true);
        return;
    }
    finish(job, sweep(job, n));
}

void cancel_sweep_job(std::atomic<uint8_t>& cancel, command_target* dialog)
{
    cancel = 1;
    if (dialog)
        post_text(dialog, CMD_PROGRESS_STATUS, FRA_TEXT_CANCELLING);
    post(dialog, CMD_PROGRESS_FINISHED);
}

void fra_sweep_worker(FraSweepContext& ctx)
{
    s_sweep_job job = fra_job(ctx);
    run_sweep_job(job);
}

void fra_sweep_cancel(FraSweepContext& ctx)
{
    cancel_sweep_job(ctx.cancel, ctx.dialog);
}

int32_t sweep_read_int(instrument_config& config, s_link& link, int id)
{
    config.read_param(id, link, nullptr);
    int32_t v = 0;
    config.get_int(id, v);
    return v;
}
