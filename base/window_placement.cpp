#include "base/window_placement.h"

#include "base/profile_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

constexpr const char* SECTION = "Windows";

// Comma-separated integers, exactly count of them.
std::optional<std::vector<int>> parse_ints(const std::string& text, size_t count)
{
    std::vector<int> out;
    const char* p = text.data();
    const char* end = p + text.size();
    while (out.size() < count) {
        int v = 0;
        const auto [next, ec] = std::from_chars(p, end, v);
        if (ec != std::errc())
            return std::nullopt;
        out.push_back(v);
        p = next;
        if (out.size() < count) {
            if (p == end || *p != ',')
                return std::nullopt;
            ++p;
        }
    }
    if (p != end)
        return std::nullopt;
    return out;
}

// One side: at least the design, at most the room unless the design is larger.
int fitted_side(int wanted, int design, int room)
{
    return std::max(std::min(wanted, room), design);
}

// The start of a side of length len centred on [c0, c0 + clen), kept on
// [a0, a0 + alen) where it fits and at a0 where it does not.
int centred_start(int len, int c0, int clen, int a0, int alen)
{
    int start = c0 + (clen - len) / 2;
    start = std::min(start, a0 + alen - len);
    return std::max(start, a0);
}

int overlap(int a0, int alen, int b0, int blen)
{
    return std::max(0, std::min(a0 + alen, b0 + blen) - std::max(a0, b0));
}

} // namespace

s_place_rect placement_first(const s_place_rect& available, int design_width, int design_height)
{
    const s_place_rect size{
        0, 0, static_cast<int>(std::lround(available.width * FIRST_OPEN_SIDE_SHARE)),
        static_cast<int>(std::lround(available.height * FIRST_OPEN_SIDE_SHARE))};
    return placement_centred(size, available, available, design_width, design_height);
}

s_place_rect placement_centred(const s_place_rect& size, const s_place_rect& centre_on,
                               const s_place_rect& available, int design_width, int design_height)
{
    s_place_rect r;
    r.width = fitted_side(size.width, design_width, available.width);
    r.height = fitted_side(size.height, design_height, available.height);
    r.x = centred_start(r.width, centre_on.x, centre_on.width, available.x, available.width);
    r.y = centred_start(r.height, centre_on.y, centre_on.height, available.y, available.height);
    return r;
}

s_place_rect placement_restore(const s_place_rect& saved, const std::vector<s_place_rect>& screens,
                               const s_place_rect& centre_on, const s_place_rect& centre_area,
                               int design_width, int design_height)
{
    for (const s_place_rect& s : screens) {
        const bool grip_shown = overlap(saved.x, saved.width, s.x, s.width) >= PLACEMENT_GRIP &&
                                overlap(saved.y, PLACEMENT_GRIP, s.y, s.height) >= PLACEMENT_GRIP;
        if (grip_shown) {
            s_place_rect r;
            r.width = fitted_side(saved.width, design_width, s.width);
            r.height = fitted_side(saved.height, design_height, s.height);
            // Moved no further than it takes to keep the whole frame on the screen.
            r.x = centred_start(r.width, saved.x, r.width, s.x, s.width);
            r.y = centred_start(r.height, saved.y, r.height, s.y, s.height);
            return r;
        }
    }
    return placement_centred(saved, centre_on, centre_area, design_width, design_height);
}

std::optional<s_window_geometry> settings_window_geometry(const std::string& settings_file,
                                                          const std::string& name)
{
    const auto v = parse_ints(profile_read(settings_file, SECTION, name + "Geometry", ""), 4);
    if (!v || (*v)[2] <= 0 || (*v)[3] <= 0)
        return std::nullopt;
    s_window_geometry g;
    g.rect = {(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
    g.maximized = profile_read_int(settings_file, SECTION, name + "Maximized", 0) != 0;
    return g;
}

bool settings_set_window_geometry(const std::string& settings_file, const std::string& name,
                                  const s_window_geometry& g)
{
    const std::string rect = std::to_string(g.rect.x) + "," + std::to_string(g.rect.y) + "," +
                             std::to_string(g.rect.width) + "," + std::to_string(g.rect.height);
    return profile_write(settings_file, SECTION, name + "Geometry", rect) &&
           profile_write(settings_file, SECTION, name + "Maximized", g.maximized ? "1" : "0");
}

std::optional<s_place_rect> settings_window_size(const std::string& settings_file,
                                                 const std::string& name)
{
    const auto v = parse_ints(profile_read(settings_file, SECTION, name + "Size", ""), 2);
    if (!v || (*v)[0] <= 0 || (*v)[1] <= 0)
        return std::nullopt;
    return s_place_rect{0, 0, (*v)[0], (*v)[1]};
}

bool settings_set_window_size(const std::string& settings_file, const std::string& name, int width,
                              int height)
{
    return profile_write(settings_file, SECTION, name + "Size",
                         std::to_string(width) + "," + std::to_string(height));
}
