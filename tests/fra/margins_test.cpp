#include "fra/margins.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<s_gain_phase_point> to_vector(LList<s_gain_phase_point> list)
{
    std::vector<s_gain_phase_point> out;
    while (const s_gain_phase_point* p = list.next())
        out.push_back(*p);
    return out;
}

std::vector<s_gain_phase_point> search(const std::vector<s_margin_sample>& s, margin_kind k)
{
    return to_vector(margin_search(s, k));
}

} // namespace

TEST(MarginSearch, InterpolatesTheZeroDbCrossingLinearlyInFrequency)
{
    const std::vector<s_margin_sample> s{
        {100, 3, -10}, {200, 1, -20}, {300, -1, -40}, {400, -3, -50}};
    const auto found = search(s, margin_kind::zero_db);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_DOUBLE_EQ(found[0].frequency, 250);
    EXPECT_DOUBLE_EQ(found[0].phase, -30);
    EXPECT_EQ(found[0].gain, 0);
    EXPECT_EQ(found[0].index, 1);
}

TEST(MarginSearch, ExactZeroCountsOnlyWhenLeavingIt)
{
    // 2, 0, -2: the pair arriving at 0 is no crossing, the pair leaving it is.
    auto found = search({{10, 2, 0}, {20, 0, 5}, {30, -2, 9}}, margin_kind::zero_db);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_DOUBLE_EQ(found[0].frequency, 20);
    EXPECT_DOUBLE_EQ(found[0].phase, 5);
    EXPECT_EQ(found[0].index, 1);

    EXPECT_TRUE(search({{10, 0, 0}, {20, 0, 0}, {30, 0, 0}}, margin_kind::zero_db).empty());
    EXPECT_TRUE(search({{10, 5, 0}}, margin_kind::zero_db).empty());
    EXPECT_TRUE(search({}, margin_kind::zero_phase).empty());
}

TEST(MarginSearch, ZeroPhaseCrossingReadsTheGain)
{
    const auto found = search({{1000, -6, 20}, {2000, -10, -20}}, margin_kind::zero_phase);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_DOUBLE_EQ(found[0].frequency, 1500);
    EXPECT_DOUBLE_EQ(found[0].gain, -8);
    EXPECT_EQ(found[0].phase, 0);
}

TEST(MarginSearch, PhaseWrapBetweenNeighboursIsNoCrossing)
{
    // The phase falls through -180 and reappears near +180: a wrap of the
    // instrument's range. Only the real pass through 0 further on counts.
    const std::vector<s_margin_sample> s{{100, 10, -170}, {200, 8, -179}, {300, 6, 178},
                                         {400, 4, 90},    {500, 2, 10},   {600, 0, -10}};
    const auto found = search(s, margin_kind::zero_phase);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_DOUBLE_EQ(found[0].frequency, 550);
    EXPECT_DOUBLE_EQ(found[0].gain, 1);
    // The wrapped pair still counts as an examined pair in the span.
    EXPECT_EQ(found[0].span, 5);

    // A gain step larger than 180 dB is still a crossing: only phase wraps.
    EXPECT_EQ(search({{1, 100, 0}, {2, -100, 0}}, margin_kind::zero_db).size(), 1u);
}

TEST(MarginSearch, EqualFrequencyPairDoesNotStopTheSearch)
{
    const std::vector<s_margin_sample> s{{100, 2, 10}, {100, -2, 30}, {200, -1, 0}, {300, 1, 0}};
    const auto found = search(s, margin_kind::zero_db);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_DOUBLE_EQ(found[0].frequency, 100);
    EXPECT_DOUBLE_EQ(found[0].phase, 20);
    EXPECT_DOUBLE_EQ(found[1].frequency, 250);
}

TEST(MarginSearch, SpansCountPairsBetweenCrossings)
{
    // Gain crossings at pairs 1 and 4 of 7 pairs (8 points).
    std::vector<s_margin_sample> s;
    const double gains[] = {2, 1, -1, -2, -1, 1, 2, 3};
    for (int i = 0; i < 8; ++i)
        s.push_back({100.0 * (i + 1), gains[i], gains[i] * 10});
    const auto db = search(s, margin_kind::zero_db);
    ASSERT_EQ(db.size(), 2u);
    EXPECT_EQ(db[0].span, 3); // pairs 2, 3, 4
    EXPECT_EQ(db[1].span, 2); // pairs 5, 6 up to the last
    const auto ph = search(s, margin_kind::zero_phase);
    ASSERT_EQ(ph.size(), 2u);
    EXPECT_EQ(ph[0].span, 2); // pairs 0, 1
    EXPECT_EQ(ph[1].span, 3); // pairs 2, 3, 4
}

TEST(MarginReport, WordsNoneOneAndManyAsTheBoxesDo)
{
    LList<s_gain_phase_point> none;
    EXPECT_EQ(margin_report(none, margin_kind::zero_db), "No gain 0dB point found");
    EXPECT_EQ(margin_report(none, margin_kind::zero_phase), "No 0Phase point found");

    LList<s_gain_phase_point> one;
    one.append({1234.567, 0, -45.678, 3, 1});
    EXPECT_EQ(margin_report(one, margin_kind::zero_db),
              "0dB point = freq: 1234.57 Hz phase: -45.68 deg");
    LList<s_gain_phase_point> onep;
    onep.append({10, -12.345, 0, 0, 1});
    EXPECT_EQ(margin_report(onep, margin_kind::zero_phase),
              "0Phase point = freq: 10.00 Hz gain: -12.35 dB");

    LList<s_gain_phase_point> many;
    for (int i = 0; i < 11; ++i)
        many.append({100.0 * (i + 1), 1.5, 0, i, 1});
    const std::string text = margin_report(many, margin_kind::zero_phase);
    EXPECT_EQ(text.rfind("There were 11 0Phase points found\n\n"
                         "0Phase point 1 =  freq: 100.00 Hz  gain: 1.50 dB \n",
                         0),
              0u);
    EXPECT_NE(text.find("0Phase point 10 =  freq: 1000.00 Hz  gain: 1.50 dB \n..."),
              std::string::npos);
    EXPECT_EQ(text.find("point 11"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 3), "...");
}

TEST(MarginSummary, ReadsTheMainCrossingsAsMarginsOrNotFound)
{
    // Two 0 dB crossings (the second spans more pairs) and one 0-phase one.
    const std::vector<s_margin_sample> loop{{10, 2, 40},  {20, -2, 35}, {30, -1, 30},
                                            {40, 1, 25},  {50, 3, 5},   {60, 5, -5},
                                            {70, 4, -10}, {80, 2, -20}, {90, 1, -30}};
    const std::vector<s_margin_sample> flat{{10, -20, 10}, {20, -20, 20}};
    struct row {
        const std::vector<s_margin_sample>& samples;
        const char* line;
    };
    const row rows[] = {
        {loop, "gain margin: -4.00 dB at 55.00 Hz; phase margin: 27.50 deg at 35.00 Hz"},
        {flat, "gain margin: not found; phase margin: not found"},
    };
    for (const row& r : rows) {
        LList<s_gain_phase_point> db = margin_search(r.samples, margin_kind::zero_db);
        LList<s_gain_phase_point> ph = margin_search(r.samples, margin_kind::zero_phase);
        EXPECT_EQ(margin_summary(db, ph), r.line);
    }
}
