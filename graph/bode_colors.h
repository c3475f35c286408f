#pragma once
// The chart's colours: the fixed pens of the FRA view on either background
// and the named colour table from which the graph dialog picks trace
// colours.

#include <array>
#include <cstdint>

struct s_rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const s_rgb&) const = default;
};

enum class bode_background { black, white, custom };

struct s_bode_palette {
    s_rgb major_grid;
    s_rgb minor_grid;
    s_rgb cursor0_pen;
    s_rgb cursor1_pen;
};

s_bode_palette bode_palette(bode_background background);

constexpr s_rgb BODE_GAIN_TRACE{255, 0, 0};
constexpr s_rgb BODE_PHASE_TRACE{0, 0, 255};
constexpr s_rgb BODE_GAIN_TITLE{250, 0, 0};
constexpr s_rgb BODE_PHASE_TITLE{0, 0, 200};
constexpr s_rgb BODE_CURSOR0_TEXT{205, 100, 100};
constexpr s_rgb BODE_CURSOR1_TEXT{100, 100, 205};

struct s_named_color {
    const char* name;
    s_rgb rgb;
};

constexpr int BODE_COLOR_COUNT = 18;
// Index of the "Custom..." entry that follows the named colours.
constexpr int BODE_COLOR_CUSTOM = 18;
extern const std::array<s_named_color, BODE_COLOR_COUNT> bode_color_table;

// The trace colour of a table index, or custom for BODE_COLOR_CUSTOM and
// anything outside the table.
s_rgb bode_color(int index, s_rgb custom);
