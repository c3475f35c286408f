#include "db/details_rules.h"

#include "base/ui_seam.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool leap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int days_in_month(int m, int y)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : days[m - 1];
}

std::optional<s_details_message> too_short(const std::string& value, const char* label, size_t min)
{
    if (value.size() >= min)
        return std::nullopt;
    char text[160];
    std::snprintf(text, sizeof text,
                  "The value entered for %s is too short. The minimum length is %zu characters.",
                  label, min);
    return s_details_message{text, "Tarvelo2", MB_OK | MB_ICONINFORMATION};
}

s_details_message info(const char* text)
{
    return {text, "Tarvelo2", MB_OK | MB_ICONINFORMATION};
}

// Whole number of a text field; empty or no number reads as -1 or 0 as the
// dialog has always read it.
long number_of(const std::string& text, long empty)
{
    return text.empty() ? empty : std::strtol(text.c_str(), nullptr, 10);
}

} // namespace

bool details_parse_date(const std::string& text, int& day, int& month, int& year)
{
    if (text.empty() || text[0] == '/')
        return false;
    int slashes = 0;
    for (char c : text) {
        if (c == '/')
            ++slashes;
        else if (c < '0' || c > '9')
            return false;
    }
    if (slashes != 2 || text.size() > 10)
        return false;
    const size_t a = text.find('/');
    const size_t b = text.find('/', a + 1);
    day = std::atoi(text.substr(0, a).c_str());
    month = std::atoi(text.substr(a + 1, b - a - 1).c_str());
    year = std::atoi(text.substr(b + 1).c_str());
    // The database's date function stores no year beyond 9999.
    return month >= 1 && month <= 12 && year > 1900 && year <= 9999 && day >= 1 &&
           day <= days_in_month(month, year);
}

std::optional<s_details_message> session_details_check(const s_session_entries& e)
{
    if (auto m = too_short(e.contract, "Contract", 2))
        return m;
    if (auto m = too_short(e.unit, "Unit", 1))
        return m;
    int d = 0, mo = 0, y = 0;
    if (!details_parse_date(e.date, d, mo, y))
        return info("Please enter a valid Date in DD/MM/YYYY format");
    if (auto m = too_short(e.location, "Location", 1))
        return m;
    return too_short(e.performed_by, "Performed By", 1);
}

std::string details_total_time_text(const std::string& count, const std::string& interval_mins)
{
    const long n = number_of(count, 0);
    const long interval = number_of(interval_mins, 0);
    const long t = (n > 1 && interval != 0) ? (n - 1) * interval : 0;
    if (t <= 0)
        return "Total Test Time: Unknown";
    char text[96];
    std::snprintf(text, sizeof text, "Total Test Time: %ld days, %02ld hours, %02ld minutes",
                  t / 1440, t % 1440 / 60, t % 60);
    return text;
}

std::optional<s_details_message> test_details_check_repeat(const std::string& count,
                                                           const std::string& interval_mins,
                                                           s_repeat_settings& out)
{
    const long n = number_of(count, -1);
    if (n <= 1)
        return s_details_message{"Repeating tests must have more than one sweep",
                                 "Error: Sweep count", MB_OK};
    if (n > DETAILS_MAX_SWEEPS) {
        char text[64];
        std::snprintf(text, sizeof text, "Repeating tests must have less than %d sweeps",
                      DETAILS_MAX_SWEEPS);
        return s_details_message{text, "Error: Sweep count", MB_OK};
    }
    const long interval = number_of(interval_mins, 0);
    if (interval_mins.empty() || interval <= 0)
        return s_details_message{"Invalid Total Test Time", "Error", MB_OK | MB_ICONWARNING};
    out.count = static_cast<int>(n);
    out.interval_ms = static_cast<uint64_t>(interval) * 60000u;
    return std::nullopt;
}

std::optional<s_details_message>
test_details_check_names(int64_t session_no, const std::string& name, const std::string& winding)
{
    if (session_no < 0)
        return info("You need to select a session");
    if (name.empty())
        return info("You need to give this test a title");
    if (winding.empty())
        return info("You need to enter a winding");
    return std::nullopt;
}

s_session session_from_entries(const s_session_entries& e)
{
    s_session session;
    session.Name = e.contract;
    session.Unit = e.unit;
    details_parse_date(e.date, session.day, session.month, session.year);
    session.Location = e.location;
    session.PerformedBy = e.performed_by;
    return session;
}
