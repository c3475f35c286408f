#include "sim/tcp_server.h"

#include "sim/fd_port.h"
#include "sim/loopback.h"

#include <atomic>
#include <cerrno>
#include <list>
#include <memory>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>

namespace sim {

namespace {

struct connection {
    std::thread thread;
    std::atomic<bool> done{false};
};

void serve_connection(unique_fd fd, const std::string& who, sim_instrument& instrument,
                      const fault_set& faults, transcript& log, stop_signal& stop)
{
    log.note(who, "connected");
    fd_port port(fd.get(), true, 0, stop);
    sim_session session(instrument, faults, log, who, stop);
    char buffer[4096];
    while (wait_readable(fd.get(), stop)) {
        const ssize_t n = ::recv(fd.get(), buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || !session.feed(std::string_view(buffer, static_cast<std::size_t>(n)), port)) {
            break;
        }
    }
    log.note(who, "closed");
}

void join_finished(std::list<std::unique_ptr<connection>>& connections)
{
    for (auto it = connections.begin(); it != connections.end();) {
        if ((*it)->done) {
            (*it)->thread.join();
            it = connections.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace

tcp_server::tcp_server(const std::string& host, int port)
{
    const sockaddr_in address = loopback_address(host, port);
    listener_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const int on = 1;
    if (!listener_ ||
        ::setsockopt(listener_.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(listener_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_.get(), 8) != 0) {
        throw std::runtime_error("cannot listen on " + address_text(address));
    }
    const sockaddr_in bound = bound_address(listener_.get());
    port_ = ntohs(bound.sin_port);
    address_ = address_text(bound);
}

void tcp_server::serve(sim_instrument& instrument, const fault_set& faults, transcript& log,
                       stop_signal& stop)
{
    std::list<std::unique_ptr<connection>> connections;
    while (wait_readable(listener_.get(), stop)) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        unique_fd fd(
            ::accept4(listener_.get(), reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC));
        join_finished(connections);
        if (!fd) {
            continue;
        }
        auto c = std::make_unique<connection>();
        c->thread = std::thread([fd = std::move(fd), who = "tcp " + address_text(peer), &instrument,
                                 &faults, &log, &stop, done = &c->done]() mutable {
            serve_connection(std::move(fd), who, instrument, faults, log, stop);
            *done = true;
        });
        connections.push_back(std::move(c));
    }
    for (auto& c : connections) {
        c->thread.join();
    }
}

} // namespace sim
