#pragma once
// Content identity of archived sessions and tests: a SHA-256 over what was
// measured, so the same test pushed from two copies of a file is one
// archived test, whatever local keys the files gave it, and a session's
// notes (location, performer, comments) may change without making its
// tests new. Texts count in UTF-8, as the archive keeps them; the archive
// recomputes the same bytes itself when it brings an older archive up to
// date (archive/archive_schema.cpp), so the two must change together.

#include "db/db_records.h"

#include <string>

// 32 bytes over the session's contract, unit and date.
std::string archive_session_identity(const s_session& session);
// 32 bytes over the session's identity, the test's name, winding and
// description and every point's frequency, amplitude and phase (as stored,
// bit for bit, in the order given).
std::string archive_test_identity(const std::string& session_identity, const s_test& test);
// True when year, month and day name a calendar date.
bool archive_valid_date(int year, int month, int day);
