#pragma once
// Finding archived tests.

#include "archive/archive_connection.h"

#include <cstdint>
#include <string>
#include <vector>

// Empty fields do not filter. Texts match whole, ignoring case; dates are
// "YYYY-MM-DD" and bound the test's date, both ends included.
struct archive_filter {
    std::string contract;
    std::string unit;
    std::string location;
    std::string winding;
    std::string test_name;
    std::string from;
    std::string to;
    int limit = 0; // at most this many results; 0: all
};

struct archive_found {
    int64_t archive_id = 0;
    std::string contract;
    std::string unit;
    std::string date; // "YYYY-MM-DD", empty when the session had no date
    std::string location;
    std::string test_name;
    std::string winding;
    int points = 0;
};

// The tests that pass filter, oldest first. A date that is not
// "YYYY-MM-DD" is refused before anything is asked.
archive_outcome archive_search(archive_connection& archive, const archive_filter& filter,
                               std::vector<archive_found>& found);
// Refuses a filter whose dates are not "YYYY-MM-DD" (before any connection).
archive_outcome archive_check_filter(const archive_filter& filter);
// True for "YYYY-MM-DD" naming a calendar date.
bool archive_date_text_valid(const std::string& text);
