#include "link/link.h"

#include "base/number_format.h"
#include "base/timer_service.h"
#include "link/transport.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

namespace {

bool is_serial(const s_link& link)
{
    return link.interface == LINK_USB || link.interface == LINK_SERIAL;
}

line_result read_line_raw(s_link& link, char* buffer, size_t size)
{
    if (size == 0)
        return {-1, 0};
    if (link.interface == LINK_LAN)
        return tcp_read_line(link, buffer, size);
    if (is_serial(link))
        return serial_read_line(link, buffer, size);
    buffer[0] = '\0';
    return {-1, 0};
}

// A reply whose first byte has its top bit set is one packed value: it is
// replaced by its text.
int packed_line_to_text(char* buffer, size_t size)
{
    unsigned char bytes[PACKED_VALUE_BYTES] = {};
    std::memcpy(bytes, buffer, std::min(size, PACKED_VALUE_BYTES));
    decode_packed(bytes, buffer, size);
    return static_cast<int>(std::strlen(buffer));
}

} // namespace

int link_open(s_link& link)
{
    if (link.is_open)
        return 0;
    int rc = -1;
    if (link.interface == LINK_LAN)
        rc = tcp_open(link);
    else if (is_serial(link))
        rc = serial_open(link);
    if (rc != 0)
        return -1;
    link.is_open = true;
    const char reset[] = {LINK_RESET_BYTE, '\0'};
    link_send(link, reset);
    link_drain(link, 100);
    return 0;
}

void link_close(s_link& link)
{
    tcp_close(link);
    serial_close(link);
    link.is_open = false;
}

int link_send(s_link& link, const char* text)
{
    int rc = -1;
    if (link.interface == LINK_LAN)
        rc = tcp_send(link, text, std::strlen(text) + 1);
    else if (is_serial(link))
        rc = serial_write(link, text, std::strlen(text));
    exchange_log_sent(link, text);
    return rc;
}

int link_read_line(s_link& link, char* buffer, size_t size)
{
    if (size > 0)
        std::memset(buffer, 0, size);
    const line_result line = read_line_raw(link, buffer, size);
    if (line.result < 0 && link.interface == LINK_LAN)
        return LINK_READ_SILENT;
    if (size == 0)
        return line.result;
    // The serial log shows a silent read as an empty received line.
    exchange_log_line(link, buffer);
    if (line.result < 0)
        return LINK_READ_SILENT;
    if (static_cast<unsigned char>(buffer[0]) & 0x80)
        return packed_line_to_text(buffer, size);
    return line.result;
}

int link_read_byte(s_link& link)
{
    if (link.interface == LINK_LAN)
        return tcp_read_byte(link);
    if (is_serial(link))
        return serial_read_byte(link);
    return -2;
}

void link_set_timeout(s_link& link, int ms)
{
    if (link.interface == LINK_LAN)
        link.lan_timeout_ms = ms;
    else if (is_serial(link) && link.serial_handle >= 0)
        link.serial_timeout_ms = ms;
}

int link_read_values(s_link& link, double* values, int max_count)
{
    const auto buffer = std::make_unique_for_overwrite<char[]>(LINK_VALUES_LINE_SIZE);
    buffer[0] = '\0';
    const line_result line = read_line_raw(link, buffer.get(), LINK_VALUES_LINE_SIZE);
    if (line.result < 0 && link.interface == LINK_LAN)
        return LINK_READ_SILENT;
    exchange_log_values(link, buffer.get());
    if (line.result <= 0)
        return line.result;
    return parse_values(std::string_view(buffer.get(), line.stored), values, max_count);
}

void link_drain(s_link& link, int ms)
{
    const int64_t start = clock_ms();
    for (;;) {
        if (link_read_byte(link) >= 0)
            continue;
        if (ms <= 0 || clock_ms() - start > ms)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
