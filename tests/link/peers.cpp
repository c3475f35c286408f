#include "tests/link/peers.h"

#include "base/timer_service.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

std::string read_fd(int fd, size_t n, int timeout_ms)
{
    std::string out;
    const int64_t deadline = clock_ms() + timeout_ms;
    while (out.size() < n) {
        const int64_t left = deadline - clock_ms();
        pollfd p{fd, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0)
            break;
        char chunk[4096];
        const ssize_t got = ::read(fd, chunk, std::min(sizeof chunk, n - out.size()));
        if (got <= 0)
            break;
        out.append(chunk, static_cast<size_t>(got));
    }
    return out;
}

namespace {

void write_all(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error("peer write failed");
        done += static_cast<size_t>(n);
    }
}

} // namespace

tcp_peer::tcp_peer()
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error("loopback listener failed");
    port_ = ntohs(addr.sin_port);
}

tcp_peer::~tcp_peer()
{
    close_connection();
    ::close(listener_);
}

bool tcp_peer::accept_link()
{
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, 5000) <= 0)
        return false;
    conn_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    return conn_ >= 0;
}

std::string tcp_peer::read_exact(size_t n, int timeout_ms)
{
    return read_fd(conn_, n, timeout_ms);
}

std::string tcp_peer::read_some(int timeout_ms)
{
    return read_fd(conn_, 1 << 20, timeout_ms);
}

void tcp_peer::write(const std::string& bytes)
{
    write_all(conn_, bytes);
}

void tcp_peer::close_connection()
{
    if (conn_ >= 0)
        ::close(conn_);
    conn_ = -1;
}

pty_peer::pty_peer()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        throw std::runtime_error("pseudo-terminal failed");
    device_ = ::ptsname(master_);
}

pty_peer::~pty_peer()
{
    ::close(master_);
}

std::string pty_peer::read_exact(size_t n, int timeout_ms)
{
    return read_fd(master_, n, timeout_ms);
}

std::string pty_peer::read_some(int timeout_ms)
{
    return read_fd(master_, 1 << 20, timeout_ms);
}

void pty_peer::write(const std::string& bytes)
{
    write_all(master_, bytes);
}
