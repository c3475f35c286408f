#include "base/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr double k_mantissa_scale = 1048576.0; // 2^20
constexpr unsigned char k_top_bit = 0x80;

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Decimal text at the start of text, as a C text-to-double conversion reads
// it: leading blanks, an optional sign, the longest number that follows; 0
// when there is none.
double decimal_at(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && is_blank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // A second sign makes no number ("--5" is not 5).
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return 0;
    double value = 0;
    const char* first = text.data() + i;
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Overflow gives infinity and underflow zero, as strtod reports them.
        value = std::strtod(std::string(first, result.ptr).c_str(), nullptr);
    } else if (result.ec != std::errc()) {
        return 0;
    }
    return negative ? -value : value;
}

int parse_packed(std::string_view line, double* values, int max_count)
{
    int count = 0;
    for (size_t at = 0; count < max_count && at < line.size(); at += PACKED_VALUE_STRIDE) {
        unsigned char bytes[PACKED_VALUE_BYTES] = {};
        std::memcpy(bytes, line.data() + at, std::min(PACKED_VALUE_BYTES, line.size() - at));
        values[count++] = decode_packed(bytes);
        const size_t next = at + PACKED_VALUE_STRIDE;
        if (next >= line.size() || line[next] == '\0')
            break;
    }
    return count;
}

int parse_decimal(std::string_view line, double* values, int max_count)
{
    line = line.substr(0, line.find('\0'));
    int count = 0;
    size_t at = 0;
    while (count < max_count) {
        values[count++] = decimal_at(line.substr(at));
        const size_t comma = line.find(',', at);
        if (comma == std::string_view::npos)
            break;
        at = comma + 1;
    }
    return count;
}

} // namespace

int parse_values(std::string_view line, double* values, int max_count)
{
    if (!values || max_count <= 0)
        return 0;
    if (!line.empty() && (static_cast<unsigned char>(line[0]) & k_top_bit))
        return parse_packed(line, values, max_count);
    return parse_decimal(line, values, max_count);
}

double decode_packed(const unsigned char* bytes, char* text, size_t text_size)
{
    double value = 0;
    if (bytes[1] & 0x20) {
        int exponent = bytes[0] & 0x7F;
        if (exponent & 0x40)
            exponent -= 0x80;
        const long mantissa = (static_cast<long>(bytes[1] & 0x3F) << 14) |
                              (static_cast<long>(bytes[2] & 0x7F) << 7) | (bytes[3] & 0x7F);
        value = std::ldexp(mantissa / k_mantissa_scale, exponent);
        if (bytes[1] & 0x40)
            value = -value;
    }
    if (text)
        packed_to_text(text, text_size, value, 5);
    return value;
}

void packed_to_text(char* out, size_t size, double value, int decimals)
{
    if (size == 0)
        return;
    char text[64];
    std::snprintf(text, sizeof text, "%.*E", std::clamp(decimals, 0, 30), value);
    char* e = std::strchr(text, 'E');
    if (e) {
        char* digits = e + 1;
        if (*digits == '+')
            std::memmove(digits, digits + 1, std::strlen(digits + 1) + 1);
        else if (*digits == '-')
            ++digits;
        for (int i = 0; i < 2 && digits[0] == '0' && digits[1] != '\0'; ++i)
            std::memmove(digits, digits + 1, std::strlen(digits + 1) + 1);
    }
    std::snprintf(out, size, "%s", text);
}
