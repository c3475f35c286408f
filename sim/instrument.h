#pragma once

#include "sim/fra_dut.h"
#include "sim/lcr_dut.h"
#include "sim/measure.h"
#include "sim/screen.h"
#include "sim/settings.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct instrument_setup {
    sim_model model = sim_model::hxm4100;
    std::string identity; // empty: the model's own identification
    fra_dut fra = default_fra_dut();
    // Further devices of a set: frequency response sweep n (from 0) measures
    // device n modulo the set's size, fra being device 0.
    std::vector<fra_dut> fra_more;
    lcr_dut lcr = default_lcr_dut();
    double time_scale = 1;      // stretches or shortens the time a sweep takes
    int lcr_reading_values = 0; // 11 or 14 per "lcr?"; 0: 11 on the 4100, 14 on the 6300
    double lcr_noise = 0;       // relative noise on the LCR impedance, repeatable per frequency
    double lcr_spread = 0;      // each sweep measures a new part, its elements within +-spread
};

// What one command makes the instrument send back: nothing, text lines, or
// lines of values (decimal text or packed, decided by the output format).
struct sim_reply {
    std::vector<std::string> lines;
    std::vector<std::vector<double>> rows;
    bool packed = false;
    bool sweep = false;  // the rows are the download of a sweep
    bool screen = false; // the lines are the rows of the display
    std::string note;    // for the transcript: what the command changed

    bool empty() const { return lines.empty() && rows.empty(); }
};

// The instrument: its configuration memory, event status, sweep engine and
// display, driven one command at a time. Several connections may drive it;
// each command is carried out whole under the instrument's lock.
class sim_instrument {
public:
    explicit sim_instrument(instrument_setup setup);

    // Carries out one command (one part of a ";"-joined line, without its
    // terminator) and returns the reply.
    sim_reply execute(std::string_view command);

    const std::string& identity() const { return identity_; }

private:
    using clock = std::chrono::steady_clock;
    using handler = sim_reply (sim_instrument::*)(std::string_view args);
    struct command_entry {
        const char* head; // the text before the first comma, lower case
        handler run;
    };
    static const command_entry k_commands[];

    sim_reply identify(std::string_view args);
    sim_reply event_status(std::string_view args);
    sim_reply clear_status(std::string_view args);
    sim_reply wait_for_operations(std::string_view args);
    sim_reply config(std::string_view args);
    sim_reply suspend(std::string_view args);
    sim_reply screen(std::string_view args);
    sim_reply output(std::string_view args);
    sim_reply start(std::string_view args);
    sim_reply data_available(std::string_view args);
    sim_reply gain_phase(std::string_view args);
    sim_reply fra_reading(std::string_view args);
    sim_reply fra_mode(std::string_view args);
    sim_reply lcr_reading_or_mode(std::string_view args);
    sim_reply lcr_sweep_or_mode(std::string_view args);

    sim_reply command_error();
    bool packed_output() const;
    sim_reply value_rows(std::vector<std::vector<double>> rows, bool sweep) const;
    std::vector<double> planned_frequencies() const;
    std::vector<double> current_frequencies() const;
    fra_conditions fra_setup() const;
    int lcr_layout() const;
    std::complex<double> lcr_impedance(double hz) const;
    int phase_convention() const;
    double generator_hz() const;
    double amplitude() const;
    screen_content display() const;
    const fra_dut& fra_device() const;

    instrument_setup setup_;
    std::string identity_;
    std::mutex mutex_;
    sim_settings settings_;
    int esr_ = 0;
    bool remote_ = false;
    std::optional<std::vector<double>> sweep_frequencies_;
    lcr_dut part_;               // the part under test: the nominal device unless parts spread
    int parts_ = 0;              // sweeps started, each on the next part
    std::size_t fra_device_ = 0; // the device of the set being measured
    std::size_t fra_sweeps_ = 0; // frequency response sweeps started
    clock::time_point sweep_done_at_;
};

} // namespace sim
