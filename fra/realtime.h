#pragma once
// Realtime measurement: a thread asks the instrument for one FRA reading at
// a time ("*wai;fra?"), and the FRA view shows the latest as a grid of large
// numeric tiles. One request is outstanding at most: the window sets the
// request flag again only after it has taken the reading.

#include "fra/sweep_context.h"
#include "link/instrument_caps.h"

#include <atomic>
#include <string>
#include <vector>

// The thread's body: runs while running is non-zero, posting
// CMD_FRA_REALTIME_READY to ctx.notify for each good reading. After
// FRA_REALTIME_BAD_LIMIT bad or missing readings in a row it ends by itself
// and posts CMD_FRA_REALTIME_FAILED; the receiver stops realtime and shows
// FRA_TEXT_REALTIME_FAILED.
void fra_realtime_thread(FraSweepContext& ctx, const std::atomic<int>& running);

// The reading arrived: true when it differs from the displayed one (which
// then takes its value). Sets the request flag for the next reading.
bool fra_realtime_accept(FraSweepContext& ctx, s_fra_result& displayed);

constexpr int FRA_REALTIME_TIMEOUT_MS = 3000;
constexpr int FRA_REALTIME_RETRY_DRAIN_MS = 20;
constexpr int FRA_REALTIME_LOOP_SLEEP_MS = 10;
// At the 3 s read time-out a silent instrument is given up after 15 s.
constexpr int FRA_REALTIME_BAD_LIMIT = 5;
extern const char* const FRA_TEXT_REALTIME_FAILED;

// Number of tiles: 10 when the three-channel model measures its third input
// (parameter 84 of the current configuration), else 6.
int fra_tile_count(const s_instrument_caps& caps);

struct s_tile_grid {
    int columns = 1;
    int rows = 1;
};
s_tile_grid fra_tile_grid(int tiles, int view_width, int view_height);

std::vector<std::string> fra_tile_labels(const s_instrument_caps& caps);
// The value text of position i with its unit, e.g. "12.346dB", "1.0000 kHz".
std::string fra_tile_value(int position, double value);
