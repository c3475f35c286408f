#pragma once
// Test peers standing in for the instrument: a TCP listener on an ephemeral
// loopback port, and the master side of a pseudo-terminal whose slave the
// link opens as its serial device.

#include <cstdint>
#include <string>

class tcp_peer {
public:
    tcp_peer();
    ~tcp_peer();
    tcp_peer(const tcp_peer&) = delete;
    tcp_peer& operator=(const tcp_peer&) = delete;

    int port() const { return port_; }
    // Accepts the link's connection (waits up to 5 s); false if none came.
    bool accept_link();
    // Reads exactly n bytes, waiting up to timeout_ms in all.
    std::string read_exact(size_t n, int timeout_ms = 5000);
    // Whatever arrives within timeout_ms.
    std::string read_some(int timeout_ms);
    void write(const std::string& bytes);
    void close_connection();

private:
    int listener_ = -1;
    int conn_ = -1;
    int port_ = 0;
};

class pty_peer {
public:
    pty_peer();
    ~pty_peer();
    pty_peer(const pty_peer&) = delete;
    pty_peer& operator=(const pty_peer&) = delete;

    const std::string& device() const { return device_; }
    std::string read_exact(size_t n, int timeout_ms = 5000);
    std::string read_some(int timeout_ms);
    void write(const std::string& bytes);

private:
    int master_ = -1;
    std::string device_;
};

// Reads from fd until n bytes or the time is up.
std::string read_fd(int fd, size_t n, int timeout_ms);
