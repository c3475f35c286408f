#include "base/window_placement.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

void PrintTo(const s_place_rect& r, std::ostream* out)
{
    *out << r.x << "," << r.y << " " << r.width << "x" << r.height;
}

namespace {

constexpr int DW = 1024, DH = 625;

TEST(WindowPlacement, FirstOpenTakesThreeQuartersOfTheScreenCentredNeverBelowTheDesign)
{
    struct s_case {
        s_place_rect available;
        s_place_rect expected;
    };
    const s_case cases[] = {
        // A small screen: the design size, kept on the screen from its top left.
        {{0, 0, 1024, 700}, {0, 37, 1024, 625}},
        {{0, 0, 800, 600}, {0, 0, 1024, 625}},
        {{0, 0, 1400, 1000}, {94, 67, 1212, 866}},
        {{0, 0, 1920, 1080}, {128, 72, 1663, 935}},
        // A panel on the left and a second screen's origin.
        {{1920, 40, 1920, 1040}, {2048, 109, 1663, 901}},
    };
    for (const s_case& c : cases) {
        EXPECT_EQ(placement_first(c.available, DW, DH), c.expected)
            << c.available.width << "x" << c.available.height;
    }
}

TEST(WindowPlacement, RememberedPlaceKeptOnAScreenAndCentredWhenOffEveryScreen)
{
    const std::vector<s_place_rect> screens = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const s_place_rect main_area = screens[0];
    struct s_case {
        const char* what;
        s_place_rect saved;
        s_place_rect expected;
    };
    const s_case cases[] = {
        {"on the first screen", {100, 50, 1200, 800}, {100, 50, 1200, 800}},
        {"on the second screen", {2000, 100, 1100, 700}, {2000, 100, 1100, 700}},
        {"larger than its screen", {1920, 0, 1600, 1200}, {1920, 0, 1280, 1024}},
        {"shrunk and moved onto its screen", {1930, 30, 1380, 1040}, {1920, 0, 1280, 1024}},
        {"past the screen's corner", {2500, 500, 1100, 700}, {2100, 324, 1100, 700}},
        {"below the design size", {10, 10, 300, 200}, {10, 10, DW, DH}},
        {"off every screen", {-5000, -4000, 1200, 800}, {360, 140, 1200, 800}},
        {"a screen unplugged", {3400, 200, 1100, 700}, {410, 190, 1100, 700}},
        {"only a sliver showing", {1900, 1070, 1200, 800}, {360, 140, 1200, 800}},
        {"title strip above the screen", {200, -600, 1000, 620}, {448, 227, DW, DH}},
    };
    for (const s_case& c : cases)
        EXPECT_EQ(placement_restore(c.saved, screens, main_area, main_area, DW, DH), c.expected)
            << c.what;
}

TEST(WindowPlacement, SettingsKeepGeometryAndSizeAndIgnoreWhatCannotBeRead)
{
    const fs::path dir = fs::temp_directory_path() / "tarvelo_window_placement";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string file = (dir / "Tarvelo.ini").string();

    EXPECT_FALSE(settings_window_geometry(file, "Main"));
    ASSERT_TRUE(settings_set_window_geometry(file, "Main", {{-20, 30, 1300, 900}, true}));
    ASSERT_TRUE(settings_set_window_size(file, "FileChooser", 910, 570));
    const auto g = settings_window_geometry(file, "Main");
    ASSERT_TRUE(g);
    EXPECT_EQ(g->rect, (s_place_rect{-20, 30, 1300, 900}));
    EXPECT_TRUE(g->maximized);
    EXPECT_EQ(settings_window_size(file, "FileChooser"), (s_place_rect{0, 0, 910, 570}));

    for (const char* bad : {"1,2,3", "1,2,3,4,5", "a,b,c,d", "1,2,0,400", "1,2,-300,400",
                            "1, 2,3,4", "", "1,2,3,4x"}) {
        std::ofstream(file, std::ios::trunc)
            << "[Windows]\r\nGraphGeometry=" << bad << "\r\nGraphSize=" << bad << "\r\n";
        EXPECT_FALSE(settings_window_geometry(file, "Graph")) << bad;
        EXPECT_FALSE(settings_window_size(file, "Graph")) << bad;
    }
    fs::remove_all(dir);
}

} // namespace
