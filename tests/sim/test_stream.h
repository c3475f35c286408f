#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <termios.h>

// The tests' own peer of the simulator: a TCP connection or a serial line,
// sending commands and reading reply lines with a time limit.
class test_stream {
public:
    static test_stream tcp(int port);
    // A raw 8N1 line; B0 leaves the speed as it is.
    static test_stream serial(const std::string& path, speed_t speed = B0);
    ~test_stream();
    test_stream(test_stream&& other) noexcept;
    test_stream(const test_stream&) = delete;
    test_stream& operator=(const test_stream&) = delete;

    // A command as the application sends it: the text, a line feed and, on
    // TCP, a NUL.
    void command(std::string_view text);
    void raw(std::string_view bytes);

    // One reply line without its carriage return and line feed; nullopt on
    // time-out or when the peer closed.
    std::optional<std::string> line(std::chrono::milliseconds limit = std::chrono::seconds(10));
    // True when the peer closes the connection within the limit (received
    // bytes are discarded).
    bool closed_within(std::chrono::milliseconds limit);

private:
    test_stream(int fd, bool is_tcp) : fd_(fd), is_tcp_(is_tcp) {}
    int fd_;
    bool is_tcp_;
    std::string buffer_;
};
