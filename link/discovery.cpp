// The LAN search. Each method sends its probe three times and collects the
// senders of the answers that pass its test. What a responder can cost us is
// bounded: the list is capped, each poll reads a limited number of datagrams,
// addresses already listed are dropped, and entries have fixed-size fields.

#include "link/discovery.h"

#include "base/ui_seam.h"
#include "link/link.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr int CYCLES = 3;
constexpr auto LISTEN_TIME = 250ms;
constexpr auto POLL_PAUSE = 100ms;
constexpr size_t DATAGRAM_MAX = 1500;
constexpr int DATAGRAMS_PER_POLL = 64;
constexpr size_t A_MIN_LENGTH = 26;
constexpr size_t B_LENGTH = 30;
constexpr uint8_t B_ANSWER = 0xF7;
constexpr uint8_t B_PROBE[] = {0x00, 0x00, 0x00, 0xF6};

// The decimal number after the first "/" of a method A answer, -1 if none.
long number_after_slash(const uint8_t* data, size_t size)
{
    const void* slash = std::memchr(data, '/', size);
    if (!slash)
        return -1;
    size_t i = static_cast<size_t>(static_cast<const uint8_t*>(slash) - data) + 1;
    long v = 0;
    size_t digits = 0;
    for (; i < size && data[i] >= '0' && data[i] <= '9' && digits < 9; ++i, ++digits)
        v = v * 10 + (data[i] - '0');
    return digits ? v : -1;
}

class udp_socket {
public:
    explicit udp_socket(uint16_t local_port);
    ~udp_socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    udp_socket(const udp_socket&) = delete;
    udp_socket& operator=(const udp_socket&) = delete;
    bool ok() const { return fd_ >= 0; }
    void send_probe(const sockaddr_in& to, const void* probe, size_t size);
    // Reads what is waiting; calls take(sender, data, size) for each datagram.
    template <class F> void poll(F take);

private:
    int fd_ = -1;
};

udp_socket::udp_socket(uint16_t local_port)
{
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd_ < 0)
        return;
    const int on = 1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(local_port);
    if (::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0 ||
        ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        ::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

// The probe goes out once the socket is writable; a socket that does not
// become writable within a second skips this cycle's probe.
void udp_socket::send_probe(const sockaddr_in& to, const void* probe, size_t size)
{
    fd_set writable;
    FD_ZERO(&writable);
    FD_SET(fd_, &writable);
    timeval wait{1, 0};
    if (::select(fd_ + 1, nullptr, &writable, nullptr, &wait) <= 0)
        return;
    ::sendto(fd_, probe, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

template <class F> void udp_socket::poll(F take)
{
    uint8_t data[DATAGRAM_MAX];
    for (int i = 0; i < DATAGRAMS_PER_POLL; ++i) {
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n = ::recvfrom(fd_, data, sizeof data, MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from), &len);
        if (n < 0)
            return;
        take(from, data, static_cast<size_t>(n));
    }
}

struct s_found {
    s_discovered* list;
    int count;
    int capacity;

    bool listed(const char* address) const
    {
        for (int i = 0; i < count; ++i)
            if (std::strcmp(list[i].address, address) == 0)
                return true;
        return false;
    }
    void add(const sockaddr_in& from)
    {
        char address[DISCOVERY_ADDRESS_SIZE] = {};
        if (count >= capacity || !inet_ntop(AF_INET, &from.sin_addr, address, sizeof address) ||
            listed(address))
            return;
        s_discovered& e = list[count++];
        std::memset(&e, 0, sizeof e);
        std::memcpy(e.address, address, sizeof address);
    }
};

void run_method(discovery_method method, s_found& found)
{
    const s_discovery_ports ports = discovery_ports(method);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(ports.remote);
    udp_socket sock(ports.local);
    if (!sock.ok() || inet_pton(AF_INET, discovery_target().c_str(), &target.sin_addr) != 1)
        return;
    auto take = [&](const sockaddr_in& from, const uint8_t* data, size_t size) {
        if (discovery_reply_ok(method, data, size))
            found.add(from);
    };
    for (int cycle = 0; cycle < CYCLES && found.count < found.capacity; ++cycle) {
        if (method == DISCOVERY_A)
            sock.send_probe(target, "X", 1);
        else
            sock.send_probe(target, B_PROBE, sizeof B_PROBE);
        const auto until = std::chrono::steady_clock::now() + LISTEN_TIME;
        for (;;) {
            sock.poll(take);
            if (std::chrono::steady_clock::now() >= until)
                break;
            std::this_thread::sleep_for(POLL_PAUSE);
        }
    }
}

} // namespace

bool discovery_reply_ok(discovery_method method, const uint8_t* data, size_t size)
{
    if (method == DISCOVERY_A)
        return size >= A_MIN_LENGTH && data[0] == 'A' &&
               number_after_slash(data, size) == link_tcp_port();
    return size == B_LENGTH && data[3] == B_ANSWER;
}

int discover_lan_instruments(s_discovered* list, int capacity)
{
    wait_cursor busy;
    s_found found{list, 0, capacity};
    run_method(DISCOVERY_A, found);
    if (found.count < capacity)
        run_method(DISCOVERY_B, found);
    if (found.count < capacity)
        std::memset(&list[found.count], 0, sizeof list[found.count]);
    return found.count;
}
