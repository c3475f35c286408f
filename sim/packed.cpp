#include "sim/packed.h"

#include <cmath>
#include <cstdio>

namespace sim {

namespace {

constexpr double k_mantissa_scale = 1048576.0; // 2^20
constexpr int k_min_exponent = -64;
constexpr int k_max_exponent = 63;

// Zero has the leading mantissa bit clear; the other bits are free, so they
// are chosen to keep every byte clear of NUL, CR and LF.
constexpr std::array<unsigned char, 4> k_packed_zero = {0x80, 0x10, 0x80, 0x80};

} // namespace

std::array<unsigned char, 4> packed_encode(double value)
{
    if (value == 0.0 || std::isnan(value)) {
        return k_packed_zero;
    }
    int exponent = 0;
    double fraction = std::frexp(std::fabs(value), &exponent);
    long mantissa = std::lround(fraction * k_mantissa_scale);
    if (mantissa >= static_cast<long>(k_mantissa_scale)) {
        mantissa /= 2;
        ++exponent;
    }
    if (exponent < k_min_exponent) {
        return k_packed_zero;
    }
    if (exponent > k_max_exponent || std::isinf(value)) {
        exponent = k_max_exponent;
        mantissa = static_cast<long>(k_mantissa_scale) - 1;
    }
    const bool negative = value < 0;
    return {static_cast<unsigned char>(0x80 | (exponent & 0x7F)),
            static_cast<unsigned char>((negative ? 0x40 : 0) | ((mantissa >> 14) & 0x3F)),
            static_cast<unsigned char>(0x80 | ((mantissa >> 7) & 0x7F)),
            static_cast<unsigned char>(0x80 | (mantissa & 0x7F))};
}

double packed_decode(const unsigned char* bytes)
{
    if ((bytes[1] & 0x20) == 0) {
        return 0.0;
    }
    int exponent = bytes[0] & 0x7F;
    if (exponent & 0x40) {
        exponent -= 0x80;
    }
    const long mantissa = (static_cast<long>(bytes[1] & 0x3F) << 14) |
                          (static_cast<long>(bytes[2] & 0x7F) << 7) | (bytes[3] & 0x7F);
    const double magnitude = std::ldexp(mantissa / k_mantissa_scale, exponent);
    return (bytes[1] & 0x40) ? -magnitude : magnitude;
}

std::string format_values(const std::vector<double>& values, bool packed)
{
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        if (packed) {
            const auto bytes = packed_encode(values[i]);
            line.append(bytes.begin(), bytes.end());
        } else {
            char text[40];
            std::snprintf(text, sizeof text, "%.5E", values[i]);
            line += text;
        }
    }
    return line;
}

} // namespace sim
