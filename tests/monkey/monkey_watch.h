#pragma once
// The monkey's watchdog. It keeps the last actions for the report, checks
// from a thread of its own that the window thread's heartbeat keeps coming,
// checks every database file under the test folder with PRAGMA
// integrity_check, and on any failure (a blocked event loop, a damaged
// database, a fatal signal, a sanitizer's report) prints the seed, the
// command that replays the run and the last 50 actions, and ends the
// process with a non-zero status.

#include <cstdint>
#include <string>

// Remembers what to print on failure and arms the crash reports.
void watch_begin(uint64_t seed, int seconds, const std::string& folder);

// One action (or answer) done by the monkey, kept for the report.
void watch_action(const std::string& what);
uint64_t watch_actions();

// The window thread's heartbeat; the watchdog thread starts checking it
// (and fails the run after 5 s without one) once watch_start_heartbeat runs.
void watch_beat();
void watch_start_heartbeat();
void watch_stop_heartbeat();

// "" when every SQLite file under the folder passes its integrity check (a
// file locked by the program just now is passed over); else what failed.
std::string watch_check_databases(const std::string& folder);

// Prints the report for why and ends the process.
[[noreturn]] void watch_fail(const std::string& why);
