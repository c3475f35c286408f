#include "db/details_rules.h"

#include <gtest/gtest.h>

TEST(DetailsRules, DatesInDayMonthYear)
{
    int d = 0, m = 0, y = 0;
    EXPECT_TRUE(details_parse_date("1/1/1901", d, m, y));
    EXPECT_EQ(d, 1);
    EXPECT_EQ(y, 1901);
    EXPECT_TRUE(details_parse_date("29/02/2024", d, m, y));
    EXPECT_EQ(m, 2);
    EXPECT_TRUE(details_parse_date("31/12/9999", d, m, y));
    for (const char* bad : {"1/1/1900", "1/1/10000", "29/02/2023", "31/02/2020", "1/13/2020",
                            "0/1/2020", "/1/2020", "1-1-2020", "1/1/20/20", "1/1", "a/1/2020", ""})
        EXPECT_FALSE(details_parse_date(bad, d, m, y)) << bad;
}

TEST(DetailsRules, SessionFieldsCheckedInOrder)
{
    s_session_entries e{"AB", "U", "5/6/2025", "L", "P"};
    EXPECT_FALSE(session_details_check(e));
    e.contract = "A";
    auto m = session_details_check(e);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->text, "The value entered for Contract is too short. The minimum length is 2 "
                       "characters.");
    EXPECT_EQ(m->caption, "Tarvelo2");
    e.contract = "AB";
    e.date = "31/02/2020";
    e.location = "";
    EXPECT_EQ(session_details_check(e)->text, "Please enter a valid Date in DD/MM/YYYY format");
    e.date = "1/1/2020";
    EXPECT_EQ(session_details_check(e)->text,
              "The value entered for Location is too short. The minimum length is 1 characters.");
    e.location = "L";
    e.performed_by = "";
    EXPECT_EQ(session_details_check(e)->text, "The value entered for Performed By is too short. "
                                              "The minimum length is 1 characters.");
}

TEST(DetailsRules, TotalTestTime)
{
    EXPECT_EQ(details_total_time_text("3", "5"), "Total Test Time: 0 days, 00 hours, 10 minutes");
    EXPECT_EQ(details_total_time_text("99", "99999"),
              "Total Test Time: 6805 days, 11 hours, 42 minutes");
    EXPECT_EQ(details_total_time_text("1", "5"), "Total Test Time: Unknown");
    EXPECT_EQ(details_total_time_text("3", "0"), "Total Test Time: Unknown");
    EXPECT_EQ(details_total_time_text("", ""), "Total Test Time: Unknown");
}

TEST(DetailsRules, RepeatCountAndInterval)
{
    s_repeat_settings r;
    for (const char* count : {"1", "", "0"}) {
        auto m = test_details_check_repeat(count, "5", r);
        ASSERT_TRUE(m) << count;
        EXPECT_EQ(m->text, "Repeating tests must have more than one sweep");
        EXPECT_EQ(m->caption, "Error: Sweep count");
    }
    EXPECT_EQ(test_details_check_repeat("100", "5", r)->text,
              "Repeating tests must have less than 99 sweeps");
    auto m = test_details_check_repeat("3", "0", r);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->text, "Invalid Total Test Time");
    EXPECT_EQ(m->caption, "Error");
    EXPECT_FALSE(test_details_check_repeat("99", "5", r));
    EXPECT_EQ(r.count, 99);
    EXPECT_EQ(r.interval_ms, 300000u);
}

TEST(DetailsRules, NamesNeededToStore)
{
    EXPECT_EQ(test_details_check_names(-1, "t", "w")->text, "You need to select a session");
    EXPECT_EQ(test_details_check_names(1, "", "w")->text, "You need to give this test a title");
    EXPECT_EQ(test_details_check_names(1, "t", "")->text, "You need to enter a winding");
    EXPECT_FALSE(test_details_check_names(1, "t", "w"));
}
