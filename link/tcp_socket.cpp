// The LAN transport: a TCP client socket to the instrument. Received bytes
// are gathered into the link's ring by zero-wait polls, so a burst of sweep
// data is taken in a few calls and handed out one byte at a time.

#include "base/timer_service.h"
#include "link/transport.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::atomic<int> g_tcp_port{LINK_DEFAULT_TCP_PORT};

// At most this many bytes are taken from the socket per poll.
constexpr size_t k_poll_chunk = 255;
constexpr int k_wait_step_ms = 10;

bool set_blocking(int fd, bool blocking)
{
    const int flags = fcntl(fd, F_GETFL, 0);
    if (flags < 0)
        return false;
    return fcntl(fd, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK) == 0;
}

// Waits for a non-blocking connect to finish; a refused or failed connect
// also makes the socket writable, so its pending error decides.
bool connect_finished(int fd, int timeout_ms)
{
    pollfd p{fd, POLLOUT, 0};
    int n = 0;
    do
        n = ::poll(&p, 1, timeout_ms);
    while (n < 0 && errno == EINTR);
    if (n <= 0 || !(p.revents & POLLOUT))
        return false;
    int error = 0;
    socklen_t len = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0;
}

bool connect_to(int fd, const sockaddr_in& addr)
{
    if (!set_blocking(fd, false))
        return false;
    const int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr);
    if (rc != 0 && (errno != EINPROGRESS || !connect_finished(fd, LINK_CONNECT_TIMEOUT_MS)))
        return false;
    return set_blocking(fd, true);
}

void reset_ring(s_link& link)
{
    link.rx_count = 0;
    link.rx_read = 0;
    link.rx_write = 0;
}

// Takes what the socket holds, as far as the ring has room: unread bytes are
// never overwritten. False once the peer has closed the connection.
bool poll_into_ring(s_link& link)
{
    const size_t room = LINK_RING_SIZE - static_cast<size_t>(link.rx_count);
    if (link.socket < 0)
        return false;
    pollfd p{link.socket, POLLIN, 0};
    if (room == 0 || ::poll(&p, 1, 0) <= 0 || !(p.revents & (POLLIN | POLLHUP)))
        return true;
    unsigned char chunk[k_poll_chunk];
    const ssize_t n = ::recv(link.socket, chunk, std::min(room, k_poll_chunk), MSG_DONTWAIT);
    if (n == 0)
        return false;
    for (ssize_t i = 0; i < n; ++i) {
        link.rx_ring[static_cast<size_t>(link.rx_write)] = chunk[i];
        link.rx_write = static_cast<int32_t>((link.rx_write + 1) % LINK_RING_SIZE);
        ++link.rx_count;
    }
    return true;
}

int take_from_ring(s_link& link)
{
    if (link.rx_count == 0)
        return -2;
    const int byte = link.rx_ring[static_cast<size_t>(link.rx_read)];
    link.rx_read = static_cast<int32_t>((link.rx_read + 1) % LINK_RING_SIZE);
    --link.rx_count;
    return byte;
}

// The next byte, waiting in 10 ms steps up to the link's LAN read time-out.
int wait_byte(s_link& link)
{
    const int64_t start = clock_ms();
    for (;;) {
        const bool connected = link.rx_count > 0 || poll_into_ring(link);
        const int byte = take_from_ring(link);
        if (byte >= 0)
            return byte;
        if (!connected || link_cancelled(link))
            return -1;
        pollfd p{link.socket, POLLIN, 0};
        ::poll(&p, 1, k_wait_step_ms);
        if (clock_ms() - start > link.lan_timeout_ms)
            return -1;
    }
}

} // namespace

void link_set_tcp_port(int port)
{
    g_tcp_port = port;
}

int link_tcp_port()
{
    return g_tcp_port;
}

int link_lan_timeout(const s_link& link)
{
    return link.lan_timeout_ms;
}

int tcp_open(s_link& link)
{
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port =
        htons(static_cast<uint16_t>(link.tcp_port > 0 ? link.tcp_port : link_tcp_port()));
    if (inet_pton(AF_INET, link.ip_address.c_str(), &addr.sin_addr) != 1)
        return -1;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (!connect_to(fd, addr)) {
        ::close(fd);
        return -1;
    }
    // Commands are short and usually followed at once by another (a set and
    // its "*esr?"): without this the second waits for the peer's delayed
    // acknowledgement, some 40 ms per exchange.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    link.socket = fd;
    reset_ring(link);
    return 0;
}

void tcp_close(s_link& link)
{
    if (link.socket < 0)
        return;
    ::shutdown(link.socket, SHUT_WR);
    ::close(link.socket);
    link.socket = -1;
}

int tcp_send(s_link& link, const char* text, size_t length_with_nul)
{
    if (link.socket < 0)
        return -1;
    const ssize_t n = ::send(link.socket, text, length_with_nul, MSG_NOSIGNAL);
    return n == static_cast<ssize_t>(length_with_nul) ? 0 : -1;
}

int tcp_read_byte(s_link& link)
{
    if (link.rx_count == 0)
        poll_into_ring(link);
    return take_from_ring(link);
}

line_result tcp_read_line(s_link& link, char* buffer, size_t size)
{
    size_t stored = 0;
    for (;;) {
        const int byte = wait_byte(link);
        if (byte < 0) {
            buffer[stored] = '\0';
            return {-1, stored};
        }
        if (byte == '\n')
            break;
        if (byte != '\r' && stored + 1 < size)
            buffer[stored++] = static_cast<char>(byte);
    }
    buffer[stored] = '\0';
    return {static_cast<int>(stored), stored};
}
