#include "sim/discovery.h"

#include "sim/loopback.h"

#include <arpa/inet.h>
#include <cerrno>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>

namespace sim {

namespace {

constexpr const char* k_loopback_broadcast = "127.255.255.255";
constexpr std::size_t k_reply_a_min = 26;
constexpr std::size_t k_reply_b_size = 30;

unique_fd bound_udp(const sockaddr_in& address)
{
    unique_fd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const int on = 1;
    if (!fd || ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        throw std::runtime_error("cannot bind the discovery responder to " + address_text(address));
    }
    return fd;
}

// A broadcast address is no place to answer from; its network's first
// host is.
std::string answer_address(const std::string& address)
{
    return address == k_loopback_broadcast ? "127.0.0.1" : address;
}

} // namespace

bool is_probe_a(std::string_view datagram)
{
    return datagram == "X";
}

std::string reply_a(const discovery_identity& id)
{
    std::string reply =
        "A" + id.model + "/" + std::to_string(id.tcp_port) + "/" + id.serial + "/" + id.address;
    if (reply.size() < k_reply_a_min) {
        reply.resize(k_reply_a_min, ' ');
    }
    return reply;
}

bool is_probe_b(std::string_view datagram)
{
    return datagram == std::string_view("\x00\x00\x00\xF6", 4);
}

std::string reply_b(const discovery_identity& id)
{
    std::string reply(k_reply_b_size, '\0');
    reply[3] = static_cast<char>(0xF7);
    in_addr ip{};
    ::inet_pton(AF_INET, id.address.c_str(), &ip);
    const auto* ip_bytes = reinterpret_cast<const char*>(&ip.s_addr);
    reply.replace(4, 4, ip_bytes, 4);
    reply[8] = static_cast<char>((id.tcp_port >> 8) & 0xFF);
    reply[9] = static_cast<char>(id.tcp_port & 0xFF);
    reply.replace(10, std::min<std::size_t>(id.model.size(), k_reply_b_size - 10),
                  id.model.substr(0, k_reply_b_size - 10));
    reply.resize(k_reply_b_size, '\0');
    return reply;
}

discovery_responder::discovery_responder(discovery_identity id, int port_a, int port_b)
    : id_(std::move(id))
{
    id_.address = answer_address(id_.address);
    reply_ = bound_udp(loopback_address(id_.address, 0));
    probe_a_ = bound_udp(loopback_address(k_loopback_broadcast, port_a));
    probe_b_ = bound_udp(loopback_address(k_loopback_broadcast, port_b));
}

void discovery_responder::serve(transcript& log, stop_signal& stop)
{
    pollfd fds[3] = {
        {probe_a_.get(), POLLIN, 0}, {probe_b_.get(), POLLIN, 0}, {stop.wake_fd(), POLLIN, 0}};
    while (!stop.requested()) {
        if (::poll(fds, 3, -1) < 0 && errno != EINTR) {
            return;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].revents & POLLIN) {
                answer(fds[i].fd, log);
            }
        }
    }
}

void discovery_responder::answer(int fd, transcript& log)
{
    char datagram[1500];
    sockaddr_in sender{};
    socklen_t length = sizeof sender;
    const ssize_t n = ::recvfrom(fd, datagram, sizeof datagram, MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&sender), &length);
    if (n <= 0 || !is_loopback(sender)) {
        return;
    }
    const std::string_view probe(datagram, static_cast<std::size_t>(n));
    std::string reply;
    if (fd == probe_a_.get() && is_probe_a(probe)) {
        reply = reply_a(id_);
    } else if (fd == probe_b_.get() && is_probe_b(probe)) {
        reply = reply_b(id_);
    } else {
        return;
    }
    const std::string who = "udp " + address_text(sender);
    log.received(who, probe);
    log.sent(who, reply);
    ::sendto(reply_.get(), reply.data(), reply.size(), 0,
             reinterpret_cast<const sockaddr*>(&sender), sizeof sender);
}

} // namespace sim
