#include "lcr/lcr_realtime.h"

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/number_format.h"
#include "base/ui_seam.h"
#include "link/link.h"

#include <chrono>
#include <cstring>
#include <thread>

const char* const TEXT_LCR_REALTIME_UNSUPPORTED =
    "This instrument gives no realtime LCR readings, realtime measurement not started.";

namespace {

const char* const LABELS_11[] = {"Frequency", "Magnitude 1", "Magnitude 2", "Impedance",
                                 "Phase",     "Resistance",  "Reactance",   "Admittance",
                                 "Phase",     "Conductance", "Susceptance"};
const char* const LABELS_14[] = {
    "Frequency", "Magnitude 1", "Magnitude 2", "Impedance",  "Phase",   "Series R", "Series L",
    "Series C",  "Parallel R",  "Parallel L",  "Parallel C", "Tan\xF0", "Q",        "Reactance"};

using K = lcr_unit_kind;
const s_lcr_cell_unit UNITS_11[] = {{K::text, "Hz"}, {K::text, "V"},       {K::text, "A"},
                                    {K::ohm, ""},    {K::text, "\xB0"},    {K::ohm, ""},
                                    {K::ohm, ""},    {K::inverse_ohm, ""}, {K::text, "\xB0"},
                                    {K::text, "S"},  {K::text, "S"}};
const s_lcr_cell_unit UNITS_14[] = {
    {K::text, "Hz"}, {K::text, "V"}, {K::text, "A"}, {K::ohm, ""}, {K::text, "\xB0"},
    {K::ohm, ""},    {K::text, "H"}, {K::text, "F"}, {K::ohm, ""}, {K::text, "H"},
    {K::text, "F"},  {K::text, ""},  {K::text, ""},  {K::ohm, ""}};

// One query; a reply that cannot be used is dropped and asked for again.
// False when the reply was missing or had the wrong number of values.
bool take_reading(LcrSweepContext& ctx)
{
    s_link& link = *ctx.link;
    wait_cursor busy;
    link_send(link, "lcr?\n");
    double values[LCR_READING_VALUES_MAX] = {};
    const int got = link_read_values(link, values, LCR_READING_VALUES_MAX);
    const int type = lcr_reading_type_for(link.caps, got);
    if (type >= 0) {
        std::memcpy(ctx.realtime, values, sizeof values);
        ctx.reading_type = type;
        if (ctx.notify)
            post_command(ctx.notify, CMD_LCR_REALTIME_READY);
        return true;
    }
    // A late reply must never be taken for the next reading.
    link_send(link, "\x14");
    link_drain(link, REALTIME_RETRY_DRAIN_MS);
    ctx.request = 1;
    return false;
}

} // namespace

int lcr_reading_type_for(const s_instrument_caps& caps, int count)
{
    if ((count != 11 && count != 14) || !caps.lcr_realtime)
        return -1;
    if (caps.channels == INSTRUMENT_THREE_CHANNELS)
        return count == 11 ? LCR_READING_9_11 : LCR_READING_9_14;
    return count == 11 ? LCR_READING_7_11 : LCR_READING_7_14;
}

int lcr_reading_count(int reading_type)
{
    return reading_type == LCR_READING_7_14 || reading_type == LCR_READING_9_14 ? 14 : 11;
}

void lcr_realtime_thread(LcrSweepContext& ctx, const std::atomic<int>& running)
{
    s_link& link = *ctx.link;
    ctx.reading_type = LCR_READING_7_11;
    if (link.identified && !link.caps.lcr_realtime) {
        if (ctx.notify)
            post_command(ctx.notify, CMD_LCR_REALTIME_FAILED, LCR_REALTIME_REFUSED);
        return;
    }
    // An instrument that cannot be reached gives no reading: the window
    // stops realtime and says so, as after a run of bad readings.
    if (!link.identified || link_open(link) != 0) {
        link_close(link);
        if (ctx.notify)
            post_command(ctx.notify, CMD_LCR_REALTIME_FAILED);
        return;
    }
    link_send(link, "out,on\n");
    link_set_timeout(link, REALTIME_TIMEOUT_MS);
    // A silent instrument, or one set up for another reply form, never
    // gives a good reading: after a run of bad ones the thread stops and
    // the window says why, rather than asking for ever.
    int bad = 0;
    while (running.load() && bad < REALTIME_BAD_LIMIT) {
        if (ctx.request.exchange(0))
            bad = take_reading(ctx) ? 0 : bad + 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(REALTIME_LOOP_SLEEP_MS));
    }
    link_close(link);
    if (bad >= REALTIME_BAD_LIMIT && ctx.notify)
        post_command(ctx.notify, CMD_LCR_REALTIME_FAILED);
}

bool lcr_realtime_accept(LcrSweepContext& ctx, double (&displayed)[LCR_READING_VALUES_MAX])
{
    const bool changed = std::memcmp(ctx.realtime, displayed, sizeof displayed) != 0;
    if (changed)
        std::memcpy(displayed, ctx.realtime, sizeof displayed);
    ctx.request = 1;
    return changed;
}

std::vector<std::string> lcr_reading_labels(int reading_type)
{
    if (lcr_reading_count(reading_type) == 14)
        return {std::begin(LABELS_14), std::end(LABELS_14)};
    return {std::begin(LABELS_11), std::end(LABELS_11)};
}

s_lcr_cell_unit lcr_reading_unit(int reading_type, int position)
{
    const int n = lcr_reading_count(reading_type);
    if (position < 0 || position >= n)
        return {};
    return n == 14 ? UNITS_14[position] : UNITS_11[position];
}

std::string lcr_reading_value_text(int reading_type, int position, double value)
{
    return format_engineering(value) + lcr_reading_unit(reading_type, position).text;
}

std::string lcr_reading_plain_text(int reading_type, int position, double value)
{
    const s_lcr_cell_unit unit = lcr_reading_unit(reading_type, position);
    const char* drawn = unit.kind == K::ohm ? "Ohm" : unit.kind == K::inverse_ohm ? "Ohm-1" : "";
    return format_engineering(value) + unit.text + drawn;
}

s_tile_grid lcr_cell_grid(int values)
{
    struct row {
        int capacity, columns, rows;
    };
    static const row table[] = {{2, 1, 2},  {4, 2, 2},  {6, 3, 2}, {9, 3, 3},
                                {12, 4, 3}, {15, 5, 3}, {25, 5, 5}};
    for (const row& r : table)
        if (r.capacity >= values)
            return {r.columns, r.rows};
    return {5, 5};
}
