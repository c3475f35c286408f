#pragma once

#include <netinet/in.h>
#include <string>

namespace sim {

// The simulator only ever binds to and answers loopback addresses
// (127.0.0.0/8): it must never put traffic on a real network.
bool is_loopback(const sockaddr_in& address);

// The address text and port as a socket address; throws std::runtime_error
// when the text is no IPv4 address or not a loopback one.
sockaddr_in loopback_address(const std::string& text, int port);

// "a.b.c.d:port" of a socket address.
std::string address_text(const sockaddr_in& address);

// The socket's bound address (after binding to port 0, the port chosen).
sockaddr_in bound_address(int fd);

} // namespace sim
