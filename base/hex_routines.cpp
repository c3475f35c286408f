#include "base/number_format.h"

int hex_digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

uint8_t hex_byte(const char* two)
{
    return static_cast<uint8_t>(16 * hex_digit_value(two[0]) + hex_digit_value(two[1]));
}

uint8_t reverse_bits(uint8_t byte)
{
    uint8_t out = 0;
    for (int i = 0; i < 8; ++i)
        if (byte & (1u << i))
            out |= static_cast<uint8_t>(0x80u >> i);
    return out;
}
