#pragma once

#include "sim/faults.h"
#include "sim/instrument.h"
#include "sim/stop_signal.h"
#include "sim/transcript.h"
#include "sim/unique_fd.h"

#include <string>

namespace sim {

// The instrument's LAN port: a TCP listener on a loopback address; each
// connection is served on its own thread by its own session.
class tcp_server {
public:
    // Binds and listens; port 0 picks a free port. Throws std::runtime_error.
    tcp_server(const std::string& host, int port);

    int port() const { return port_; }
    const std::string& address() const { return address_; } // "host:port"

    // Accepts connections until a stop is requested, then waits for every
    // connection thread to end.
    void serve(sim_instrument& instrument, const fault_set& faults, transcript& log,
               stop_signal& stop);

private:
    unique_fd listener_;
    int port_ = 0;
    std::string address_;
};

} // namespace sim
