#pragma once

#include "sim/discovery.h"
#include "sim/faults.h"
#include "sim/instrument.h"

#include <optional>
#include <string>
#include <vector>

namespace sim {

// Everything the simulator is told on its command line.
struct sim_options {
    instrument_setup instrument;
    bool tcp = true;
    std::string tcp_host = "127.0.0.1";
    int tcp_port = 10001;
    std::string pty_path;          // empty: no pseudo-terminal
    int baud = 0;                  // 0: unpaced; k_baud_follow_line: the speed set on the line
    std::string discovery_address; // empty: no discovery responders
    int discovery_port_a = k_discovery_port_a;
    int discovery_port_b = k_discovery_port_b;
    std::string log_path;
    fault_set faults;
    int fra_duts = 0; // --fra-dut options given: the first replaces the default device
    bool help = false;
    bool version = false;
};

// Parses the arguments (without the program name); nullopt with an error
// text when an option is unknown or its value bad.
std::optional<sim_options> parse_options(const std::vector<std::string>& args, std::string& error);

std::string usage_text();

} // namespace sim
