#pragma once

#include "sim/faults.h"
#include "sim/instrument.h"
#include "sim/stop_signal.h"
#include "sim/transcript.h"
#include "sim/unique_fd.h"

#include <string>

namespace sim {

// The instrument's serial port: a pseudo-terminal whose other end, reached
// through a symbolic link at a chosen path, stands for the COM port the
// application opens.
class pty_server {
public:
    // Creates the pseudo-terminal (raw 8N1) and the link; an existing link
    // at the path is replaced, any other file is left alone and refused.
    // Throws std::runtime_error.
    explicit pty_server(std::string link_path);
    ~pty_server();
    pty_server(const pty_server&) = delete;
    pty_server& operator=(const pty_server&) = delete;

    const std::string& link_path() const { return link_path_; }
    const std::string& device_path() const { return device_path_; }

    // Serves the line until a stop is requested; a non-zero baud rate paces
    // the replies like a real line of that speed.
    void serve(sim_instrument& instrument, const fault_set& faults, transcript& log,
               stop_signal& stop, int baud);

private:
    unique_fd master_;
    // Held open so the line stays usable while no client has it open.
    unique_fd device_;
    std::string link_path_;
    std::string device_path_;
};

} // namespace sim
