#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Misbehaviour the simulator can be told to show, for reliability tests.
// Sweep line numbers count the lines of one sweep download from 1.
struct fault_set {
    int drop_after = -1;                    // close the connection after this many sweep lines
    bool stray_line = false;                // a junk line before the sweep data
    int short_line = 0;                     // this sweep line lacks its last value
    int garbage = 0;                        // this sweep line is top-bit bytes without structure
    int bad_reading = 0;                    // this realtime "lcr?" reply carries 12 values
    bool silent = false;                    // carry out commands but never answer
    std::optional<int> esr_stuck;           // "*esr?" always answers this
    int late_reply_ms = 0;                  // each reply starts this late
    std::vector<std::string> disconnect_on; // drop the connection on this command
    int screen_drop_after = -1;             // close the connection after this many screen rows
    int screen_short_row = 0;               // this screen row (from 1) lacks its last byte
    int screen_bad_row = 0;                 // this screen row carries characters that are not hex
};

// Adds one "--fault" option ("drop-after=3", "silent", ...); false with an
// error text when the option is unknown or its value is bad.
bool add_fault(fault_set& faults, std::string_view description, std::string& error);

} // namespace sim
