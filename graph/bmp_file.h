#pragma once
// Device-independent bitmap files: a 14-byte file header, a 40-byte
// information header and bottom-up rows of 24-bit pixels (blue, green, red),
// each row padded to a multiple of four bytes.

#include <cstdint>
#include <string>
#include <vector>

struct s_bmp_image {
    int width = 0;
    int height = 0;
    // Top row first, three bytes per pixel in red, green, blue order.
    std::vector<uint8_t> rgb;
};

std::vector<uint8_t> bmp_encode(const s_bmp_image& image);
// 0 on success, -1 when the file cannot be written. The file is written
// whole through a temporary file and a rename: a failure leaves nothing
// behind and an existing file as it was.
int bmp_write_file(const std::string& path, const s_bmp_image& image);
