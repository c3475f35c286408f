#pragma once
// The transport: the one connection to the instrument, over a USB virtual
// serial port, an RS232 serial port or a LAN socket.
//
// The protocol is line-oriented ASCII: a command line ends in "\n" (over LAN
// a NUL byte follows it), the instrument answers with zero or one reply line
// ended by "\n", normally preceded by "\r". A reply whose first byte has its
// top bit set carries packed values (app/number_format.h) instead of text.
// The link is opened for each operation and closed after it; opening sends
// the reset byte and drains input for 100 ms.
//
// Every operation returns 0 or a count on success and a negative value on
// failure, and never shows a message.

#include "link/instrument_caps.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

enum link_interface : int32_t {
    LINK_NONE = 0,
    LINK_USB = 1,
    LINK_LAN = 2,
    LINK_SERIAL = 3,
};

// DC4: makes the instrument abandon whatever it was doing.
constexpr char LINK_RESET_BYTE = 0x14;
constexpr size_t LINK_RING_SIZE = 8192;
// The longest reply line: a sweep line of packed or decimal values.
constexpr size_t LINK_VALUES_LINE_SIZE = 41920;
// Most characters of the identification reply kept in s_link::identity.
constexpr size_t LINK_IDENTITY_MAX = 127;
// Room a caller gives link_identity_field.
constexpr size_t LINK_FIELD_SIZE = 128;
constexpr int LINK_DEFAULT_TIMEOUT_MS = 5000;
constexpr int LINK_CONNECT_TIMEOUT_MS = 2000;
constexpr int LINK_USB_BAUD = 19200;
constexpr int LINK_DEFAULT_TCP_PORT = 10001;

struct s_link {
    int32_t interface = LINK_NONE;
    int32_t type_code = 0;      // set by identification; 0 = not identified
    s_instrument_caps caps;     // what that type can do (link_set_type sets both)
    std::string identity;       // identification reply, the "connection string"
    int32_t current_option = 0; // 1 low current, 2 high current, else standard
    std::string port_name;      // serial device path for USB and Serial
    std::string ip_address;     // dotted IPv4 address for LAN
    int32_t tcp_port = 0;       // LAN port of this connection; 0: the process-wide one
    int32_t timeout_ms = 0;     // wait for each reply once identified; 0: the default
    int32_t baud_rate = 0;      // USB is always 19200
    bool identified = false;    // connected and identified
    bool is_open = false;
    int socket = -1;
    int serial_handle = -1;
    int serial_timeout_ms = LINK_DEFAULT_TIMEOUT_MS; // wait for each serial byte
    int lan_timeout_ms = LINK_DEFAULT_TIMEOUT_MS;    // wait for each LAN byte
    std::array<uint8_t, LINK_RING_SIZE> rx_ring{};
    int32_t rx_count = 0;
    int32_t rx_write = 0;
    int32_t rx_read = 0;
    // Set while an exchange the user may cancel runs: once it reads true,
    // every read returns at once as if the instrument were silent.
    const std::atomic<bool>* cancel = nullptr;
};

// The wait for each reply outside identification: the link's own, else
// the default.
inline int link_usual_timeout(const s_link& link)
{
    return link.timeout_ms > 0 ? link.timeout_ms : LINK_DEFAULT_TIMEOUT_MS;
}

// The user cancelled the exchange that holds the link.
inline bool link_cancelled(const s_link& link)
{
    return link.cancel && link.cancel->load();
}

// Lets a cancel flag stop the reads of one exchange, and no longer after it.
class link_cancel_scope {
public:
    link_cancel_scope(s_link& link, const std::atomic<bool>& cancel) : link_(link)
    {
        link_.cancel = &cancel;
    }
    ~link_cancel_scope() { link_.cancel = nullptr; }
    link_cancel_scope(const link_cancel_scope&) = delete;
    link_cancel_scope& operator=(const link_cancel_scope&) = delete;

private:
    s_link& link_;
};

// The one connection record of the process.
extern s_link g_link;

class NoConStrException : public std::runtime_error {
public:
    NoConStrException() : std::runtime_error("No Connection String\n") {}
};

// A read that ended because the instrument stayed silent (or went away)
// for the read time-out, on every transport. Callers that skip empty or bad
// lines must stop on it: an instrument that has gone quiet answers no retry.
constexpr int LINK_READ_SILENT = -1;

// Process-wide TCP port of the instrument (10001 unless a test or the demo
// points it elsewhere).
void link_set_tcp_port(int port);
int link_tcp_port();
// The link's LAN read time-out: the wait allowed for each byte.
int link_lan_timeout(const s_link& link);

// 0 on success (also when already open), -1 on failure.
int link_open(s_link& link);
// Closes whatever is open; always succeeds.
void link_close(s_link& link);
// Writes a command text (the caller includes its "\n"). LAN: 0 or -1.
// Serial/USB: the number of bytes written, 0 on failure.
int link_send(s_link& link, const char* text);
inline int link_send(s_link& link, const std::string& text)
{
    return link_send(link, text.c_str());
}
// Reads one reply line into buffer without its "\r" and "\n" (serial keeps a
// bare "\n"); at most size - 1 bytes are stored and the rest of an over-long
// line is read as the next line on serial and discarded on LAN. A single
// packed value is turned into text. Returns the length (0 for an empty
// line), or LINK_READ_SILENT when the instrument sent nothing in time.
int link_read_line(s_link& link, char* buffer, size_t size);
// The next received byte (0..255), -2 when nothing is waiting, -1 on a
// serial read error.
int link_read_byte(s_link& link);
// The read time-out of this link: of the open port on Serial/USB (opening
// sets the usual one), of every connection the record makes on LAN.
void link_set_timeout(s_link& link, int ms);
// Reads one reply line and parses up to max_count numbers from it. Returns
// the count parsed, 0 for an empty line, or LINK_READ_SILENT.
int link_read_values(s_link& link, double* values, int max_count);
// Discards received input until none has come for ms milliseconds (ms 0:
// discards what is waiting and returns at once).
void link_drain(s_link& link, int ms);
// Copies one field of the identity into out (LINK_FIELD_SIZE bytes): 0 the
// connection address, 1 model, 2 serial number, 3 version, 4 current option
// text, 5 the model's variant letter (type codes 1..6). Throws
// NoConStrException when the identity is empty, std::invalid_argument when
// out is null.
void link_identity_field(char* out, int which, const s_link& link);
