// The comms log lines of the transport: every command sent and every reply
// line received, numbered, with the serial number of the instrument when
// its identity is known. The "unknown" forms differ in one blank, as the
// log has always been written: sends and single lines have a blank before
// the arrows, value lines none.

#include "link/comms_log.h"
#include "link/transport.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace {

enum class direction { sent, line, values };

// The serial number of the identity, when it has at least three fields.
bool identity_serial(const s_link& link, std::string& serial)
{
    const size_t first = link.identity.find(',');
    const size_t second =
        first == std::string::npos ? std::string::npos : link.identity.find(',', first + 1);
    if (second == std::string::npos)
        return false;
    const size_t third = link.identity.find(',', second + 1);
    serial =
        link.identity.substr(second + 1, third == std::string::npos ? third : third - second - 1);
    return true;
}

std::string header(const s_link& link, direction dir)
{
    const uint64_t number = comms_log_next_exchange();
    const char* arrows = dir == direction::sent ? ">>" : "<<";
    std::string serial;
    char text[320];
    if (identity_serial(link, serial))
        std::snprintf(text, sizeof text, "(%05" PRIu64 ") [serial:%.255s]%s\t", number,
                      serial.c_str(), arrows);
    else
        std::snprintf(text, sizeof text, "(%05" PRIu64 ") [serial:unknown]%s%s\t", number,
                      dir == direction::values ? "" : " ", arrows);
    return text;
}

} // namespace

void exchange_log_sent(const s_link& link, const char* text)
{
    const bool reset = text[0] == LINK_RESET_BYTE && text[1] == '\0';
    comms_log_write(header(link, direction::sent) + (reset ? "\\024\n" : text));
}

void exchange_log_line(const s_link& link, const char* line)
{
    comms_log_write(header(link, direction::line) + line + "\n");
}

void exchange_log_values(const s_link& link, const char* line)
{
    comms_log_write(header(link, direction::values) + line + "\n");
}
