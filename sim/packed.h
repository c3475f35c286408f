#pragma once

#include <array>
#include <string>
#include <vector>

namespace sim {

// One number in the instrument's packed four-byte form: byte 0 carries the
// top bit marker and a 7-bit two's-complement exponent, bytes 1-3 a sign and
// a 20-bit normalised mantissa. Bytes 2 and 3 also get their (ignored) top
// bit set so that no packed byte can be mistaken for a line feed, carriage
// return or NUL on the wire.
std::array<unsigned char, 4> packed_encode(double value);

// The reader's side of the same form, used to check what the encoder sends.
double packed_decode(const unsigned char* bytes);

// One reply line of values without its terminator: decimal "%.5E" texts
// joined by commas, or packed values each followed by a comma separator
// except the last.
std::string format_values(const std::vector<double>& values, bool packed);

} // namespace sim
