#include "sim/fd_port.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr double k_bits_per_byte = 10; // start bit, 8 data bits, stop bit

// Waits for fd to accept more bytes; false when a stop was requested.
bool wait_writable(int fd, stop_signal& stop)
{
    pollfd fds[2] = {{fd, POLLOUT, 0}, {stop.wake_fd(), POLLIN, 0}};
    while (!stop.requested()) {
        const int n = ::poll(fds, 2, -1);
        if (n < 0 && errno != EINTR) {
            return false;
        }
        if (n > 0 && (fds[0].revents & (POLLOUT | POLLERR | POLLHUP))) {
            return true;
        }
    }
    return false;
}

struct speed_entry {
    speed_t code;
    int baud;
};

constexpr speed_entry k_speeds[] = {
    {B1200, 1200},   {B2400, 2400},   {B4800, 4800},   {B9600, 9600},
    {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200},
};

// The output speed set on a terminal line, 0 when none of the usual ones.
int line_speed(int fd)
{
    termios t{};
    if (fd < 0 || ::tcgetattr(fd, &t) != 0) {
        return 0;
    }
    const speed_t code = ::cfgetospeed(&t);
    for (const auto& s : k_speeds) {
        if (s.code == code) {
            return s.baud;
        }
    }
    return 0;
}

} // namespace

bool wait_readable(int fd, stop_signal& stop)
{
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop.wake_fd(), POLLIN, 0}};
    while (!stop.requested()) {
        const int n = ::poll(fds, 2, -1);
        if (n < 0 && errno != EINTR) {
            return false;
        }
        if (n > 0 && fds[0].revents != 0) {
            return true;
        }
    }
    return false;
}

fd_port::fd_port(int fd, bool is_socket, int baud, stop_signal& stop, int line_fd)
    : fd_(fd), is_socket_(is_socket), baud_(baud), stop_(stop), line_fd_(line_fd)
{
}

bool fd_port::write(std::string_view bytes)
{
    const int baud = baud_ == k_baud_follow_line ? line_speed(line_fd_) : baud_;
    return baud > 0 ? write_paced(bytes, baud) : write_now(bytes);
}

bool fd_port::write_now(std::string_view bytes)
{
    while (!bytes.empty()) {
        if (!wait_writable(fd_, stop_)) {
            return false;
        }
        const ssize_t n = is_socket_ ? ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL)
                                     : ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Sends each byte when the line would have finished carrying the ones
// before it: the bytes due so far go out together, then the port sleeps
// until the next one is due.
bool fd_port::write_paced(std::string_view bytes, int baud)
{
    using clock = std::chrono::steady_clock;
    const auto begin = clock::now();
    const double seconds_per_byte = k_bits_per_byte / baud;
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const double elapsed = std::chrono::duration<double>(clock::now() - begin).count();
        const auto due =
            std::min(bytes.size(), static_cast<std::size_t>(elapsed / seconds_per_byte));
        if (due > sent) {
            if (!write_now(bytes.substr(sent, due - sent))) {
                return false;
            }
            sent = due;
            continue;
        }
        const double next = (static_cast<double>(sent) + 1) * seconds_per_byte - elapsed;
        if (!stop_.sleep_for(std::chrono::duration_cast<std::chrono::nanoseconds>(
                std::chrono::duration<double>(next)))) {
            return false;
        }
    }
    return true;
}

} // namespace sim
