#include "tests/sim/test_stream.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

test_stream test_stream::tcp(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot connect to the simulator");
    }
    return test_stream(fd, true);
}

test_stream test_stream::serial(const std::string& path, speed_t speed)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        throw std::runtime_error("cannot open " + path);
    }
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    if (speed != B0) {
        ::cfsetspeed(&t, speed);
    }
    ::tcsetattr(fd, TCSANOW, &t);
    return test_stream(fd, false);
}

test_stream::~test_stream()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

test_stream::test_stream(test_stream&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), is_tcp_(other.is_tcp_), buffer_(std::move(other.buffer_))
{
}

void test_stream::command(std::string_view text)
{
    std::string bytes(text);
    bytes += '\n';
    if (is_tcp_) {
        bytes += '\0';
    }
    raw(bytes);
}

void test_stream::raw(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

std::optional<std::string> test_stream::line(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        const auto end = buffer_.find('\n');
        if (end != std::string::npos) {
            std::string text = buffer_.substr(0, end);
            buffer_.erase(0, end + 1);
            if (!text.empty() && text.back() == '\r') {
                text.pop_back();
            }
            return text;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            return std::nullopt;
        }
        char chunk[4096];
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n <= 0) {
            return std::nullopt;
        }
        buffer_.append(chunk, static_cast<std::size_t>(n));
    }
}

bool test_stream::closed_within(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            return false;
        }
        char chunk[4096];
        if (::read(fd_, chunk, sizeof chunk) <= 0) {
            return true;
        }
    }
}
