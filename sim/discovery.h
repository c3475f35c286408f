#pragma once

#include "sim/stop_signal.h"
#include "sim/transcript.h"
#include "sim/unique_fd.h"

#include <netinet/in.h>
#include <string>
#include <string_view>

namespace sim {

constexpr int k_discovery_port_a = 65535;
constexpr int k_discovery_port_b = 30718;

// What the instrument tells a LAN search about itself.
struct discovery_identity {
    std::string model;
    std::string serial;
    std::string address; // the address the instrument answers from
    int tcp_port = 10001;
};

// Method A: the probe is the single character "X"; the answer starts with
// "A", names the instrument and carries its TCP port after the first "/".
bool is_probe_a(std::string_view datagram);
std::string reply_a(const discovery_identity& id);

// Method B: the probe is 00 00 00 F6; the answer is 30 bytes starting
// 00 00 00 F7, then the IPv4 address, the TCP port (big-endian) and the
// model name padded with zeros.
bool is_probe_b(std::string_view datagram);
std::string reply_b(const discovery_identity& id);

// The responders of both methods. A search on loopback broadcasts to
// 127.255.255.255, which reaches only sockets bound to that address (or to
// any address), so the probes are received there; the answers go out from
// the instrument's own loopback address, so the searcher learns where to
// connect, and only ever to a loopback sender.
class discovery_responder {
public:
    // Throws std::runtime_error when the address is not a loopback one or a
    // port cannot be bound.
    discovery_responder(discovery_identity id, int port_a, int port_b);

    void serve(transcript& log, stop_signal& stop);

private:
    void answer(int fd, transcript& log);

    discovery_identity id_;
    unique_fd probe_a_;
    unique_fd probe_b_;
    unique_fd reply_;
};

} // namespace sim
