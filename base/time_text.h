#pragma once
// Durations and dates as text: the progress dialog's time estimate, the
// dates of stored tests.

#include <cstdint>
#include <string>

// A duration split into calendar-shaped units (each 16 bits, day_of_week
// always 0). Months count 30.4375 days and years 12 such months.
struct s_duration {
    uint16_t years = 0;
    uint16_t months = 0;
    uint16_t day_of_week = 0;
    uint16_t days = 0;
    uint16_t hours = 0;
    uint16_t minutes = 0;
    uint16_t seconds = 0;
    uint16_t milliseconds = 0;
};

// Without the date part, years, months and days stay 0 and the hours run on
// past 24 (as far as 16 bits hold them).
s_duration duration_split(int64_t ms, bool with_date);

enum duration_flags : unsigned {
    DURATION_WORDS = 0x1,        // "1 Hour, 2 Minutes" instead of "1:2"
    DURATION_DATE = 0x2,         // include years, months and days
    DURATION_SECONDS = 0x4,      // include seconds
    DURATION_MILLISECONDS = 0x8, // include milliseconds
    DURATION_ORDINAL = 0x10,     // numeric date part as "3rd January 2" instead of "3/1/2"
};

// Word form: each non-zero unit as "%d Hour" / "%d Hours" joined by ", ";
// nothing at all gives "0 Seconds". Numeric form: "h:m", ":s", ".ms",
// preceded by the date part.
std::string duration_text(const s_duration& d, unsigned flags);

// Short form: date "dd/mm/yyyy", time "hh:mm". Long form: date "22nd March
// 2015", time "hh:mm:ss". month is 0..11, year counts from 1900.
void date_text(std::string& date, std::string* time, int second, int minute, int hour, int day,
               int month, int year, bool long_form);

// "January" .. "December" for 1..12, "Unknown" otherwise.
const char* month_name(int month);

// "st", "nd", "rd" or "th" for a day of the month.
const char* ordinal_suffix(int day);
