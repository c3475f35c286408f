#include "tests/config/fake_instrument.h"

#include "tests/support/loopback_listener.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

fake_instrument::fake_instrument(responder answer) : answer_(std::move(answer))
{
    listener_ = open_loopback_listener(port_);
    thread_ = std::thread([this] { serve(); });
}

fake_instrument::~fake_instrument()
{
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

std::vector<std::string> fake_instrument::traffic() const
{
    std::lock_guard lock(mutex_);
    return traffic_;
}

std::vector<std::string> fake_instrument::commands() const
{
    std::vector<std::string> out;
    for (const std::string& t : traffic())
        if (t != "\x14")
            out.push_back(t);
    return out;
}

bool fake_instrument::wait_for(const std::string& command) const
{
    for (int i = 0; i < 500; ++i) {
        const std::vector<std::string> t = traffic();
        if (std::find(t.begin(), t.end(), command) != t.end())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void fake_instrument::clear()
{
    std::lock_guard lock(mutex_);
    traffic_.clear();
}

void fake_instrument::serve()
{
    while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd >= 0) {
            serve_connection(fd);
            ::close(fd);
        }
    }
}

// Over LAN every command ends in "\n" and a NUL; the reset byte comes alone
// with its NUL.
void fake_instrument::serve_connection(int fd)
{
    std::string pending;
    while (!stop_) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        char buf[512];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            return;
        pending.append(buf, static_cast<size_t>(n));
        for (size_t end; (end = pending.find('\0')) != std::string::npos;) {
            std::string command = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!command.empty() && command.back() == '\n')
                command.pop_back();
            {
                std::lock_guard lock(mutex_);
                traffic_.push_back(command);
            }
            if (std::optional<std::string> reply = answer_(command)) {
                const std::string line = *reply + "\r\n";
                if (::write(fd, line.data(), line.size()) < 0)
                    return;
            }
        }
    }
}
