#pragma once

#include "sim/session.h"
#include "sim/stop_signal.h"

namespace sim {

// Pace a serial line at the speed its user set on it (with tcsetattr), as
// a real port would run.
constexpr int k_baud_follow_line = -1;

// A session's replies written to a socket or a pseudo-terminal. With a baud
// rate the bytes leave no faster than a real 8N1 line would carry them
// (ten bit times per byte); with k_baud_follow_line the rate is the output
// speed set on line_fd at the time of each reply.
class fd_port : public sim_port {
public:
    fd_port(int fd, bool is_socket, int baud, stop_signal& stop, int line_fd = -1);
    bool write(std::string_view bytes) override;

private:
    bool write_now(std::string_view bytes);
    bool write_paced(std::string_view bytes, int baud);

    int fd_;
    bool is_socket_;
    int baud_;
    stop_signal& stop_;
    int line_fd_;
};

// Waits until fd is readable (or the stop pipe is); false on stop.
bool wait_readable(int fd, stop_signal& stop);

} // namespace sim
