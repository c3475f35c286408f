#pragma once
// A TCP listener on an ephemeral loopback port, for the scripted peers the
// tests run in place of an instrument; UDP ports free for the simulator's
// LAN search responders.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

// Returns the listening socket (or -1) and sets port to the port it got.
inline int open_loopback_listener(int& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(fd, 4);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

// n UDP ports free on loopback at the time of asking; empty on failure.
inline std::vector<int> free_udp_ports(int n)
{
    std::vector<int> fds, ports;
    for (int i = 0; i < n; ++i) {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof at;
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &len) != 0)
            return {};
        fds.push_back(fd);
        ports.push_back(ntohs(at.sin_port));
    }
    for (const int fd : fds)
        ::close(fd);
    return ports;
}
