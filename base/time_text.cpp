#include "base/time_text.h"

#include <cstdio>

namespace {

constexpr int64_t k_ms_per_second = 1000;
constexpr int64_t k_ms_per_minute = 60 * k_ms_per_second;
constexpr int64_t k_ms_per_hour = 60 * k_ms_per_minute;
constexpr int64_t k_ms_per_day = 24 * k_ms_per_hour;
constexpr double k_days_per_month = 30.4375;

uint16_t u16(int64_t v)
{
    return static_cast<uint16_t>(v);
}

std::string format(const char* pattern, int value)
{
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

void append_unit(std::string& text, int count, const char* unit)
{
    if (count == 0)
        return;
    text += format("%d ", count) + unit + (count == 1 ? ", " : "s, ");
}

std::string words(const s_duration& d, unsigned flags)
{
    std::string text;
    if (flags & DURATION_DATE) {
        append_unit(text, d.years, "Year");
        append_unit(text, d.months, "Month");
        append_unit(text, d.days, "Day");
    }
    append_unit(text, d.hours, "Hour");
    append_unit(text, d.minutes, "Minute");
    if (flags & DURATION_SECONDS)
        append_unit(text, d.seconds, "Second");
    if (flags & DURATION_MILLISECONDS)
        append_unit(text, d.milliseconds, "Millisecond");
    const size_t comma = text.rfind(',');
    if (comma != std::string::npos)
        text.resize(comma);
    return text.empty() ? "0 Seconds" : text;
}

std::string numeric_date(const s_duration& d, unsigned flags)
{
    if (flags & DURATION_ORDINAL) {
        char text[64];
        std::snprintf(text, sizeof text, "%d%s %s %d ", d.days, ordinal_suffix(d.days),
                      month_name(d.months), d.years);
        return text;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%d/%d/%d ", d.days, d.months, d.years);
    return text;
}

std::string numeric(const s_duration& d, unsigned flags)
{
    std::string text = (flags & DURATION_DATE) ? numeric_date(d, flags) : std::string();
    char time[32];
    std::snprintf(time, sizeof time, "%d:%d", d.hours, d.minutes);
    text += time;
    if (flags & DURATION_SECONDS)
        text += format(":%d", d.seconds);
    if (flags & DURATION_MILLISECONDS)
        text += format(".%d", d.milliseconds);
    return text;
}

} // namespace

s_duration duration_split(int64_t ms, bool with_date)
{
    if (ms < 0)
        ms = 0;
    s_duration d;
    if (with_date) {
        const int64_t all_days = ms / k_ms_per_day;
        const auto years = static_cast<int64_t>(all_days / k_days_per_month / 12);
        double days = static_cast<double>(all_days) - years * 12 * k_days_per_month;
        const auto months = static_cast<int64_t>(days / k_days_per_month);
        days -= months * k_days_per_month;
        d.years = u16(years);
        d.months = u16(months);
        d.days = u16(static_cast<int64_t>(days));
        ms %= k_ms_per_day;
    }
    d.hours = u16(ms / k_ms_per_hour);
    d.minutes = u16(ms / k_ms_per_minute % 60);
    d.seconds = u16(ms / k_ms_per_second % 60);
    d.milliseconds = u16(ms % k_ms_per_second);
    return d;
}

std::string duration_text(const s_duration& d, unsigned flags)
{
    return (flags & DURATION_WORDS) ? words(d, flags) : numeric(d, flags);
}

const char* ordinal_suffix(int day)
{
    switch (day) {
    case 1:
    case 21:
    case 31: return "st";
    case 2:
    case 22: return "nd";
    case 3:
    case 23: return "rd";
    default: return "th";
    }
}

void date_text(std::string& date, std::string* time, int second, int minute, int hour, int day,
               int month, int year, bool long_form)
{
    char text[64];
    if (long_form)
        std::snprintf(text, sizeof text, "%02d%s %s %04d", day, ordinal_suffix(day),
                      month_name(month + 1), year + 1900);
    else
        std::snprintf(text, sizeof text, "%02d/%02d/%04d", day, month + 1, year + 1900);
    date = text;
    if (!time)
        return;
    if (long_form)
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    else
        std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    *time = text;
}

const char* month_name(int month)
{
    static const char* const names[] = {"January",   "February", "March",    "April",
                                        "May",       "June",     "July",     "August",
                                        "September", "October",  "November", "December"};
    return month >= 1 && month <= 12 ? names[month - 1] : "Unknown";
}
