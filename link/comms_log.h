#pragma once
// The comms log: a plain text trace of everything exchanged with the
// instrument, for diagnosing connections in the field. Each entry is
// prefixed with the local time "[hh:mm:ss.mmm] " and appended to the log
// file by one open-append-close, so the file is complete up to the last
// line even if the program ends abruptly. While logging is off, entries go
// to stderr in a debug build and nowhere in a release build.
//
// Exchanges (each command sent, each reply line read) are numbered from 1
// since the program started, whether logging is on or not.

#include <cstdint>
#include <string>

constexpr const char* COMMS_LOG_FILE_NAME = "TARVELO2_COMMS.log";
constexpr size_t COMMS_LOG_PATH_MAX = 259;

void comms_log_write(const std::string& text);

bool comms_log_enabled();
void comms_log_toggle();
std::string comms_log_path();
void comms_log_set_path(const std::string& path);
// Switching on from a chosen folder: deletes an existing log there (each
// switching on starts a fresh file), sets the path and enables logging.
void comms_log_start(const std::string& folder);

// Counts one exchange and returns its number (the first is 1).
uint64_t comms_log_next_exchange();
