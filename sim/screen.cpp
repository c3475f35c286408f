#include "sim/screen.h"

#include "sim/glyphs.h"

#include <cstdio>

namespace sim {

namespace {

constexpr int k_cell_width = k_glyph_width + 1;
constexpr int k_margin = 4;

} // namespace

mono_screen::mono_screen(int width, int height)
    : width_(width), height_(height), drawn_(static_cast<std::size_t>(width * height), false)
{
}

bool mono_screen::pixel(int x, int y) const
{
    return x >= 0 && y >= 0 && x < width_ && y < height_ &&
           drawn_[static_cast<std::size_t>(y * width_ + x)];
}

void mono_screen::set(int x, int y, bool drawn)
{
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
        drawn_[static_cast<std::size_t>(y * width_ + x)] = drawn;
    }
}

void mono_screen::fill(int x, int y, int w, int h, bool drawn)
{
    for (int row = y; row < y + h; ++row) {
        for (int col = x; col < x + w; ++col) {
            set(col, row, drawn);
        }
    }
}

void mono_screen::frame(int x, int y, int w, int h)
{
    fill(x, y, w, 1, true);
    fill(x, y + h - 1, w, 1, true);
    fill(x, y, 1, h, true);
    fill(x + w - 1, y, 1, h, true);
}

int mono_screen::text(int x, int y, std::string_view s, int scale, bool drawn)
{
    for (char c : s) {
        const auto& rows = glyph_rows(c);
        for (int row = 0; row < k_glyph_height; ++row) {
            for (int col = 0; col < k_glyph_width; ++col) {
                if (rows[static_cast<std::size_t>(row)] & (0x10 >> col)) {
                    fill(x + col * scale, y + row * scale, scale, scale, drawn);
                }
            }
        }
        x += k_cell_width * scale;
    }
    return x;
}

std::vector<std::string> mono_screen::wire_lines() const
{
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y) {
        char head[3];
        std::snprintf(head, sizeof head, "%02X", y & 0xFF);
        std::string line = head;
        for (int x = 0; x < width_; x += 8) {
            unsigned byte = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (pixel(x + bit, y)) {
                    byte |= 1u << bit;
                }
            }
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", byte);
            line += hex;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

screen_size screen_size_for_type(int type_code)
{
    if (type_code == 1 || type_code == 6) {
        return {480, 272};
    }
    return {320, 240};
}

mono_screen render_screen(const screen_content& content, screen_size size)
{
    mono_screen screen(size.width, size.height);
    screen.frame(0, 0, size.width, size.height);
    const int bar = 2 * k_glyph_height + 2 * k_margin;
    screen.fill(1, 1, size.width - 2, bar, true);
    screen.text(k_margin * 2, k_margin + 1, content.model, 2, false);
    int y = bar + 3 * k_margin;
    screen.text(k_margin * 2, y, content.mode, 1);
    y += k_glyph_height + 4 * k_margin;
    for (const auto& line : content.readings) {
        screen.text(k_margin * 2, y, line, 2);
        y += 2 * k_glyph_height + 2 * k_margin;
    }
    if (content.remote) {
        screen.text(k_margin * 2, size.height - k_glyph_height - 2 * k_margin, "REMOTE", 1);
    }
    return screen;
}

} // namespace sim
