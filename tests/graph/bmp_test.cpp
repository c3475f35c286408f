#include "graph/bmp_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

uint32_t u32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

} // namespace

TEST(BmpFile, HeadersAndBottomUpPaddedRows)
{
    s_bmp_image img{3, 2, {}};
    // Top row: red, green, blue; bottom row: white, black, grey.
    img.rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 128, 128, 128};
    const auto b = bmp_encode(img);
    const uint32_t stride = 12; // 9 bytes padded to 12
    ASSERT_EQ(b.size(), 54 + stride * 2);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), 54 + stride * 2);
    EXPECT_EQ(u32(b, 10), 54u);
    EXPECT_EQ(u32(b, 14), 40u);
    EXPECT_EQ(u32(b, 18), 3u);
    EXPECT_EQ(u32(b, 22), 2u); // positive: rows run bottom-up
    EXPECT_EQ(b[26], 1);
    EXPECT_EQ(b[28], 24);
    EXPECT_EQ(u32(b, 30), 0u);
    EXPECT_EQ(u32(b, 38), 3780u);
    EXPECT_EQ(u32(b, 42), 3780u);
    // First stored row is the bottom row, pixels in blue, green, red order.
    const std::vector<uint8_t> bottom(b.begin() + 54, b.begin() + 54 + 12);
    EXPECT_EQ(bottom, (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0}));
    EXPECT_EQ(b[54 + 12], 0);       // top row, red pixel: blue
    EXPECT_EQ(b[54 + 12 + 2], 255); // red
}

TEST(BmpFile, WritesTheFileAndReportsFailure)
{
    const auto dir = std::filesystem::temp_directory_path() / "tarvelo_bmp_test";
    std::filesystem::create_directories(dir);
    const s_bmp_image img{4, 1, std::vector<uint8_t>(12, 7)};
    const auto path = (dir / "chart.bmp").string();
    ASSERT_EQ(bmp_write_file(path, img), 0);
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes, bmp_encode(img));
    EXPECT_EQ(bmp_write_file((dir / "missing" / "x.bmp").string(), img), -1);
    std::filesystem::remove_all(dir);
}
