#pragma once
// Realtime measurement: a thread asks the instrument for one FRA reading at
// a time ("*wai;fra?"), and the FRA view shows the latest as a grid of large
// numeric tiles. One request is outstanding at most: the window sets the
// request flag again only after it has taken the reading.

#include "fra/sweep_context.h"
#include "link/instrument_caps.h"
#include "sweep/realtime_limits.h"

#include <atomic>
#include <string>
#include <vector>

// The thread's body: runs while running is non-zero, posting
// CMD_FRA_REALTIME_READY to ctx.notify for each good reading. After
// REALTIME_BAD_LIMIT bad or missing readings in a row, or at once when the
// instrument cannot be reached, it ends by itself and posts
// CMD_FRA_REALTIME_FAILED; the receiver stops realtime and shows
// TEXT_REALTIME_FAILED.
void fra_realtime_thread(FraSweepContext& ctx, const std::atomic<int>& running);

// The reading arrived: true when it differs from the displayed one (which
// then takes its value). Sets the request flag for the next reading.
bool fra_realtime_accept(FraSweepContext& ctx, s_fra_result& displayed);

// Number of tiles: 10 when the three-channel model measures its third input
// (parameter 84 of the current configuration), else 6.
int fra_tile_count(const s_instrument_caps& caps);

s_tile_grid fra_tile_grid(int tiles, int view_width, int view_height);

std::vector<std::string> fra_tile_labels(const s_instrument_caps& caps);
// The value text of position i with its unit, e.g. "12.346dB", "1.0000 kHz".
std::string fra_tile_value(int position, double value);
