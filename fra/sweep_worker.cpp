#include "fra/sweep_worker.h"

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/ui_seam.h"
#include "config/config_protocol.h"
#include "config/instrument_config.h"
#include "link/link.h"

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

void status(FraSweepContext& ctx, const char* text)
{
    if (ctx.dialog)
        post_text(ctx.dialog, CMD_PROGRESS_STATUS, text);
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

int32_t read_int(instrument_config& config, s_link& link, int id)
{
    config.read_param(id, link, nullptr);
    int32_t v = 0;
    config.get_int(id, v);
    return v;
}

// Steps 4 to 8: the parameters the sweep needs. False when the user
// declines to switch datalogging off.
bool prepare(FraSweepContext& ctx, bool& ten_values)
{
    s_link& link = *ctx.link;
    instrument_config& config = *ctx.config;
    bool go_on = true;
    try {
        ctx.sweep.count = read_int(config, link, FRA_PARAM_STEPS);
        ctx.sweep.phase_convention = read_int(config, link, FRA_PARAM_PHASE_CONVENTION);
        if (link.type_code == FRA_TYPE_6300)
            ten_values = read_int(config, link, FRA_PARAM_INPUT) != 0;
        if (read_int(config, link, FRA_PARAM_DATALOG) != 0) {
            const int answer = ui_message_box(ctx.message_owner, FRA_TEXT_DATALOG_QUESTION,
                                              "Error: Datalog", MB_YESNO);
            go_on = answer == IDYES;
            if (go_on) {
                config.set_int(FRA_PARAM_DATALOG, 0);
                config.write_param(FRA_PARAM_DATALOG, link);
            }
        }
    } catch (config_error) {
        ctx.sweep.count = -1;
    }
    if (ctx.sweep.phase_convention < 0 || ctx.sweep.phase_convention > 2)
        ctx.sweep.phase_convention = 0;
    return go_on;
}

enum class start_result { started, not_started, lost };

// Step 9: frequency response mode, then "start".
start_result start(FraSweepContext& ctx)
{
    s_link& link = *ctx.link;
    instrument_config& config = *ctx.config;
    try {
        if (read_int(config, link, FRA_PARAM_MODE) != FRA_OPERATING_MODE) {
            config.set_int(FRA_PARAM_MODE, FRA_OPERATING_MODE);
            config.write_param(FRA_PARAM_MODE, link);
            sleep_ms(FRA_MODE_SWITCH_WAIT_MS);
        }
    } catch (config_error) {
        return start_result::not_started;
    }
    return sent(link, link_send(link, "start\n")) ? start_result::started : start_result::lost;
}

enum class poll_result { ready, cancelled, lost };

poll_result poll_until_ready(FraSweepContext& ctx)
{
    s_link& link = *ctx.link;
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
            return ctx.cancel.load() ? poll_result::cancelled : poll_result::lost;
        // A cancel that came while the last poll was answered still wins:
        // the data are then never asked for.
        if (n > 0 && (std::strtol(reply, nullptr, 10) & FRA_DAV_DATA_READY))
            return ctx.cancel.load() ? poll_result::cancelled : poll_result::ready;
        sleep_ms(FRA_POLL_INTERVAL_MS);
        if (ctx.cancel.load())
            return poll_result::cancelled;
    }
}

enum class download_result { complete, incomplete, cancelled, lost };

download_result download(FraSweepContext& ctx, int n)
{
    s_link& link = *ctx.link;
    const int steps = ctx.sweep.count;
    ctx.received = 0;
    status(ctx, FRA_TEXT_DOWNLOADING);
    if (!sent(link, link_send(link, "gainph,sweep?\n")))
        return download_result::lost;
    post(ctx.dialog, CMD_PROGRESS_RANGE, steps);
    while (ctx.received < steps) {
        if (ctx.cancel.load())
            return ctx.received > 0 ? download_result::incomplete : download_result::cancelled;
        double values[FRA_VALUES_MAX] = {};
        // An empty or stray line before the first point is skipped; silence
        // is not a line, and ends the download.
        const int got = link_read_values(link, values, n);
        if (got < 0 && ctx.cancel.load())
            return ctx.received > 0 ? download_result::incomplete : download_result::cancelled;
        if (got < 0)
            return download_result::lost;
        if (got == n && !ctx.cancel.load()) {
            s_fra_result& point = ctx.sweep.points[static_cast<size_t>(ctx.received.load())];
            point = s_fra_result{};
            std::copy(values, values + n, point.v);
            ++ctx.received;
            post(ctx.dialog, CMD_PROGRESS_STEP);
        } else if (ctx.received > 0) {
            return download_result::incomplete;
        }
    }
    return download_result::complete;
}

void report(FraSweepContext& ctx, download_result r)
{
    switch (r) {
    case download_result::complete: post(ctx.notify, CMD_FRA_SWEEP_COMPLETE); break;
    case download_result::incomplete:
        ctx.incomplete = 1;
        if (!ctx.cancel.load())
            ui_message_box(nullptr, fra_incomplete_text(ctx.received, ctx.sweep.count), "Tarvelo2",
                           MB_OK | MB_ICONINFORMATION);
        break;
    case download_result::lost:
        if (ctx.received > 0)
            ctx.incomplete = 1;
        ui_message_box(nullptr, FRA_TEXT_CONNECTION_LOST, "No Connection",
                       MB_OK | MB_ICONINFORMATION);
        break;
    case download_result::cancelled: break;
    }
}

void finish(FraSweepContext& ctx)
{
    link_close(*ctx.link);
    post(ctx.dialog, CMD_PROGRESS_FINISHED);
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

void fra_sweep_worker(FraSweepContext& ctx)
{
    post(ctx.dialog, CMD_PROGRESS_STARTED);
    s_link& link = *ctx.link;
    if (link_open(link) != 0) {
        link_close(link);
        ui_message_box(nullptr, FRA_TEXT_NO_CONNECTION, "No Connection", MB_OK);
        post(ctx.dialog, CMD_PROGRESS_FINISHED);
        return;
    }
    link_send(link, "\x14");
    link_drain(link, RESET_DRAIN_MS);
    link_send(link, "out,on\n");
    bool ten_values = false;
    const bool go_on = prepare(ctx, ten_values);
    const int steps = ctx.sweep.count;
    const bool valid = go_on && steps >= MIN_SWEEP_POINTS && steps <= MAX_SWEEP_POINTS;
    const start_result started = valid ? start(ctx) : start_result::not_started;
    status(ctx, FRA_TEXT_WAITING);
    if (started == start_result::lost) {
        report(ctx, download_result::lost);
    } else if (started == start_result::started) {
        const poll_result polled = poll_until_ready(ctx);
        if (polled == poll_result::lost)
            report(ctx, download_result::lost);
        else if (polled == poll_result::ready)
            report(ctx, download(ctx, ten_values ? FRA_VALUES_MAX : FRA_VALUES_USUAL));
    }
    finish(ctx);
}

void fra_sweep_cancel(FraSweepContext& ctx)
{
    ctx.cancel = 1;
    status(ctx, FRA_TEXT_CANCELLING);
    post(ctx.dialog, CMD_PROGRESS_FINISHED);
}
