#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/ui_seam.h"
#include "config/config_protocol.h"
#include "config/instrument_config.h"
#include "link/link.h"
#include "sweep/sweep_core.h"
#include "sweep/sweep_points.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

const char* const SWEEP_TEXT_NO_CONNECTION =
    "Unable to establish a connection with the instrument, sweep cancelled";
const char* const SWEEP_TEXT_DATALOG_QUESTION =
    "Sweeps cannot be performed while the instrument is set to Datalog\n"
    "Datalogging will be disabled before the sweep, continue?";
const char* const SWEEP_TEXT_WAITING = "Waiting for sweep data...";
const char* const SWEEP_TEXT_DOWNLOADING = "Downloading sweep data";
const char* const SWEEP_TEXT_CANCELLING = "Cancelling sweep";
const char* const SWEEP_TEXT_CONNECTION_LOST =
    "The connection to the instrument was lost, sweep cancelled.\n"
    "The previous results are kept.";
const char* const SWEEP_TEXT_PERFORMING = "Performing Sweep";
const char* const SWEEP_TEXT_REFUSED =
    "The instrument refused to change to the operating mode of the sweep, sweep cancelled.\n"
    "The previous results are kept.";
const char* const SWEEP_TEXT_SETTINGS_UNREADABLE =
    "The sweep settings could not be exchanged with the instrument, sweep cancelled.\n"
    "The previous results are kept.";
const char* const SWEEP_TEXT_CANCELLED = "The sweep was cancelled.";

const char* sweep_outcome_status(sweep_outcome outcome)
{
    switch (outcome) {
    case sweep_outcome::done: return "Sweep done";
    case sweep_outcome::cancelled: return "Sweep cancelled";
    case sweep_outcome::incomplete: return "Sweep incomplete";
    case sweep_outcome::lost: return "Sweep lost: the instrument stopped answering";
    case sweep_outcome::refused: return "Sweep refused by the instrument";
    case sweep_outcome::failed: return "Sweep failed";
    }
    return "Sweep failed";
}

const char* sweep_kept_status(bool file_written, bool store_asked, bool stored)
{
    if (store_asked && !stored)
        return file_written ? "Sweep not stored in the database; its sweep file is kept"
                            : "Sweep not stored, and its sweep file could not be written";
    if (!file_written)
        return stored ? "Sweep stored, but its sweep file could not be written"
                      : "Sweep done, but its sweep file could not be written";
    return stored ? "Sweep stored" : sweep_outcome_status(sweep_outcome::done);
}

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

bool valid_steps(int steps)
{
    return steps >= MIN_SWEEP_POINTS && steps <= MAX_SWEEP_POINTS;
}

// A failed exchange that got no reply at all means the instrument has gone;
// any other failure is the instrument answering but not as asked.
sweep_outcome failure_of(config_error code)
{
    return config_error_ret(code) == 0 ? sweep_outcome::lost : sweep_outcome::failed;
}

// Steps 4 to 8: the parameters the sweep needs. done when the sweep may go
// on, cancelled when the user declines to switch datalogging off.
sweep_outcome prepare(s_sweep_job& job, int& n)
{
    s_link& link = *job.link;
    instrument_config& config = *job.config;
    sweep_outcome out = sweep_outcome::done;
    try {
        *job.steps = sweep_read_int(config, link, SWEEP_PARAM_STEPS);
        *job.phase_convention = sweep_read_int(config, link, SWEEP_PARAM_PHASE_CONVENTION);
        n = job.values_per_point(link, config);
        if (sweep_read_int(config, link, SWEEP_PARAM_DATALOG) != 0) {
            const int answer = ui_message_box(job.message_owner, SWEEP_TEXT_DATALOG_QUESTION,
                                              "Error: Datalog", MB_YESNO);
            if (answer != IDYES)
                out = sweep_outcome::cancelled;
            else {
                config.set_int(SWEEP_PARAM_DATALOG, 0);
                config.write_param(SWEEP_PARAM_DATALOG, link);
            }
        }
    } catch (config_error code) {
        *job.steps = -1;
        out = failure_of(code);
    }
    if (*job.phase_convention < 0 || *job.phase_convention > 2)
        *job.phase_convention = 0;
    return out;
}

// Step 9: the sweep's operation mode, then "start".
sweep_outcome start(s_sweep_job& job)
{
    s_link& link = *job.link;
    instrument_config& config = *job.config;
    try {
        if (sweep_read_int(config, link, SWEEP_PARAM_MODE) != job.mode) {
            config.set_int(SWEEP_PARAM_MODE, job.mode);
            config.write_param(SWEEP_PARAM_MODE, link);
            sleep_ms(SWEEP_MODE_SWITCH_WAIT_MS);
        }
    } catch (config_error code) {
        const sweep_outcome out = failure_of(code);
        return out == sweep_outcome::lost ? out : sweep_outcome::refused;
    }
    for (int i = 0; i < job.start_count; ++i)
        if (!sent(link, link_send(link, "start\n")))
            return sweep_outcome::lost;
    return sweep_outcome::done;
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
        if (silent >= SWEEP_POLL_SILENT_LIMIT)
            return job.cancel->load() ? poll_result::cancelled : poll_result::lost;
        // A cancel that came while the last poll was answered still wins:
        // the data are then never asked for.
        if (n > 0 && (std::strtol(reply, nullptr, 10) & SWEEP_DAV_DATA_READY))
            return job.cancel->load() ? poll_result::cancelled : poll_result::ready;
        sleep_ms(SWEEP_POLL_INTERVAL_MS);
        if (job.cancel->load())
            return poll_result::cancelled;
    }
}

// The download went silent after some of it came: an instrument that still
// answers has only cut its sweep short; one that does not has gone.
bool still_answers(s_link& link)
{
    link_send(link, "\x14");
    link_drain(link, RESET_DRAIN_MS);
    if (!sent(link, link_send(link, "*esr?\n")))
        return false;
    char reply[DAV_REPLY_SIZE] = {};
    return link_read_line(link, reply, sizeof reply) != LINK_READ_SILENT;
}

sweep_outcome download(s_sweep_job& job, int n)
{
    s_link& link = *job.link;
    std::atomic<int32_t>& received = *job.received;
    const int steps = *job.steps;
    const auto stopped = [&] {
        return received > 0 ? sweep_outcome::incomplete : sweep_outcome::cancelled;
    };
    received = 0;
    int lines = 0; // lines of the reply so far, points or not
    status(job, SWEEP_TEXT_DOWNLOADING);
    if (!sent(link, link_send(link, job.download_command)))
        return sweep_outcome::lost;
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
            return lines > 0 && still_answers(link) ? sweep_outcome::incomplete
                                                    : sweep_outcome::lost;
        ++lines;
        if (got == n && !job.cancel->load()) {
            job.store_point(received.load(), values, n);
            ++received;
            post(job.dialog, CMD_PROGRESS_STEP);
        } else if (received > 0) {
            return sweep_outcome::incomplete;
        }
    }
    return sweep_outcome::done;
}

void tell(const char* text, const char* caption)
{
    ui_message_box(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
}

// Says how the sweep ended, for every outcome that is not the user's own.
void report(s_sweep_job& job, sweep_outcome r)
{
    if (r != sweep_outcome::done && r != sweep_outcome::cancelled && *job.received > 0)
        *job.incomplete = 1;
    switch (r) {
    case sweep_outcome::done: post(job.notify, job.complete_id); break;
    case sweep_outcome::incomplete:
        if (!job.cancel->load())
            tell(sweep_incomplete_text(*job.received, *job.steps).c_str(), "Tarvelo2");
        break;
    case sweep_outcome::lost: tell(SWEEP_TEXT_CONNECTION_LOST, "No Connection"); break;
    case sweep_outcome::refused: tell(SWEEP_TEXT_REFUSED, "Tarvelo2"); break;
    case sweep_outcome::failed:
        tell(*job.steps < 0 || valid_steps(*job.steps)
                 ? SWEEP_TEXT_SETTINGS_UNREADABLE
                 : sweep_invalid_steps_text(*job.steps).c_str(),
             "Tarvelo2");
        break;
    case sweep_outcome::cancelled: break;
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

sweep_outcome finish(s_sweep_job& job, sweep_outcome r)
{
    report(job, r);
    if (r != sweep_outcome::lost)
        run_close_hook(job);
    link_close(*job.link);
    post(job.dialog, CMD_PROGRESS_FINISHED);
    if (r != sweep_outcome::done && job.ended_id != 0)
        post(job.notify, job.ended_id, static_cast<intptr_t>(r));
    return r;
}

// Steps 9 to 11 once the parameters are known.
sweep_outcome sweep(s_sweep_job& job, int n)
{
    const sweep_outcome started = start(job);
    status(job, SWEEP_TEXT_WAITING);
    if (started != sweep_outcome::done)
        return started;
    switch (poll_until_ready(job)) {
    case poll_result::cancelled: return sweep_outcome::cancelled;
    case poll_result::lost: return sweep_outcome::lost;
    case poll_result::ready: break;
    }
    return download(job, n);
}

} // namespace

std::string sweep_incomplete_text(int received, int steps)
{
    char text[160];
    std::snprintf(text, sizeof text,
                  "The sweep data were incomplete (%d of %d points received).\n"
                  "The previous results are kept.",
                  received, steps);
    return text;
}

std::string sweep_invalid_steps_text(int steps)
{
    char text[160];
    std::snprintf(text, sizeof text,
                  "The instrument is set to a sweep of %d steps; a sweep needs %d to %d steps.\n"
                  "Sweep cancelled.",
                  steps, MIN_SWEEP_POINTS, MAX_SWEEP_POINTS);
    return text;
}

sweep_outcome run_sweep_job(s_sweep_job& job)
{
    post(job.dialog, CMD_PROGRESS_STARTED);
    s_link& link = *job.link;
    if (link_open(link) != 0) {
        link_close(link);
        ui_message_box(nullptr, SWEEP_TEXT_NO_CONNECTION, "No Connection", MB_OK);
        post(job.dialog, CMD_PROGRESS_FINISHED);
        if (job.ended_id != 0)
            post(job.notify, job.ended_id, static_cast<intptr_t>(sweep_outcome::lost));
        return sweep_outcome::lost;
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
    sweep_outcome prepared = prepare(job, n);
    const bool valid = valid_steps(*job.steps) && n > 0 && n <= SWEEP_VALUES_MAX;
    if (prepared == sweep_outcome::done && !valid)
        prepared = sweep_outcome::failed;
    if (prepared != sweep_outcome::done) {
        status(job, SWEEP_TEXT_WAITING);
        return finish(job, prepared);
    }
    return finish(job, sweep(job, n));
}

void cancel_sweep_job(std::atomic<uint8_t>& cancel, command_target* dialog, command_target* notify)
{
    cancel = 1;
    if (dialog)
        post_text(dialog, CMD_PROGRESS_STATUS, SWEEP_TEXT_CANCELLING);
    post(dialog, CMD_PROGRESS_FINISHED);
    post(notify, CMD_SWEEP_ENDED, static_cast<intptr_t>(sweep_outcome::cancelled));
}

int32_t sweep_read_int(instrument_config& config, s_link& link, int id)
{
    config.read_param(id, link, nullptr);
    int32_t v = 0;
    config.get_int(id, v);
    return v;
}
