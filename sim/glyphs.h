#pragma once

#include <array>
#include <cstdint>

namespace sim {

constexpr int k_glyph_width = 5;
constexpr int k_glyph_height = 7;

// The display's 5 x 7 character cell: one byte per row from the top, bit 4
// the leftmost pixel. Lower-case letters are drawn as capitals; characters
// the display has no glyph for show as "?".
const std::array<std::uint8_t, k_glyph_height>& glyph_rows(char c);

} // namespace sim
