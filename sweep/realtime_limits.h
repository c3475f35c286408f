#pragma once
// What realtime readings of every mode share: the time-outs of the reading
// loop, when a silent instrument is given up, and the grid of the tiles
// that show the latest reading.

constexpr int REALTIME_TIMEOUT_MS = 3000;
constexpr int REALTIME_RETRY_DRAIN_MS = 20;
constexpr int REALTIME_LOOP_SLEEP_MS = 10;
// At the 3 s read time-out a silent instrument is given up after 15 s.
constexpr int REALTIME_BAD_LIMIT = 5;
extern const char* const TEXT_REALTIME_FAILED;

struct s_tile_grid {
    int columns = 1;
    int rows = 1;
};
