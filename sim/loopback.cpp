#include "sim/loopback.h"

#include <arpa/inet.h>
#include <stdexcept>
#include <sys/socket.h>

namespace sim {

bool is_loopback(const sockaddr_in& address)
{
    return (ntohl(address.sin_addr.s_addr) >> 24) == 127;
}

sockaddr_in loopback_address(const std::string& text, int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (port < 0 || port > 65535 || ::inet_pton(AF_INET, text.c_str(), &address.sin_addr) != 1) {
        throw std::runtime_error("not an IPv4 address and port: " + text + ":" +
                                 std::to_string(port));
    }
    if (!is_loopback(address)) {
        throw std::runtime_error("refusing " + text + ": only loopback addresses (127.0.0.0/8)");
    }
    return address;
}

std::string address_text(const sockaddr_in& address)
{
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

sockaddr_in bound_address(int fd)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return address;
}

} // namespace sim
