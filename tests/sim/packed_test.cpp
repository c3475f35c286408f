#include "sim/packed.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The receiving side written from the wire description alone: exponent as
// 7-bit two's complement in byte 0, sign and the 20-bit mantissa in bytes
// 1-3, the top bits of bytes 1-3 ignored.
double decode(const unsigned char* b)
{
    if ((b[1] & 0x20) == 0) {
        return 0;
    }
    int exponent = b[0] & 0x7F;
    if (exponent >= 64) {
        exponent -= 128;
    }
    const double mantissa = ((b[1] & 0x3F) << 14 | (b[2] & 0x7F) << 7 | (b[3] & 0x7F)) / 1048576.0;
    return ((b[1] & 0x40) ? -mantissa : mantissa) * std::pow(2.0, exponent);
}

// Splits a packed line as the application's value parser does: a value
// every 5 bytes, stopping after a value whose next slot starts with a zero
// byte (the buffer is cleared beyond the line).
std::vector<double> parse_packed_line(const std::string& line)
{
    std::string buffer = line + std::string(16, '\0');
    std::vector<double> values;
    for (std::size_t pos = 0;; pos += 5) {
        values.push_back(decode(reinterpret_cast<const unsigned char*>(buffer.data() + pos)));
        if (buffer[pos + 5] == '\0') {
            return values;
        }
    }
}

TEST(PackedForm, KnownEncodingsFollowTheByteLayout)
{
    const auto one = sim::packed_encode(1.0); // 0.5 * 2^1
    EXPECT_EQ(one[0], 0x81);
    EXPECT_EQ(one[1] & 0x7F, 0x20);
    EXPECT_EQ(one[2] & 0x7F, 0x00);
    EXPECT_EQ(one[3] & 0x7F, 0x00);

    const auto minus_quarter = sim::packed_encode(-0.25); // -0.5 * 2^-1
    EXPECT_EQ(minus_quarter[0], 0x80 | 0x7F);
    EXPECT_EQ(minus_quarter[1] & 0x7F, 0x60);

    const auto zero = sim::packed_encode(0.0);
    EXPECT_EQ(zero[0] & 0x80, 0x80);
    EXPECT_EQ(zero[1] & 0x20, 0);
    EXPECT_EQ(decode(zero.data()), 0.0);
}

TEST(PackedForm, RoundTripsAcrossTheRangeWithinMantissaPrecision)
{
    for (double v : {1.0, -1.0, 3.14159, 1e-12, -2.5e-9, 12345.678, 1e15, 0.999999, 47e6}) {
        const auto bytes = sim::packed_encode(v);
        EXPECT_NEAR(decode(bytes.data()), v, std::fabs(v) * 1.0 / (1 << 19)) << v;
    }
}

TEST(PackedForm, OutOfRangeValuesSaturateOrVanishInsteadOfWrapping)
{
    const double huge = sim::packed_decode(sim::packed_encode(1e300).data());
    EXPECT_GT(huge, 1e18);
    EXPECT_EQ(sim::packed_decode(sim::packed_encode(1e-300).data()), 0.0);
    EXPECT_EQ(sim::packed_decode(sim::packed_encode(std::nan("")).data()), 0.0);
    EXPECT_GT(sim::packed_decode(sim::packed_encode(INFINITY).data()), 1e18);
}

TEST(PackedForm, NoByteCanEndOrCutALine)
{
    for (int i = -2000; i <= 2000; ++i) {
        const double v = i * 0.37 * std::pow(10.0, i % 13);
        for (unsigned char b : sim::packed_encode(v)) {
            EXPECT_NE(b, '\n');
            EXPECT_NE(b, '\r');
            EXPECT_NE(b, '\0');
        }
    }
}

TEST(PackedForm, LineOfValuesIsReadBackWholeByTheSlotRule)
{
    const std::vector<double> values = {1000.0, 0.0, -3.5, 2.2e-6, 45.0, -1.0e-4};
    const std::string line = sim::format_values(values, true);
    EXPECT_EQ(line.size(), values.size() * 5 - 1);
    const auto parsed = parse_packed_line(line);
    ASSERT_EQ(parsed.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_NEAR(parsed[i], values[i], std::fabs(values[i]) * 1e-5);
    }
}

TEST(PackedForm, DecimalLinesAreCommaSeparatedExponentText)
{
    EXPECT_EQ(sim::format_values({1000.0, -0.5}, false), "1.00000E+03,-5.00000E-01");
    EXPECT_EQ(std::strtod(sim::format_values({12.5}, false).c_str(), nullptr), 12.5);
}

} // namespace
