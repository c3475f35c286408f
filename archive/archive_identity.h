#pragma once
// Content identity of archived sessions and tests: a SHA-256 over their
// fields and points as stored, so the same test pushed from two copies of a
// file is one archived test, whatever local keys the files gave it.

#include "db/db_records.h"

#include <string>

// 32 bytes over the session's contract, unit, date, location, performer
// and comments.
std::string archive_session_identity(const s_session& session);
// 32 bytes over the session's identity, the test's name, winding and
// description and every point's frequency, amplitude and phase (as stored,
// bit for bit, in the order given).
std::string archive_test_identity(const std::string& session_identity, const s_test& test);
// True when year, month and day name a calendar date.
bool archive_valid_date(int year, int month, int day);
