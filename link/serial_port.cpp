// Serial and USB virtual serial ports: raw 8N1 at the chosen speed, DTR and
// RTS held on, no flow control. Each byte of a reply is awaited up to the
// port's read time-out (5000 ms after every open).

#include "base/timer_service.h"
#include "link/transport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Write time-out: 10 ms per byte plus 1 ms.
constexpr int k_write_ms_per_byte = 10;
constexpr int k_write_ms_constant = 1;

bool speed_of(int baud, speed_t& speed)
{
    switch (baud) {
    case 1200: speed = B1200; return true;
    case 2400: speed = B2400; return true;
    case 4800: speed = B4800; return true;
    case 9600: speed = B9600; return true;
    case 19200: speed = B19200; return true;
    case 38400: speed = B38400; return true;
    case 57600: speed = B57600; return true;
    case 115200: speed = B115200; return true;
    default: return false;
    }
}

bool configure(int fd, int baud)
{
    speed_t speed{};
    termios tio{};
    if (!speed_of(baud, speed) || tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0)
        return false;
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        return false;
    // Hold DTR and RTS on; a pseudo-terminal has no modem lines and refuses.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &lines);
    return true;
}

// Each wait for a byte lasts at most this long, so that a cancel is seen.
constexpr int64_t k_cancel_check_ms = 100;

// Waits up to timeout_ms for one byte; -1 when none came, the read failed
// or the exchange was cancelled.
int wait_byte(const s_link& link, int fd, int timeout_ms)
{
    const int64_t deadline = clock_ms() + std::max(timeout_ms, 0);
    for (;;) {
        if (link_cancelled(link))
            return -1;
        unsigned char byte = 0;
        const ssize_t n = ::read(fd, &byte, 1);
        if (n == 1)
            return byte;
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return -1;
        const int64_t left = deadline - clock_ms();
        if (left <= 0)
            return -1;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(std::min(left, k_cancel_check_ms))) < 0 &&
            errno != EINTR)
            return -1;
        if (p.revents & (POLLERR | POLLNVAL))
            return -1;
    }
}

} // namespace

int serial_open(s_link& link)
{
    const int fd = ::open(link.port_name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // A USB virtual port always runs at 19200 baud.
    const int baud = link.interface == LINK_USB ? LINK_USB_BAUD : link.baud_rate;
    if (ioctl(fd, TIOCEXCL) != 0 || !configure(fd, baud)) {
        ::close(fd);
        return -1;
    }
    link.serial_handle = fd;
    link.serial_timeout_ms = link_usual_timeout(link);
    return 0;
}

void serial_close(s_link& link)
{
    if (link.serial_handle < 0)
        return;
    tcflush(link.serial_handle, TCIOFLUSH);
    ::close(link.serial_handle);
    link.serial_handle = -1;
}

int serial_write(s_link& link, const char* text, size_t length)
{
    if (link.serial_handle < 0)
        return 0;
    const int64_t deadline =
        clock_ms() + k_write_ms_per_byte * static_cast<int64_t>(length) + k_write_ms_constant;
    size_t done = 0;
    while (done < length) {
        const ssize_t n = ::write(link.serial_handle, text + done, length - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
        const int64_t left = deadline - clock_ms();
        if (left <= 0)
            break;
        pollfd p{link.serial_handle, POLLOUT, 0};
        ::poll(&p, 1, static_cast<int>(left));
    }
    return static_cast<int>(done);
}

int serial_read_byte(s_link& link)
{
    if (link.serial_handle < 0)
        return -1;
    int queued = 0;
    if (ioctl(link.serial_handle, FIONREAD, &queued) != 0 || queued <= 0)
        return -2;
    unsigned char byte = 0;
    return ::read(link.serial_handle, &byte, 1) == 1 ? byte : -1;
}

line_result serial_read_line(s_link& link, char* buffer, size_t size)
{
    size_t stored = 0;
    bool timed_out = link.serial_handle < 0;
    while (stored + 1 < size && link.serial_handle >= 0) {
        const int byte = wait_byte(link, link.serial_handle, link.serial_timeout_ms);
        if (byte < 0) {
            timed_out = true;
            break;
        }
        buffer[stored++] = static_cast<char>(byte);
        if (byte == '\n')
            break;
    }
    buffer[stored] = '\0';
    if (void* cr = std::memchr(buffer, '\r', stored)) {
        stored = static_cast<size_t>(static_cast<char*>(cr) - buffer);
        buffer[stored] = '\0';
    }
    // Nothing at all before the time-out is a silent instrument, not an
    // empty line: the caller must not take it for a line to skip.
    if (timed_out && stored == 0)
        return {-1, 0};
    return {static_cast<int>(stored), stored};
}
