#include "graph/bmp_file.h"

#include "base/text_file.h"

#include <cstdio>

namespace {

constexpr uint32_t FILE_HEADER_BYTES = 14;
constexpr uint32_t INFO_HEADER_BYTES = 40;
constexpr uint32_t PIXELS_PER_METRE = 3780; // 96 dots per inch

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

std::vector<uint8_t> bmp_encode(const s_bmp_image& image)
{
    const uint32_t w = image.width > 0 ? static_cast<uint32_t>(image.width) : 0;
    const uint32_t h = image.height > 0 ? static_cast<uint32_t>(image.height) : 0;
    const uint32_t stride = (w * 3 + 3) & ~3u;
    const uint32_t offset = FILE_HEADER_BYTES + INFO_HEADER_BYTES;
    std::vector<uint8_t> out;
    out.reserve(offset + stride * h);
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + stride * h);
    put32(out, 0);
    put32(out, offset);
    put32(out, INFO_HEADER_BYTES);
    put32(out, w);
    put32(out, h);
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, stride * h);
    put32(out, PIXELS_PER_METRE);
    put32(out, PIXELS_PER_METRE);
    put32(out, 0);
    put32(out, 0);
    const bool complete = image.rgb.size() >= static_cast<size_t>(w) * h * 3;
    for (uint32_t row = h; row-- > 0;) {
        for (uint32_t x = 0; x < w; ++x) {
            const size_t i = (static_cast<size_t>(row) * w + x) * 3;
            out.push_back(complete ? image.rgb[i + 2] : 0);
            out.push_back(complete ? image.rgb[i + 1] : 0);
            out.push_back(complete ? image.rgb[i] : 0);
        }
        for (uint32_t pad = w * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

int bmp_write_file(const std::string& path, const s_bmp_image& image)
{
    const std::vector<uint8_t> bytes = bmp_encode(image);
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const bool written = file_write_replacing(
        path, [view](const std::string& temporary) { return file_put_bytes(temporary, view); });
    return written ? 0 : -1;
}
