#pragma once
// The two byte transports behind the link operations, and the exchange
// lines they write to the comms log. Private to the link library.

#include "link/link.h"

#include <cstddef>

// The outcome of reading one line: the reader's result (length or -1) and
// how many bytes went into the buffer, which for a packed reply may hold
// NUL bytes before the line's end.
struct line_result {
    int result = 0;
    size_t stored = 0;
};

int serial_open(s_link& link);
void serial_close(s_link& link);
int serial_write(s_link& link, const char* text, size_t length);
int serial_read_byte(s_link& link);
// Reads up to size - 1 bytes or through a line feed, cut at the first
// carriage return; result -1 when no byte at all came within the port's
// time-out. The buffer is terminated but not cleared.
line_result serial_read_line(s_link& link, char* buffer, size_t size);

int tcp_open(s_link& link);
void tcp_close(s_link& link);
int tcp_send(s_link& link, const char* text, size_t length_with_nul);
int tcp_read_byte(s_link& link);
// Reads through a line feed, dropping carriage returns and keeping at most
// size - 1 bytes; result -1 when a byte did not arrive within the LAN read
// time-out. The buffer is terminated but not cleared.
line_result tcp_read_line(s_link& link, char* buffer, size_t size);

// Counts the exchange and logs a command sent or a line received.
void exchange_log_sent(const s_link& link, const char* text);
void exchange_log_line(const s_link& link, const char* line);
void exchange_log_values(const s_link& link, const char* line);
