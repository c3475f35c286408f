#include "graph/bode_colors.h"

#include <cstddef>

const std::array<s_named_color, BODE_COLOR_COUNT> bode_color_table{{
    {"Crimson", {220, 20, 60}},
    {"Hot Pink", {255, 105, 180}},
    {"Royal Blue", {58, 95, 205}},
    {"Steel Blue", {99, 184, 255}},
    {"Emerald Green", {0, 201, 87}},
    {"Olive", {107, 142, 35}},
    {"Khaki", {238, 230, 133}},
    {"Gold", {255, 215, 0}},
    {"Orange", {255, 150, 0}},
    {"Coral", {205, 91, 69}},
    {"Peach", {255, 218, 185}},
    {"Salmon", {198, 113, 113}},
    {"Chocolate", {139, 69, 19}},
    {"Tan", {205, 133, 63}},
    {"Beet", {142, 56, 142}},
    {"Indigo", {75, 0, 130}},
    {"Turquoise", {0, 197, 205}},
    {"Orchid", {255, 131, 250}},
}};

s_bode_palette bode_palette(bode_background background)
{
    const s_rgb dark{85, 85, 85};
    const s_rgb light{169, 169, 169};
    if (background == bode_background::white)
        return {dark, light, {250, 0, 0}, {0, 0, 200}};
    return {light, dark, {255, 150, 150}, {150, 150, 255}};
}

s_rgb bode_color(int index, s_rgb custom)
{
    if (index < 0 || index >= BODE_COLOR_COUNT)
        return custom;
    return bode_color_table[static_cast<std::size_t>(index)].rgb;
}
