// How fast sweep replies are taken in: the parser on the longest sweep line,
// and a whole 3000-line sweep reply read from a loopback peer.

#include "base/number_format.h"
#include "link/link.h"

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int k_sweep_lines = 3000;

// A decimal line of exactly n bytes: values like "-1.234567E+03" joined by commas.
std::string long_line(size_t n)
{
    std::string line;
    for (int i = 0; line.size() < n; ++i)
        line += (i % 2 ? "-1.234567E+03," : "9.876543E-01,");
    line.resize(n);
    return line;
}

// One sweep step as the instrument sends it: ten values and CR LF.
std::string sweep_reply()
{
    std::string reply;
    for (int i = 0; i < k_sweep_lines; ++i)
        reply += "1.000000E+03,2.500000E-01,2.400000E-01,-3.521000E-01,-4.512300E+01,"
                 "1.253000E-04,0,0,0,0\r\n";
    return reply;
}

void BM_ParseLongestSweepLine(benchmark::State& state)
{
    const std::string line = long_line(LINK_VALUES_LINE_SIZE - 1);
    std::vector<double> values(4000);
    for (auto _ : state)
        benchmark::DoNotOptimize(parse_values(line, values.data(), 4000));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_ParseLongestSweepLine);

class loopback_instrument {
public:
    loopback_instrument()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&addr), len);
        ::listen(listener_, 4);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        link_set_tcp_port(ntohs(addr.sin_port));
    }
    ~loopback_instrument() { ::close(listener_); }
    // Accepts one connection, waits for the request and sends the reply.
    std::thread serve(const std::string& reply)
    {
        return std::thread([this, &reply] {
            const int conn = ::accept(listener_, nullptr, nullptr);
            char request[64];
            ssize_t n = 0;
            while ((n = ::recv(conn, request, sizeof request, 0)) > 0 &&
                   std::string_view(request, static_cast<size_t>(n)).find('?') ==
                       std::string_view::npos)
                ;
            ::send(conn, reply.data(), reply.size(), MSG_NOSIGNAL);
            char rest[64];
            while (::recv(conn, rest, sizeof rest, 0) > 0)
                ;
            ::close(conn);
        });
    }

private:
    int listener_ = -1;
};

void BM_ReadSweepReplyOverLan(benchmark::State& state)
{
    loopback_instrument instrument;
    const std::string reply = sweep_reply();
    double values[10];
    for (auto _ : state) {
        state.PauseTiming();
        std::thread peer = instrument.serve(reply);
        s_link link;
        link.interface = LINK_LAN;
        link.ip_address = "127.0.0.1";
        link_open(link);
        state.ResumeTiming();
        link_send(link, "gainph,sweep?\n");
        int lines = 0;
        while (lines < k_sweep_lines && link_read_values(link, values, 10) == 10)
            ++lines;
        state.PauseTiming();
        if (lines != k_sweep_lines)
            state.SkipWithError("short sweep reply");
        link_close(link);
        peer.join();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * k_sweep_lines);
}
BENCHMARK(BM_ReadSweepReplyOverLan)->Unit(benchmark::kMillisecond);

} // namespace
