#include "base/timer_service.h"
#include "link/link.h"
#include "tests/base/packed_encoder.h"
#include "tests/link/peers.h"

#include <gtest/gtest.h>
#include <termios.h>
#include <thread>
#include <vector>

namespace {

class SerialLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        link.interface = LINK_SERIAL;
        link.port_name = peer.device();
        link.baud_rate = 38400;
    }
    void TearDown() override { link_close(link); }
    void open_link()
    {
        ASSERT_EQ(link_open(link), 0);
        ASSERT_EQ(peer.read_exact(1), "\x14");
    }
    std::string read_line(size_t size)
    {
        std::vector<char> buf(size, 'x');
        const int n = link_read_line(link, buf.data(), buf.size());
        return std::string(buf.data(), static_cast<size_t>(std::max(n, 0)));
    }

    pty_peer peer;
    s_link link;
};

} // namespace

TEST_F(SerialLink, OpeningSendsTheBareResetByteAndWaitsForQuiet)
{
    const int64_t start = clock_ms();
    open_link();
    EXPECT_GE(clock_ms() - start, 100);
    EXPECT_EQ(link_open(link), 0);
    EXPECT_EQ(peer.read_some(150), "");
    EXPECT_EQ(link_send(link, "*IDN?\n"), 6);
    EXPECT_EQ(peer.read_exact(7, 500), "*IDN?\n");
}

TEST_F(SerialLink, OverlongLineContinuesAsTheNextLine)
{
    open_link();
    peer.write("0123456789\r\n");
    EXPECT_EQ(read_line(5), "0123");
    EXPECT_EQ(read_line(5), "4567");
    EXPECT_EQ(read_line(5), "89");
}

TEST_F(SerialLink, LinesAreCutAtTheirFirstReturn)
{
    open_link();
    peer.write("abc\r\nab\rcd\nxyz\n");
    EXPECT_EQ(read_line(64), "abc");
    EXPECT_EQ(read_line(64), "ab");
    EXPECT_EQ(read_line(64), "xyz\n");
}

TEST_F(SerialLink, SilenceEndsAReadAfterThePortTimeout)
{
    open_link();
    link_set_timeout(link, 200);
    peer.write("part");
    const int64_t start = clock_ms();
    EXPECT_EQ(read_line(64), "part");
    EXPECT_EQ(read_line(64), "");
    EXPECT_GE(clock_ms() - start, 400);
    link_close(link);
    link_set_timeout(link, 50);
    EXPECT_EQ(link.serial_timeout_ms, 200);
    open_link();
    EXPECT_EQ(link.serial_timeout_ms, LINK_DEFAULT_TIMEOUT_MS);
    link_close(link);
    link.timeout_ms = 300; // the link's own wait, from each opening on
    open_link();
    EXPECT_EQ(link.serial_timeout_ms, 300);
}

TEST_F(SerialLink, SinglePackedValueAndValueLists)
{
    open_link();
    const auto bytes = encode_packed(-0.00001);
    peer.write(std::string(reinterpret_cast<const char*>(bytes.data()), 4) + "\r\n");
    EXPECT_EQ(read_line(64), "-1.00000E-5");
    double v[4] = {};
    peer.write("7,8,9\r\n");
    EXPECT_EQ(link_read_values(link, v, 4), 3);
    EXPECT_EQ(v[2], 9.0);
    link_set_timeout(link, 100);
    EXPECT_EQ(link_read_values(link, v, 4), LINK_READ_SILENT);
}

TEST_F(SerialLink, SilenceIsToldApartFromAnEmptyLine)
{
    open_link();
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

TEST_F(SerialLink, ReadByteAndDrainOfZero)
{
    open_link();
    EXPECT_EQ(link_read_byte(link), -2);
    peer.write("zz");
    const int64_t start = clock_ms();
    int byte = -2;
    while ((byte = link_read_byte(link)) == -2 && clock_ms() - start < 5000)
        ;
    EXPECT_EQ(byte, 'z');
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const int64_t before = clock_ms();
    link_drain(link, 0);
    EXPECT_LT(clock_ms() - before, 50);
    EXPECT_EQ(link_read_byte(link), -2);
}

TEST(SerialOpen, MissingDeviceOrUnknownSpeedFails)
{
    s_link link;
    link.interface = LINK_SERIAL;
    link.port_name = "/nonexistent/tty";
    link.baud_rate = 9600;
    EXPECT_EQ(link_open(link), -1);
    pty_peer peer;
    link.port_name = peer.device();
    link.baud_rate = 12345;
    EXPECT_EQ(link_open(link), -1);
    EXPECT_FALSE(link.is_open);
    EXPECT_EQ(link.serial_handle, -1);
    EXPECT_EQ(link_send(link, "x\n"), 0);
    link.interface = LINK_USB;
    EXPECT_EQ(link_open(link), 0);
    termios tio{};
    ASSERT_EQ(tcgetattr(link.serial_handle, &tio), 0);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B19200));
    EXPECT_EQ(tio.c_cflag & (CSIZE | PARENB | CSTOPB), static_cast<tcflag_t>(CS8));
    link_close(link);
    EXPECT_EQ(link.serial_handle, -1);
}
