#include "base/profile_file.h"
#include "link/discovery.h"
#include "link/link.h"
#include "tests/config/fake_instrument.h"

#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <set>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// Ports of this test process, away from the instruments' own.
uint16_t test_port(int n)
{
    return static_cast<uint16_t>(20000 + (::getpid() % 4000) * 4 + n);
}

int udp_socket(const char* address, uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, address, &a.sin_addr);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0) << address;
    return fd;
}

// Answers every probe arriving on a port with what `answers` gives: pairs of
// sender address (127.x.y.z) and datagram.
class responder {
public:
    using answers_fn =
        std::function<std::vector<std::pair<std::string, std::string>>(const std::string& probe)>;
    responder(uint16_t port, answers_fn answers)
        : fd_(udp_socket("0.0.0.0", port)), answers_(std::move(answers)),
          thread_([this] { serve(); })
    {
    }
    ~responder()
    {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    int probes() const { return probes_; }

private:
    void serve()
    {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            char buf[64];
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const ssize_t n =
                ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n < 0)
                continue;
            ++probes_;
            for (const auto& [address, data] : answers_(std::string(buf, size_t(n)))) {
                const int out = udp_socket(address.c_str(), 0);
                ::sendto(out, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
                ::close(out);
            }
        }
    }

    int fd_;
    answers_fn answers_;
    std::atomic<bool> stop_{false};
    std::atomic<int> probes_{0};
    std::thread thread_;
};

std::string answer_a(int port)
{
    return "A" + std::string(20, 'x') + "/" + std::to_string(port) + "/HXM6300";
}

std::string answer_b()
{
    return std::string("\0\0\0\xF7", 4) + std::string(26, 'b');
}

class Discovery : public ::testing::Test {
protected:
    void SetUp() override
    {
        discovery_set_target("127.255.255.255");
        discovery_set_ports(DISCOVERY_A, {test_port(0), test_port(1)});
        discovery_set_ports(DISCOVERY_B, {test_port(2), test_port(3)});
        link_set_tcp_port(10001);
    }
    std::set<std::string> addresses(int n) const
    {
        std::set<std::string> out;
        for (int i = 0; i < n; ++i)
            out.insert(list[i].address);
        return out;
    }
    s_discovered list[DISCOVERY_CAPACITY];
};

} // namespace

// The defaults are the address and ports instruments listen on. The other
// tests point the settings at loopback, so the defaults are looked at in a
// fresh run of this test binary; nothing is sent.
TEST(DiscoverySettings, DefaultsAreTheInstrumentsOwn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const s_discovery_ports a = discovery_ports(DISCOVERY_A);
            const s_discovery_ports b = discovery_ports(DISCOVERY_B);
            std::fprintf(stderr, "%s A %u>%u B %u>%u\n", discovery_target().c_str(), a.local,
                         a.remote, b.local, b.remote);
            const bool ok = discovery_target() == "255.255.255.255" && a.local == 65534 &&
                            a.remote == 65535 && b.local == 30718 && b.remote == 30718;
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// The settings file may point the ports elsewhere; a key that does not
// read as two ports leaves its method as it was.
TEST(DiscoverySettings, PortsFromTheSettingsFile)
{
    const std::string file =
        (std::filesystem::temp_directory_path() / ("discovery_ports_" + std::to_string(::getpid())))
            .string();
    const struct {
        const char* a;
        const char* b;
        s_discovery_ports want_a;
        s_discovery_ports want_b;
    } cases[] = {
        {"0,40001", "40002,40003", {0, 40001}, {40002, 40003}},
        {"", "0,0", {0, 40001}, {40002, 40003}},
        {"1,70000", "5,6,7", {0, 40001}, {40002, 40003}},
        {"x", " 7,8", {0, 40001}, {7, 8}},
    };
    for (const auto& c : cases) {
        std::remove(file.c_str());
        if (*c.a)
            profile_write(file, "Connect", "DiscoveryPortsA", c.a);
        profile_write(file, "Connect", "DiscoveryPortsB", c.b);
        discovery_read_ports(file);
        const s_discovery_ports a = discovery_ports(DISCOVERY_A);
        const s_discovery_ports b = discovery_ports(DISCOVERY_B);
        EXPECT_EQ(a.local, c.want_a.local) << c.a;
        EXPECT_EQ(a.remote, c.want_a.remote) << c.a;
        EXPECT_EQ(b.local, c.want_b.local) << c.b;
        EXPECT_EQ(b.remote, c.want_b.remote) << c.b;
    }
    std::remove(file.c_str());
}

TEST(DiscoveryReply, TestsOfBothMethods)
{
    link_set_tcp_port(10001);
    auto ok = [](discovery_method m, const std::string& d) {
        return discovery_reply_ok(m, reinterpret_cast<const uint8_t*>(d.data()), d.size());
    };
    EXPECT_TRUE(ok(DISCOVERY_A, answer_a(10001)));
    EXPECT_FALSE(ok(DISCOVERY_A, answer_a(10002)));
    EXPECT_FALSE(ok(DISCOVERY_A, "A/10001 but only 25 chars"));
    EXPECT_TRUE(ok(DISCOVERY_A, "A/10001 and now 26 chars.."));
    EXPECT_FALSE(ok(DISCOVERY_A, "B" + answer_a(10001).substr(1)));
    EXPECT_FALSE(ok(DISCOVERY_A, "A" + std::string(40, '1')));
    EXPECT_FALSE(ok(DISCOVERY_A, "A" + std::string(30, 'x') + "/"));
    EXPECT_FALSE(ok(DISCOVERY_A, "A" + std::string(30, 'x') + "/99999999999999999999"));
    EXPECT_TRUE(ok(DISCOVERY_B, answer_b()));
    EXPECT_FALSE(ok(DISCOVERY_B, answer_b() + "x"));
    EXPECT_FALSE(ok(DISCOVERY_B, std::string(30, '\0')));
}

TEST_F(Discovery, BothMethodsWithDuplicatesAndJunkDropped)
{
    responder a(test_port(1), [](const std::string& probe) {
        EXPECT_EQ(probe, "X");
        return std::vector<std::pair<std::string, std::string>>{{"127.0.0.2", answer_a(10001)},
                                                                {"127.0.0.2", answer_a(10001)},
                                                                {"127.0.0.3", answer_a(10001)},
                                                                {"127.0.0.4", answer_a(4000)},
                                                                {"127.0.0.4", "junk"}};
    });
    responder b(test_port(3), [](const std::string& probe) {
        EXPECT_EQ(probe, std::string("\0\0\0\xF6", 4));
        return std::vector<std::pair<std::string, std::string>>{{"127.0.0.3", answer_b()},
                                                                {"127.0.0.5", answer_b()}};
    });
    std::memset(list, 'z', sizeof list);
    const int n = discover_lan_instruments(list, DISCOVERY_CAPACITY);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(addresses(n), (std::set<std::string>{"127.0.0.2", "127.0.0.3", "127.0.0.5"}));
    EXPECT_EQ(list[0].identity[0], '\0');
    EXPECT_EQ(list[3].address[0], '\0');
    EXPECT_EQ(a.probes(), 3);
    EXPECT_EQ(b.probes(), 3);
}

TEST_F(Discovery, AFloodFillsTheListAndNoMore)
{
    responder a(test_port(1), [](const std::string&) {
        std::vector<std::pair<std::string, std::string>> out;
        for (int i = 1; i <= 40; ++i)
            out.emplace_back("127.0.1." + std::to_string(i), answer_a(10001));
        return out;
    });
    responder b(test_port(3), [](const std::string&) {
        return std::vector<std::pair<std::string, std::string>>{{"127.0.2.1", answer_b()}};
    });
    const int n = discover_lan_instruments(list, 10);
    EXPECT_EQ(n, 10);
    EXPECT_EQ(addresses(n).size(), 10u);
    EXPECT_EQ(b.probes(), 0);
}

TEST_F(Discovery, NothingAnswersOrNoSocket)
{
    EXPECT_EQ(discover_lan_instruments(list, DISCOVERY_CAPACITY), 0);
    EXPECT_EQ(list[0].address[0], '\0');
    discovery_set_target("not an address");
    EXPECT_EQ(discover_lan_instruments(list, DISCOVERY_CAPACITY), 0);
}

TEST_F(Discovery, ProbingIdentifiesEachFoundAddress)
{
    std::atomic<int> asked{0};
    fake_instrument peer([&](const std::string& c) -> std::optional<std::string> {
        if (c != "*IDN?")
            return std::nullopt;
        switch (asked++) {
        case 0: return "QUELLMARSH,HXM4100,SN1,1.0";
        case 1: return "ACME,METER,1,1";
        default: return std::nullopt;
        }
    });
    link_set_tcp_port(peer.port());
    s_discovered found[5] = {};
    std::strcpy(found[0].address, "127.0.0.1");
    std::strcpy(found[1].address, "127.0.0.9");
    std::strcpy(found[2].address, "127.0.0.1");
    std::strcpy(found[3].address, "127.0.0.1");
    const std::vector<s_chooser_row> rows = discovery_probe(found, 5);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].entry, 0);
    EXPECT_EQ(rows[0].text, "127.0.0.1\tQUELLMARSH,HXM4100,SN1,1.0");
    EXPECT_STREQ(found[0].identity, "QUELLMARSH,HXM4100,SN1,1.0");
    EXPECT_EQ(rows[1].entry, 1);
    EXPECT_EQ(rows[1].text, "127.0.0.9\tConnection Failed 1");
    EXPECT_EQ(rows[2].entry, 3);
    EXPECT_EQ(rows[2].text, "127.0.0.1\tConnection Failed 2");
    EXPECT_EQ(found[2].identity[0], '\0');
    // The program's own link is left alone.
    EXPECT_EQ(link_lan_timeout(g_link), LINK_DEFAULT_TIMEOUT_MS);
}
