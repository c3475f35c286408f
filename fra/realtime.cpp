#include "fra/realtime.h"

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/number_format.h"
#include "base/ui_seam.h"
#include "config/config_current.h"
#include "config/instrument_config.h"
#include "link/link.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

const char* const UNITS[FRA_VALUES_MAX] = {"Hz", "V", "V",  "dB",   "\xB0",
                                           "s",  "V", "dB", "\xB0", "s"};

bool ten_values(FraSweepContext& ctx)
{
    if (ctx.link->caps.channels != INSTRUMENT_THREE_CHANNELS || !ctx.config)
        return false;
    int32_t input = 0;
    ctx.config->get_int(FRA_PARAM_INPUT, input);
    return input != 0;
}

// One request and its reply; false when the reply was missing or had the
// wrong number of values (the request is then made again).
bool take_reading(FraSweepContext& ctx, int expected, int max_count)
{
    s_link& link = *ctx.link;
    wait_cursor busy;
    link_send(link, "*wai;fra?\n");
    double values[FRA_VALUES_MAX] = {};
    const int got = link_read_values(link, values, max_count);
    if (got == expected) {
        ctx.realtime = s_fra_result{};
        std::copy(values, values + got, ctx.realtime.v);
        if (ctx.notify)
            post_command(ctx.notify, CMD_FRA_REALTIME_READY);
        return true;
    }
    link_send(link, "\x14");
    link_drain(link, REALTIME_RETRY_DRAIN_MS);
    ctx.request = 1;
    return false;
}

} // namespace

void fra_realtime_thread(FraSweepContext& ctx, const std::atomic<int>& running)
{
    s_link& link = *ctx.link;
    const bool ten = ten_values(ctx);
    // An instrument that cannot be reached gives no reading: the window
    // stops realtime and says so, as after a run of bad readings.
    if (!link.identified || link_open(link) != 0) {
        link_close(link);
        if (ctx.notify)
            post_command(ctx.notify, CMD_FRA_REALTIME_FAILED);
        return;
    }
    link_send(link, "out,on\n");
    link_set_timeout(link, REALTIME_TIMEOUT_MS);
    const int max_count =
        link.caps.channels == INSTRUMENT_THREE_CHANNELS ? FRA_VALUES_MAX : FRA_VALUES_USUAL;
    const int expected = ten ? FRA_VALUES_MAX : FRA_VALUES_USUAL;
    // An instrument that is silent, gone or set up for another reply form
    // never gives a good reading: after a run of bad ones the thread stops
    // and the window says why, rather than asking for ever.
    int bad = 0;
    while (running.load() && bad < REALTIME_BAD_LIMIT) {
        if (ctx.request.exchange(0))
            bad = take_reading(ctx, expected, max_count) ? 0 : bad + 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(REALTIME_LOOP_SLEEP_MS));
    }
    link_close(link);
    if (bad >= REALTIME_BAD_LIMIT && ctx.notify)
        post_command(ctx.notify, CMD_FRA_REALTIME_FAILED);
}

bool fra_realtime_accept(FraSweepContext& ctx, s_fra_result& displayed)
{
    const bool changed = std::memcmp(&ctx.realtime, &displayed, sizeof displayed) != 0;
    if (changed)
        displayed = ctx.realtime;
    ctx.request = 1;
    return changed;
}

int fra_tile_count(const s_instrument_caps& caps)
{
    if (caps.channels != INSTRUMENT_THREE_CHANNELS)
        return FRA_VALUES_USUAL;
    int32_t input = 0;
    config_current().get_int(FRA_PARAM_INPUT, input);
    return input != 0 ? FRA_VALUES_MAX : FRA_VALUES_USUAL;
}

s_tile_grid fra_tile_grid(int tiles, int view_width, int view_height)
{
    struct row {
        int capacity, columns, rows;
    };
    static const row table[] = {{2, 1, 2}, {4, 2, 2}, {6, 3, 2}, {9, 3, 3}, {16, 4, 4}, {25, 5, 5}};
    for (const row& r : table)
        if (r.capacity >= tiles)
            return {r.columns, r.rows};
    return view_height >= view_width ? s_tile_grid{5, 6} : s_tile_grid{6, 5};
}

std::vector<std::string> fra_tile_labels(const s_instrument_caps& caps)
{
    if (caps.channels == INSTRUMENT_THREE_CHANNELS)
        return {"Frequency", "Magnitude 1", "Magnitude 2", "Gain 1",  "Phase 1",
                "Delay 1",   "Magnitude 3", "Gain 2",      "Phase 2", "Delay 2"};
    return {"Frequency", "Magnitude 1", "Magnitude 2", "Gain", "Phase", "Delay"};
}

std::string fra_tile_value(int position, double value)
{
    const char* unit = position >= 0 && position < FRA_VALUES_MAX ? UNITS[position] : "";
    if (position != FRA_GAIN && position != FRA_PHASE)
        return format_engineering(value) + unit;
    // Gain and phase read in plain decimals, spaced from their unit as the
    // engineering form of the other tiles is ("-8.094 dB" beside "1.0000 kHz").
    char text[48];
    if (value == 0)
        std::snprintf(text, sizeof text, "0.0000 ");
    else
        std::snprintf(text, sizeof text, std::fabs(value) >= 100 ? "%.2f " : "%.3f ", value);
    return text + std::string(unit);
}
