#pragma once
// Builds the instrument's packed four-byte form of a double, the way the
// instrument sends it, so tests can check the decoder against known values.

#include <array>
#include <cmath>
#include <cstdint>

inline std::array<unsigned char, 4> encode_packed(double value)
{
    if (value == 0)
        return {0x80, 0, 0, 0};
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    auto mantissa = static_cast<uint32_t>(std::lround(fraction * 1048576.0));
    if (mantissa >= 1048576u) {
        mantissa >>= 1;
        ++exponent;
    }
    return {static_cast<unsigned char>(0x80 | (exponent & 0x7F)),
            static_cast<unsigned char>((value < 0 ? 0x40 : 0) | ((mantissa >> 14) & 0x3F)),
            static_cast<unsigned char>((mantissa >> 7) & 0x7F),
            static_cast<unsigned char>(mantissa & 0x7F)};
}
