#include "base/time_text.h"

#include <gtest/gtest.h>

TEST(DurationText, WordFormOfTheProgressEstimate)
{
    const unsigned flags = DURATION_WORDS | DURATION_SECONDS;
    EXPECT_EQ(duration_text(duration_split(3723000, false), flags), "1 Hour, 2 Minutes, 3 Seconds");
    EXPECT_EQ(duration_text(duration_split(0, false), flags), "0 Seconds");
    EXPECT_EQ(duration_text(duration_split(61000, false), flags), "1 Minute, 1 Second");
    EXPECT_EQ(duration_text(duration_split(7200999, false), flags), "2 Hours");
    EXPECT_EQ(duration_text(duration_split(1500, false), flags | DURATION_MILLISECONDS),
              "1 Second, 500 Milliseconds");
}

TEST(DurationSplit, HoursRunOnWithoutTheDatePart)
{
    const s_duration d = duration_split(90LL * 3600000 + 61001, false);
    EXPECT_EQ(d.days, 0);
    EXPECT_EQ(d.hours, 90);
    EXPECT_EQ(d.minutes, 1);
    EXPECT_EQ(d.seconds, 1);
    EXPECT_EQ(d.milliseconds, 1);
}

TEST(DurationSplit, DatePartUsesAverageMonths)
{
    // 400 days: one year of 365.25 days, 1 month of 30.4375, 4 days left.
    const s_duration d = duration_split(400LL * 86400000 + 3600000, true);
    EXPECT_EQ(d.years, 1);
    EXPECT_EQ(d.months, 1);
    EXPECT_EQ(d.days, 4);
    EXPECT_EQ(d.hours, 1);
    EXPECT_EQ(d.day_of_week, 0);
    EXPECT_EQ(duration_text(d, DURATION_WORDS | DURATION_DATE), "1 Year, 1 Month, 4 Days, 1 Hour");
    EXPECT_EQ(duration_text(d, DURATION_DATE | DURATION_SECONDS), "4/1/1 1:0:0");
}

TEST(DateText, ShortAndLongForms)
{
    std::string date, time;
    date_text(date, &time, 5, 4, 3, 22, 2, 115, true);
    EXPECT_EQ(date, "22nd March 2015");
    EXPECT_EQ(time, "03:04:05");
    date_text(date, &time, 5, 4, 3, 1, 0, 99, false);
    EXPECT_EQ(date, "01/01/1999");
    EXPECT_EQ(time, "03:04");
    date_text(date, nullptr, 0, 0, 0, 13, 11, 100, true);
    EXPECT_EQ(date, "13th December 2000");
    for (auto [day, suffix] : {std::pair{1, "st"}, {11, "th"}, {21, "st"}, {23, "rd"}, {31, "st"}})
        EXPECT_STREQ(ordinal_suffix(day), suffix) << day;
}

TEST(MonthName, OutOfRangeIsUnknown)
{
    EXPECT_STREQ(month_name(1), "January");
    EXPECT_STREQ(month_name(12), "December");
    EXPECT_STREQ(month_name(0), "Unknown");
    EXPECT_STREQ(month_name(13), "Unknown");
}
