#pragma once
// The checks of the Session Details and Test Details dialogs, apart from
// the widgets: each returns the message the dialog shows for the first
// failing rule, or nothing when the entries are acceptable.

#include "db/db_records.h"

#include <cstdint>
#include <optional>
#include <string>

struct s_details_message {
    std::string text;
    std::string caption = "Tarvelo2";
    unsigned style = 0;
};

// DD/MM/YYYY: digits and exactly two "/", not starting with one, a day the
// calendar has, a year after 1900.
bool details_parse_date(const std::string& text, int& day, int& month, int& year);

struct s_session_entries {
    std::string contract, unit, date, location, performed_by;
};
std::optional<s_details_message> session_details_check(const s_session_entries& e);
// The session the checked entries describe (comments apart).
s_session session_from_entries(const s_session_entries& e);

// "Total Test Time: %d days, %02d hours, %02d minutes", or "... Unknown".
std::string details_total_time_text(const std::string& count, const std::string& interval_mins);

struct s_repeat_settings {
    int count = 0;
    uint64_t interval_ms = 0;
};
std::optional<s_details_message> test_details_check_repeat(const std::string& count,
                                                           const std::string& interval_mins,
                                                           s_repeat_settings& out);

// session_no is the key found for the chosen session name, or -1.
std::optional<s_details_message>
test_details_check_names(int64_t session_no, const std::string& name, const std::string& winding);

constexpr int DETAILS_MAX_SWEEPS = 99;
