#include "sim/packed.h"
#include "tests/sim/sim_fixture.h"
#include "tests/sim/test_stream.h"
#include "tests/support/build_path.h"

#include <arpa/inet.h>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

TEST(TcpPort, FramingResetByteAndJoinedCommands)
{
    auto sim = start_sim();
    auto link = test_stream::tcp(sim->tcp_port());
    link.raw(std::string("\x14", 1));
    link.raw("*IDN?\n"); // serial framing without the NUL is taken too
    EXPECT_TRUE(link.line().value_or("").starts_with("QUELLMARSH,HXM4100,"));
    link.raw("config,18,9"); // half a command, then the reset byte throws it away
    link.raw(std::string("\x14", 1));
    link.command("config,18?");
    EXPECT_EQ(link.line(), "100");
    link.command("config,1,3;LCR;config,1?;*esr?");
    EXPECT_EQ(link.line(), "3");
    EXPECT_EQ(link.line(), "0");
}

TEST(TcpPort, OverlongLineIsDiscardedWholeAndTheNextOneServed)
{
    auto sim = start_sim();
    auto link = test_stream::tcp(sim->tcp_port());
    link.command("config,18,7" + std::string(100000, ' ') + ";config,18,8");
    link.command("config,18?");
    EXPECT_EQ(link.line(), "100");
}

TEST(TcpPort, ConnectionsShareOneInstrument)
{
    auto sim = start_sim();
    {
        auto first = test_stream::tcp(sim->tcp_port());
        first.command("config,18,42;*esr?");
        EXPECT_EQ(first.line(), "0");
    }
    auto second = test_stream::tcp(sim->tcp_port());
    second.command("config,18?");
    EXPECT_EQ(second.line(), "42");
}

TEST(TcpPort, PackedSweepLinesSurviveTheWire)
{
    sim::sim_options options;
    options.instrument.model = sim::sim_model::hxm6300;
    auto sim = start_sim(options);
    auto link = test_stream::tcp(sim->tcp_port());
    link.command("config,198,2;config,84,1;config,18,20;out,on;start");
    link.command("DAV?");
    EXPECT_EQ(link.line(), "4");
    link.command("gainph,sweep?");
    for (int i = 0; i < 20; ++i) {
        const auto line = link.line();
        ASSERT_TRUE(line);
        ASSERT_EQ(line->size(), 10u * 5 - 1) << i;
        EXPECT_TRUE(static_cast<unsigned char>(line->front()) & 0x80);
        const double hz = sim::packed_decode(reinterpret_cast<const unsigned char*>(line->data()));
        EXPECT_NEAR(hz, 10 * std::pow(1e4, i / 19.0), hz * 1e-5);
    }
    link.command("*IDN?");
    EXPECT_TRUE(link.line().value_or("").starts_with("QUELLMARSH,HXM6300"));
}

TEST(TcpPort, OnlyLoopbackAddressesAreAccepted)
{
    sim::sim_options options;
    options.tcp_host = "0.0.0.0";
    EXPECT_THROW(sim::sim_server(options).start(), std::runtime_error);
    options.tcp_host = "127.0.0.1";
    options.tcp_port = 0;
    options.discovery_address = "192.0.2.2";
    EXPECT_THROW(sim::sim_server(options).start(), std::runtime_error);
}

TEST(Transcript, RecordsCommandsRepliesAndResets)
{
    const auto dir =
        std::filesystem::temp_directory_path() / ("hxm_sim_log_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    sim::sim_options options;
    options.log_path = (dir / "sim.log").string();
    {
        auto sim = start_sim(options);
        auto link = test_stream::tcp(sim->tcp_port());
        link.raw(std::string("\x14", 1));
        link.command("*IDN?");
        ASSERT_TRUE(link.line());
    }
    std::ifstream file(dir / "sim.log");
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("> *IDN?"), std::string::npos);
    EXPECT_NE(text.str().find("< QUELLMARSH,HXM4100"), std::string::npos);
    EXPECT_NE(text.str().find("* reset"), std::string::npos);
    std::filesystem::remove_all(dir);
}

// A LAN search as the application runs it: a socket on any address and the
// method's local port, one probe to the loopback broadcast address, then
// whatever arrives until the answers stop.
std::vector<std::pair<std::string, std::string>> search(int local_port, int remote_port,
                                                        std::string_view probe)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(local_port));
    ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<std::uint16_t>(remote_port));
    ::inet_pton(AF_INET, "127.255.255.255", &target.sin_addr);
    ::sendto(fd, probe.data(), probe.size(), 0, reinterpret_cast<sockaddr*>(&target),
             sizeof target);
    std::vector<std::pair<std::string, std::string>> replies;
    // The first answer may be slow on a loaded machine; once answers come,
    // a short silence ends the search.
    pollfd p{fd, POLLIN, 0};
    int wait_ms = 3000;
    while (::poll(&p, 1, wait_ms) > 0) {
        wait_ms = 300;
        char buffer[1500];
        sockaddr_in sender{};
        socklen_t length = sizeof sender;
        const ssize_t n =
            ::recvfrom(fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&sender), &length);
        char address[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &sender.sin_addr, address, sizeof address);
        if (n > 0 && std::string_view(buffer, static_cast<std::size_t>(n)) != probe) {
            replies.emplace_back(address, std::string(buffer, static_cast<std::size_t>(n)));
        }
    }
    ::close(fd);
    return replies;
}

TEST(Discovery, BothMethodsAnswerALoopbackSearch)
{
    const int base = 20000 + ::getpid() % 20000;
    sim::sim_options options;
    options.discovery_address = "127.0.0.1";
    options.discovery_port_a = base;
    options.discovery_port_b = base + 2;
    auto sim = start_sim(options);

    const auto a = search(base + 1, base, "X");
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].first, "127.0.0.1");
    const std::string& reply = a[0].second;
    EXPECT_GT(reply.size(), 25u);
    EXPECT_EQ(reply.front(), 'A');
    EXPECT_EQ(std::atoi(reply.c_str() + reply.find('/') + 1), sim->tcp_port());

    const auto b = search(base + 2, base + 2, std::string_view("\x00\x00\x00\xF6", 4));
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].first, "127.0.0.1");
    ASSERT_EQ(b[0].second.size(), 30u);
    EXPECT_EQ(static_cast<unsigned char>(b[0].second[3]), 0xF7);

    // Not a probe: asked from a port of its own, so a late duplicate answer to
    // the first search on a loaded machine cannot count here.
    EXPECT_TRUE(search(base + 3, base, "Y").empty());
}

std::string simulator_path()
{
    return HXM_SIM_PATH;
}

TEST(Program, AnnouncesItsListenersFirstAndStopsCleanlyOnTerm)
{
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::execl(simulator_path().c_str(), "hxm-sim", "--tcp", "127.0.0.1:0", "--model", "HXM6300",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::FILE* stream = ::fdopen(out[0], "r");
    char first[128] = {};
    ASSERT_NE(std::fgets(first, sizeof first, stream), nullptr);
    ASSERT_TRUE(std::string_view(first).starts_with("listening tcp 127.0.0.1:")) << first;
    const int port = std::atoi(std::strrchr(first, ':') + 1);
    {
        auto link = test_stream::tcp(port);
        link.command("*IDN?");
        EXPECT_TRUE(link.line().value_or("").starts_with("QUELLMARSH,HXM6300"));
        ::kill(child, SIGTERM); // with a connection still open
        EXPECT_TRUE(link.closed_within(10s));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::fclose(stream);
}

TEST(Program, RefusesBadOptionsWithUsage)
{
    const std::string command = simulator_path() + " --model nonsense 2>/dev/null";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

} // namespace
