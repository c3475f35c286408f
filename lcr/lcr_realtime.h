#pragma once
// Realtime LCR readings: a thread asks the instrument for one reading at a
// time ("lcr?") and the results view shows the latest in a grid of large
// yellow-on-black cells. A reading has 11 or 14 values; the count and the
// instrument type decide the reading type, which chooses labels and units.
// One request is outstanding at most: the window sets the request flag again
// only after it has taken the reading.

#include "lcr/lcr_point.h"
#include "link/instrument_caps.h"
#include "sweep/realtime_limits.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

enum lcr_reading_type : int {
    LCR_READING_7_11 = 0,
    LCR_READING_7_14 = 1,
    LCR_READING_9_11 = 3,
    LCR_READING_9_14 = 4,
};

// The type for a reply of count values from the instrument, or -1 when the
// reply is to be asked for again (or comes from an instrument without
// realtime LCR readings).
int lcr_reading_type_for(const s_instrument_caps& caps, int count);
int lcr_reading_count(int reading_type);

// What an instrument without realtime LCR readings is told.
extern const char* const TEXT_LCR_REALTIME_UNSUPPORTED;
// The lparam of CMD_LCR_REALTIME_FAILED when the thread did not start
// because the instrument gives no realtime LCR readings.
constexpr intptr_t LCR_REALTIME_REFUSED = 1;

// The thread's body: runs while running is non-zero, posting
// CMD_LCR_REALTIME_READY to ctx.notify for each good reading. On an
// instrument whose capabilities hold no realtime LCR readings it ends at once
// and posts CMD_LCR_REALTIME_FAILED with LCR_REALTIME_REFUSED. A reply with
// the wrong number of values (or none within the time-out) is dropped: the
// instrument is reset, late output drained and "lcr?" asked again. After
// REALTIME_BAD_LIMIT such replies in a row, or at once when the instrument
// cannot be reached, the thread ends by itself and posts
// CMD_LCR_REALTIME_FAILED (the window stops realtime and says so).
void lcr_realtime_thread(LcrSweepContext& ctx, const std::atomic<int>& running);

// The reading arrived: true when it differs from the displayed one (which
// then takes its value). Sets the request flag for the next reading.
bool lcr_realtime_accept(LcrSweepContext& ctx, double (&displayed)[LCR_READING_VALUES_MAX]);

// How a cell's unit is shown: appended text, or drawn as the ohm sign (the
// admittance's with a superscript -1).
enum class lcr_unit_kind { text, ohm, inverse_ohm };
struct s_lcr_cell_unit {
    lcr_unit_kind kind = lcr_unit_kind::text;
    const char* text = ""; // for kind text
};

std::vector<std::string> lcr_reading_labels(int reading_type);
s_lcr_cell_unit lcr_reading_unit(int reading_type, int position);
// The value in engineering form with a text unit appended (none for the
// drawn ohm signs).
std::string lcr_reading_value_text(int reading_type, int position, double value);
// The same for plain text output: the ohm sign as "Ohm", its inverse "Ohm-1".
std::string lcr_reading_plain_text(int reading_type, int position, double value);

// The cell grid: the first of 2 (1x2), 4 (2x2), 6 (3x2), 9 (3x3), 12 (4x3),
// 15 (5x3), 25 (5x5) whose capacity holds the values.
s_tile_grid lcr_cell_grid(int values);
