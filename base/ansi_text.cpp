#include "base/ansi_text.h"

#include <cstdint>

namespace {

// 0x80..0x9F; 0 where Windows-1252 defines no character.
const char16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void put_utf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

// The character starting at utf8[at], moving at past it; -1 for a
// malformed sequence (at then moves one byte, or past an overlong form).
int64_t next_char(const std::string& utf8, size_t& at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(utf8[i]); };
    const unsigned char lead = byte(at++);
    if (lead < 0x80)
        return lead;
    const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (more < 0 || lead >= 0xF8 || at + more > utf8.size())
        return -1;
    int64_t c = lead & (0x3F >> more);
    for (int i = 0; i < more; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return -1;
        c = (c << 6) | (byte(at + i) & 0x3F);
    }
    at += more;
    // The shortest form only, within Unicode's range.
    static const int64_t least[] = {0, 0x80, 0x800, 0x10000};
    return c < least[more] || c > 0x10FFFF ? -1 : c;
}

} // namespace

char32_t ansi_char(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 && high[byte - 0x80] ? high[byte - 0x80] : byte;
}

int ansi_byte(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return int(character);
    for (int i = 0; i < 32; ++i)
        if (high[i] ? high[i] == character : character == char32_t(0x80 + i))
            return 0x80 + i;
    return -1;
}

std::string ansi_to_utf8(const std::string& ansi)
{
    std::string out;
    out.reserve(ansi.size());
    for (unsigned char c : ansi)
        put_utf8(out, ansi_char(c));
    return out;
}

bool utf8_to_ansi(const std::string& utf8, std::string& ansi)
{
    ansi.clear();
    ansi.reserve(utf8.size());
    bool exact = true;
    for (size_t at = 0; at < utf8.size();) {
        const int64_t c = next_char(utf8, at);
        const int byte = c < 0 ? -1 : ansi_byte(char32_t(c));
        exact = exact && byte >= 0;
        ansi.push_back(byte >= 0 ? char(byte) : '?');
    }
    return exact;
}

std::string utf8_to_ansi(const std::string& utf8)
{
    std::string ansi;
    utf8_to_ansi(utf8, ansi);
    return ansi;
}
