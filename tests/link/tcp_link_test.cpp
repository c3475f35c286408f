#include "base/timer_service.h"
#include "link/link.h"
#include "tests/base/packed_encoder.h"
#include "tests/link/peers.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

class LanLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        link_set_tcp_port(peer.port());
        link.interface = LINK_LAN;
        link.ip_address = "127.0.0.1";
    }
    void TearDown() override
    {
        link_close(link);
        link_set_timeout(link, LINK_DEFAULT_TIMEOUT_MS);
    }
    // Opens the link and takes the reset byte that opening sends.
    void open_and_accept()
    {
        ASSERT_EQ(link_open(link), 0);
        ASSERT_TRUE(peer.accept_link());
        ASSERT_EQ(peer.read_exact(2), std::string("\x14\0", 2));
    }
    std::string read_line(size_t size)
    {
        std::vector<char> buf(size, 'x');
        const int n = link_read_line(link, buf.data(), buf.size());
        return n < 0 ? "<timeout>" : std::string(buf.data(), static_cast<size_t>(n));
    }

    tcp_peer peer;
    s_link link;
};

} // namespace

TEST_F(LanLink, OpeningSendsTheResetByteAndDrainsWhatArrives)
{
    std::thread instrument([this] {
        ASSERT_TRUE(peer.accept_link());
        ASSERT_EQ(peer.read_exact(2), std::string("\x14\0", 2));
        peer.write("stale reply\r\n");
    });
    const int64_t start = clock_ms();
    ASSERT_EQ(link_open(link), 0);
    EXPECT_GE(clock_ms() - start, 100);
    instrument.join();
    EXPECT_TRUE(link.is_open);
    EXPECT_EQ(link_open(link), 0);
    EXPECT_EQ(peer.read_some(150), "");
    peer.write("fresh\r\n");
    EXPECT_EQ(read_line(64), "fresh");
}

TEST_F(LanLink, EveryCommandIsFollowedByANul)
{
    open_and_accept();
    EXPECT_EQ(link_send(link, "*IDN?\n"), 0);
    EXPECT_EQ(link_send(link, std::string("config,1,1;FRA\n")), 0);
    EXPECT_EQ(peer.read_exact(22), std::string("*IDN?\n\0config,1,1;FRA\n\0", 22));
}

TEST_F(LanLink, LinesLoseTheirReturnsAndOverlongTailsAreDropped)
{
    open_and_accept();
    peer.write("a\rb\r\n0123456789\r\nnext\n\r\n");
    EXPECT_EQ(read_line(64), "ab");
    EXPECT_EQ(read_line(5), "0123");
    EXPECT_EQ(read_line(64), "next");
    EXPECT_EQ(read_line(64), "");
}

TEST_F(LanLink, SinglePackedValueArrivesAsText)
{
    open_and_accept();
    const auto bytes = encode_packed(12345.0);
    peer.write(std::string(reinterpret_cast<const char*>(bytes.data()), 4) + "\r\n");
    EXPECT_EQ(read_line(64), "1.23450E4");
}

TEST_F(LanLink, ReadTimesOutAfterTheLanTimeout)
{
    open_and_accept();
    link_set_timeout(link, 300);
    EXPECT_EQ(link_lan_timeout(link), 300);
    EXPECT_EQ(link_lan_timeout(g_link), LINK_DEFAULT_TIMEOUT_MS); // each link its own
    const int64_t start = clock_ms();
    peer.write("partial");
    EXPECT_EQ(read_line(64), "<timeout>");
    const int64_t waited = clock_ms() - start;
    EXPECT_GE(waited, 300);
    EXPECT_LT(waited, 3000);
}

TEST_F(LanLink, NegativeTimeoutGivesUpAtOnceButReadsWhatIsThere)
{
    open_and_accept();
    link_set_timeout(link, -1);
    const int64_t start = clock_ms();
    EXPECT_EQ(read_line(64), "<timeout>");
    EXPECT_LT(clock_ms() - start, 1000);
    peer.write("ready\r\n");
    while (link_read_byte(link) == -2 && clock_ms() - start < 5000)
        ;
    EXPECT_EQ(read_line(64), "eady");
}

TEST_F(LanLink, DrainOfZeroDiscardsOnlyWhatIsWaiting)
{
    open_and_accept();
    peer.write("junk");
    const int64_t start = clock_ms();
    while (link_read_byte(link) == -2 && clock_ms() - start < 5000)
        ;
    const int64_t before = clock_ms();
    link_drain(link, 0);
    EXPECT_LT(clock_ms() - before, 50);
    EXPECT_EQ(link_read_byte(link), -2);
}

TEST_F(LanLink, ClosedPeerEndsAReadAtOnce)
{
    open_and_accept();
    peer.write("last");
    peer.close_connection();
    const int64_t start = clock_ms();
    EXPECT_EQ(read_line(64), "<timeout>");
    EXPECT_LT(clock_ms() - start, 2000);
}

TEST_F(LanLink, ValuesOfDecimalAndPackedLines)
{
    open_and_accept();
    double v[6] = {};
    peer.write("1.5,-2.25\r\n");
    EXPECT_EQ(link_read_values(link, v, 6), 2);
    EXPECT_EQ(v[1], -2.25);
    std::string packed;
    for (double x : {100.0, -0.5, 3.0}) {
        const auto b = encode_packed(x);
        packed.append(reinterpret_cast<const char*>(b.data()), 4);
        packed += ',';
    }
    packed.append(5, '\0');
    peer.write(packed + "\r\n");
    EXPECT_EQ(link_read_values(link, v, 6), 3);
    EXPECT_EQ(v[0], 100.0);
    EXPECT_EQ(v[1], -0.5);
    EXPECT_EQ(v[2], 3.0);
    peer.write("\r\n");
    EXPECT_EQ(link_read_values(link, v, 6), 0);
}

TEST_F(LanLink, SilenceIsToldApartFromAnEmptyLine)
{
    open_and_accept();
    link_set_timeout(link, 100);
    const struct {
        const char* sent;
        int line, values;
    } cases[] = {{"\r\n", 0, 0}, {"", LINK_READ_SILENT, LINK_READ_SILENT}, {"4,5\r\n", 3, 2}};
    for (const auto& c : cases) {
        char buf[16];
        double v[4];
        peer.write(c.sent);
        EXPECT_EQ(link_read_line(link, buf, sizeof buf), c.line) << c.sent;
        peer.write(c.sent);
        EXPECT_EQ(link_read_values(link, v, 4), c.values) << c.sent;
    }
}

TEST_F(LanLink, LineLongerThanTheRingArrivesWhole)
{
    open_and_accept();
    std::string line;
    for (int i = 0; i < 5000; ++i)
        line += std::to_string(i) + ",";
    line += "5000\r\n";
    ASSERT_GT(line.size(), 2 * LINK_RING_SIZE);
    std::thread writer([&] { peer.write(line); });
    std::vector<double> v(6000);
    EXPECT_EQ(link_read_values(link, v.data(), 6000), 5001);
    writer.join();
    for (int i = 0; i <= 5000; ++i)
        ASSERT_EQ(v[static_cast<size_t>(i)], i);
}

TEST(LanConnect, GivesUpAfterAboutTwoSecondsWhenTheBacklogIsFull)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), len), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    // Fill the accept queue; later connection attempts then go unanswered.
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
        fillers.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
        ::connect(fillers.back(), reinterpret_cast<sockaddr*>(&addr), len);
    }
    link_set_tcp_port(ntohs(addr.sin_port));
    s_link link;
    link.interface = LINK_LAN;
    link.ip_address = "127.0.0.1";
    const int64_t start = clock_ms();
    EXPECT_EQ(link_open(link), -1);
    const int64_t waited = clock_ms() - start;
    EXPECT_GE(waited, 1900);
    EXPECT_LT(waited, 4000);
    EXPECT_FALSE(link.is_open);
    EXPECT_EQ(link.socket, -1);
    for (int fd : fillers)
        ::close(fd);
    ::close(listener);
}

TEST(LanConnect, RefusedOrMalformedAddressFailsAtOnce)
{
    tcp_peer peer;
    const int unused_port = peer.port();
    s_link link;
    link.interface = LINK_LAN;
    link.ip_address = "127.0.0.1";
    {
        tcp_peer closed;
        link_set_tcp_port(closed.port());
    }
    const int64_t start = clock_ms();
    EXPECT_EQ(link_open(link), -1);
    EXPECT_LT(clock_ms() - start, 1000);
    link_set_tcp_port(unused_port);
    link.ip_address = "127.0.0.300";
    EXPECT_EQ(link_open(link), -1);
    link.interface = LINK_NONE;
    EXPECT_EQ(link_open(link), -1);
}
