#pragma once
// The program's texts are Windows-1252 bytes; some neighbours (the lab
// archive's server, the windows' toolkit) speak Unicode. Both ways the
// conversion is the one the windows' own code pages use: the five bytes
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for
// the control characters of the same number, so every byte has a
// character and comes back as itself.

#include <string>

// The Unicode character byte stands for.
char32_t ansi_char(unsigned char byte);
// The byte that stands for character, or -1 when Windows-1252 has none.
int ansi_byte(char32_t character);

// Windows-1252 bytes as UTF-8: always possible and reversible.
std::string ansi_to_utf8(const std::string& ansi);
// UTF-8 as Windows-1252 bytes, a character without a byte (or a malformed
// sequence) written as '?'; false when that happened.
bool utf8_to_ansi(const std::string& utf8, std::string& ansi);
// The same, for texts whose loss only shows (messages).
std::string utf8_to_ansi(const std::string& utf8);
