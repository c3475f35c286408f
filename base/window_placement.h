#pragma once
// Where a window opens: its size and place on the screens present, from the
// geometry the settings file remembers or, the first time, from the screen.
// The settings file keeps one key per window in the "Windows" section:
// "<name>Geometry" = "x,y,width,height" (the window's normal geometry) and
// "<name>Maximized" = 0 or 1.

#include <optional>
#include <string>
#include <vector>

struct s_place_rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const s_place_rect&) const = default;
};

struct s_window_geometry {
    s_place_rect rect;
    bool maximized = false;
};

// The share of the available area a window takes when it first opens,
// applied to each side as the square root: about three quarters of it.
constexpr double FIRST_OPEN_SIDE_SHARE = 0.866;

// The first placement: about three quarters of the available area, never
// smaller than the design size, centred on the available area (its top left
// kept on the area when the window is larger).
s_place_rect placement_first(const s_place_rect& available, int design_width, int design_height);

// The size kept, never below the design size nor above the available area
// (unless the design size itself is larger), and centred on centre_on.
s_place_rect placement_centred(const s_place_rect& size, const s_place_rect& centre_on,
                               const s_place_rect& available, int design_width, int design_height);

// The remembered geometry put back: the same place when its title strip
// (the top PLACEMENT_GRIP pixels, at least PLACEMENT_GRIP wide) lies on one
// of the screens, its size fitted to that screen and moved as far as it
// takes to lie whole on it; otherwise the same size
// centred on centre_on and kept on centre_area (the available area there).
constexpr int PLACEMENT_GRIP = 40;
s_place_rect placement_restore(const s_place_rect& saved, const std::vector<s_place_rect>& screens,
                               const s_place_rect& centre_on, const s_place_rect& centre_area,
                               int design_width, int design_height);

// The settings file's record of a window; nothing when it has none or it
// cannot be read.
std::optional<s_window_geometry> settings_window_geometry(const std::string& settings_file,
                                                          const std::string& name);
// False when the settings file could not be written.
bool settings_set_window_geometry(const std::string& settings_file, const std::string& name,
                                  const s_window_geometry& geometry);

// A chooser's remembered size ("<name>Size" = "width,height"); nothing when
// none is kept.
std::optional<s_place_rect> settings_window_size(const std::string& settings_file,
                                                 const std::string& name);
bool settings_set_window_size(const std::string& settings_file, const std::string& name, int width,
                              int height);
