#pragma once
// Engineering number texts and the instrument's number forms.
//
// Measured values span many decades, so displays, tables and axis labels
// show them with SI prefixes and five significant digits ("4.7000 m",
// "12.345 k"). The compact form writes resistor-style values ("4k7").
//
// Instrument replies carry either comma-separated decimal text or packed
// values: four bytes each (a 7-bit two's-complement power-of-two exponent in
// byte 0, whose top bit is always set, and a signed 20-bit normalised
// mantissa in bytes 1..3), one separator byte between values.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Writes the engineering text of value into out, at most size - 2
// characters (always terminated when size > 0).
void format_engineering(double value, char* out, size_t size);
std::string format_engineering(double value);

// The compact form of an integer: 4700 -> "4k7", 1000 -> "1k", 47 -> "47".
void format_compact(int value, char* out, size_t size);
std::string format_compact(int value);

// Nearest integer, halves away from zero; values beyond the int range are
// clamped to it.
int nearest_int(double value);

// Size of one packed value and the distance between two in a list.
constexpr size_t PACKED_VALUE_BYTES = 4;
constexpr size_t PACKED_VALUE_STRIDE = 5;

// Parses the numbers of one reply line into values (at most max_count) and
// returns how many were stored. A line whose first byte has its top bit set
// is a list of packed values; otherwise it is comma-separated decimal text
// (text that is no number counts as 0). The line's length bounds every read:
// bytes past its end count as zero.
int parse_values(std::string_view line, double* values, int max_count);

// Decodes one packed value. When text is given, also writes the value's
// text form (packed_to_text with five decimals) there.
double decode_packed(const unsigned char* bytes, char* text = nullptr, size_t text_size = 0);

// "%.*E" with the exponent shortened: 12345 -> "1.23450E4", 1e-5 ->
// "1.00000E-5", 1 -> "1.00000E0".
void packed_to_text(char* out, size_t size, double value, int decimals);

// Hex helpers for the screen-capture bitmaps.
int hex_digit_value(char c);        // 0..15, or -1 for a non-hex character
uint8_t hex_byte(const char* two);  // two hex characters -> byte
uint8_t reverse_bits(uint8_t byte); // bit 0 <-> bit 7, bit 1 <-> bit 6, ...
