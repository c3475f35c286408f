#include "sweep_peer.h"

#include "tests/support/loopback_listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

sweep_peer::sweep_peer(script answer) : answer_(std::move(answer))
{
    listener_ = open_loopback_listener(port_);
    thread_ = std::thread([this] { serve(); });
}

sweep_peer::~sweep_peer()
{
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

std::vector<std::string> sweep_peer::commands() const
{
    std::lock_guard lock(mutex_);
    return commands_;
}

int sweep_peer::count(const std::string& command) const
{
    int n = 0;
    for (const std::string& c : commands())
        n += c == command;
    return n;
}

void sweep_peer::serve()
{
    while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0)
            continue;
        serve_connection(fd);
        ::close(fd);
    }
}

// Commands arrive as "text\n" followed by a NUL; the reset byte comes alone.
bool sweep_peer::serve_connection(int fd)
{
    std::string pending;
    while (!stop_) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            return true;
        pending.append(buf, static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\0')) != std::string::npos;) {
            std::string command = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!command.empty() && command.back() == '\n')
                command.pop_back();
            if (command == "\x14")
                continue;
            {
                std::lock_guard lock(mutex_);
                commands_.push_back(command);
            }
            const peer_reply r = answer_(command);
            if (!r.text.empty() && ::send(fd, r.text.data(), r.text.size(), MSG_NOSIGNAL) < 0)
                return false;
            if (r.hang_up)
                return false;
        }
    }
    return true;
}
