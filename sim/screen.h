#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sim {

// The instrument's monochrome display.
class mono_screen {
public:
    mono_screen(int width, int height);

    bool pixel(int x, int y) const;

    void set(int x, int y, bool drawn);
    void fill(int x, int y, int w, int h, bool drawn);
    void frame(int x, int y, int w, int h);
    // Text in the 5 x 7 cell font, each pixel drawn `scale` times; returns
    // the x just after the text.
    int text(int x, int y, std::string_view s, int scale, bool drawn = true);

    // The reply to "SCREEN?": one line per pixel row from the top, two
    // leading characters (the row number in hex) and then width/8 bytes as
    // two hex digits each, the leftmost pixel of each byte in its least
    // significant bit, 1 for a drawn pixel.
    std::vector<std::string> wire_lines() const;

private:
    int width_;
    int height_;
    std::vector<bool> drawn_;
};

// The size of the display an instrument with this type code has.
struct screen_size {
    int width;
    int height;
};
screen_size screen_size_for_type(int type_code);

// What the display shows: the model in a title bar, the operating mode and
// a few lines of readings.
struct screen_content {
    std::string model;
    std::string mode;
    std::vector<std::string> readings;
    bool remote = false;
};
mono_screen render_screen(const screen_content& content, screen_size size);

} // namespace sim
