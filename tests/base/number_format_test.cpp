#include "base/number_format.h"
#include "tests/base/packed_encoder.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string packed_line(const std::vector<double>& values, char separator = ',')
{
    std::string line;
    for (double v : values) {
        const auto bytes = encode_packed(v);
        line.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        line += separator;
    }
    return line;
}

} // namespace

TEST(FormatEngineering, PrefixesAndPrecisionFollowTheMagnitude)
{
    const std::pair<double, const char*> cases[] = {
        {0.0047, "4.7000 m"},  {0.5, "500.00 m"},      {5, "5.0000 "},
        {50, "50.000 "},       {12345, "12.345 k"},    {1e10, "10.000 G"},
        {1e12, "1.0000E12 "},  {-2.5e-9, "-2.5000 n"}, {0, "0.0000 "},
        {-0.001, "-1.0000 m"}, {1e-12, "1.0000 p"},    {1e-13, "100.00E-15 "},
        {999.996, "1000.00 "}, {2.2e6, "2.2000 M"},    {0.000001, "1.0000 u"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(format_engineering(value), text) << value;
}

TEST(FormatEngineering, ExactPowersOfTenKeepTheirDecade)
{
    const char* mantissas[] = {"1.0000 ", "10.000 ", "100.00 "};
    const char* prefixes[] = {"p", "n", "u", "m", "", "k", "M", "G"};
    for (int k = -12; k < 12; ++k) {
        const int step = (k + 12) / 3;
        const std::string expected = std::string(mantissas[(k + 12) % 3]) + prefixes[step];
        EXPECT_EQ(format_engineering(std::pow(10.0, k)), expected) << k;
    }
}

TEST(FormatEngineering, ExtremesNeverOverflowTheBuffer)
{
    for (double v : std::initializer_list<double>{DBL_MAX, -DBL_MAX, DBL_MIN, DBL_TRUE_MIN, 1e-300,
                                                  1e300, HUGE_VAL, NAN}) {
        const std::string text = format_engineering(v);
        EXPECT_FALSE(text.empty()) << v;
        EXPECT_EQ(text.find("inf"), v == HUGE_VAL ? 0u : std::string::npos) << text;
    }
    EXPECT_EQ(format_engineering(1e-300), "1.0000E-300 ");
    char small[6];
    format_engineering(12345, small, sizeof small);
    EXPECT_EQ(std::string(small), "12.3");
    char tiny[1] = {'x'};
    format_engineering(1, tiny, sizeof tiny);
    EXPECT_EQ(tiny[0], '\0');
}

TEST(FormatCompact, PrefixLetterTakesTheDecimalPoint)
{
    EXPECT_EQ(format_compact(4700), "4k7");
    EXPECT_EQ(format_compact(1000), "1k");
    EXPECT_EQ(format_compact(2200000), "2M2");
    EXPECT_EQ(format_compact(47), "47");
    EXPECT_EQ(format_compact(5), "5");
    EXPECT_EQ(format_compact(0), "0");
    EXPECT_EQ(format_compact(-4700), "-4k7");
    char out[3];
    format_compact(4700, out, sizeof out);
    EXPECT_EQ(std::string(out), "4k");
}

TEST(NearestInt, HalvesAwayFromZeroAndClampsToTheIntRange)
{
    EXPECT_EQ(nearest_int(2.5), 3);
    EXPECT_EQ(nearest_int(-2.5), -3);
    EXPECT_EQ(nearest_int(2.49), 2);
    EXPECT_EQ(nearest_int(-0.4), 0);
    EXPECT_EQ(nearest_int(1e20), INT_MAX);
    EXPECT_EQ(nearest_int(-1e20), INT_MIN);
    EXPECT_EQ(nearest_int(NAN), 0);
}

TEST(PackedValues, KnownDoublesRoundTrip)
{
    for (double v : {1.0, -1.0, 12345.0, 0.00001, 3.14159, -2.5e-9, 1e15, 0.5, 123.456e3}) {
        const auto bytes = encode_packed(v);
        EXPECT_NEAR(decode_packed(bytes.data()), v, std::fabs(v) * 2e-6) << v;
    }
    const auto bytes = encode_packed(12345.0);
    EXPECT_EQ(decode_packed(bytes.data()), 12345.0);
}

TEST(PackedValues, ClearLeadingMantissaBitMeansZero)
{
    const unsigned char bytes[4] = {0x85, 0x5F, 0x7F, 0x7F};
    EXPECT_EQ(decode_packed(bytes), 0.0);
    const unsigned char high_bits_ignored[4] = {0x81, 0xA0, 0x80, 0x80};
    EXPECT_EQ(decode_packed(high_bits_ignored), 1.0);
}

TEST(PackedValues, DecodeWritesTheShortExponentText)
{
    char text[32];
    const auto bytes = encode_packed(12345.0);
    decode_packed(bytes.data(), text, sizeof text);
    EXPECT_STREQ(text, "1.23450E4");
    packed_to_text(text, sizeof text, 0.00001, 5);
    EXPECT_STREQ(text, "1.00000E-5");
    packed_to_text(text, sizeof text, 1.0, 5);
    EXPECT_STREQ(text, "1.00000E0");
    packed_to_text(text, sizeof text, -2.5e-100, 2);
    EXPECT_STREQ(text, "-2.50E-100");
    packed_to_text(text, 4, 12345.0, 5);
    EXPECT_STREQ(text, "1.2");
}

TEST(ParseValues, DecimalTextCountsEveryCommaField)
{
    double v[5] = {};
    EXPECT_EQ(parse_values("1.5,abc,3", v, 5), 3);
    EXPECT_EQ(v[0], 1.5);
    EXPECT_EQ(v[1], 0.0);
    EXPECT_EQ(v[2], 3.0);
    EXPECT_EQ(parse_values(" -1.25E+3, +2e-3 ,7x", v, 5), 3);
    EXPECT_EQ(v[0], -1250.0);
    EXPECT_EQ(v[1], 0.002);
    EXPECT_EQ(v[2], 7.0);
    EXPECT_EQ(parse_values("1,2,3,4,5,6,7", v, 5), 5);
    EXPECT_EQ(v[4], 5.0);
    EXPECT_EQ(parse_values("1,2", v, 0), 0);
}

TEST(ParseValues, PackedListStopsAtTheZeroSlot)
{
    double v[10] = {};
    std::string line = packed_line({1.0, -2.0, 0.25});
    line += std::string(5, '\0');
    EXPECT_EQ(parse_values(line, v, 10), 3);
    EXPECT_EQ(v[0], 1.0);
    EXPECT_EQ(v[1], -2.0);
    EXPECT_EQ(v[2], 0.25);
    EXPECT_EQ(parse_values(line, v, 2), 2);
}

TEST(ParseValues, HostileLinesStayInsideTheirBounds)
{
    double v[4] = {};
    const std::string overflow = "1e999,-1e999,1e-999," + std::string(500, '9');
    EXPECT_EQ(parse_values(overflow, v, 4), 4);
    EXPECT_EQ(v[0], HUGE_VAL);
    EXPECT_EQ(v[1], -HUGE_VAL);
    EXPECT_EQ(v[2], 0.0);
    EXPECT_EQ(v[3], HUGE_VAL);
    // A packed line with no end marker and a value cut short at the end.
    const std::string cut = packed_line({1.0, 2.0}) + "\x81";
    EXPECT_EQ(parse_values(cut, v, 4), 3);
    EXPECT_EQ(v[1], 2.0);
    EXPECT_EQ(v[2], 0.0);
    const std::string text_with_nul("5,\0,9", 5);
    EXPECT_EQ(parse_values(text_with_nul, v, 4), 2);
    EXPECT_EQ(parse_values("", v, 4), 1);
    EXPECT_EQ(v[0], 0.0);
    // Doubled signs are no number at all, as the C conversion reads them.
    EXPECT_EQ(parse_values("--5,+-5,-+5, -7", v, 4), 4);
    EXPECT_EQ(v[0], 0.0);
    EXPECT_EQ(v[1], 0.0);
    EXPECT_EQ(v[2], 0.0);
    EXPECT_EQ(v[3], -7.0);
}

TEST(HexRoutines, DigitsBytesAndBitReversal)
{
    EXPECT_EQ(hex_digit_value('0'), 0);
    EXPECT_EQ(hex_digit_value('9'), 9);
    EXPECT_EQ(hex_digit_value('a'), 10);
    EXPECT_EQ(hex_digit_value('F'), 15);
    EXPECT_EQ(hex_digit_value('g'), -1);
    EXPECT_EQ(hex_byte("A5"), 0xA5);
    EXPECT_EQ(hex_byte("ff"), 0xFF);
    EXPECT_EQ(reverse_bits(0x01), 0x80);
    EXPECT_EQ(reverse_bits(0xA0), 0x05);
    EXPECT_EQ(reverse_bits(0xFF), 0xFF);
}
