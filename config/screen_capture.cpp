#include "config/screen_capture.h"

#include "base/number_format.h"
#include "base/ui_seam.h"
#include "link/link.h"
#include "office/word_export.h"

#include <cstring>
#include <memory>

namespace {

constexpr const char* CAPTION = "Screen Capture Mode";
// Room for the longest row (2 + 480/4 characters) and more, so an over-long
// row is seen whole and refused.
constexpr size_t LINE_ROOM = 512;

void say(const char* text, const char* caption)
{
    ui_message_box(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
}

} // namespace

s_screen_capture& screen_capture_record()
{
    static const auto record = std::make_unique<s_screen_capture>();
    return *record;
}

void screen_size(const s_instrument_caps& caps, bool identified, int32_t& width, int32_t& height)
{
    width = identified ? caps.screen_width : 0;
    height = identified ? caps.screen_height : 0;
}

bool screen_parse_row(std::string_view line, int width, uint8_t* out)
{
    const size_t bytes = static_cast<size_t>(width / 8);
    if (line.size() != 2 + 2 * bytes)
        return false;
    for (size_t i = 0; i < bytes; ++i) {
        const int high = hex_digit_value(line[2 + 2 * i]);
        const int low = hex_digit_value(line[3 + 2 * i]);
        if (high < 0 || low < 0)
            return false;
        out[i] = static_cast<uint8_t>(~reverse_bits(static_cast<uint8_t>(high << 4 | low)));
    }
    return true;
}

int screen_capture(s_link& link, s_screen_capture& capture)
{
    std::memset(&capture, 0, sizeof capture);
    screen_size(link.caps, link.identified, capture.width, capture.height);
    if (link_send(link, "SCREEN?\n") < 0)
        return -1;
    const int row_bytes = capture.width / 8;
    char line[LINE_ROOM];
    for (int row = 0; row < capture.height; ++row) {
        const int length = link_read_line(link, line, sizeof line);
        if (length < 0 || !screen_parse_row(std::string_view(line, static_cast<size_t>(length)),
                                            capture.width, capture.bits + row * row_bytes))
            return -1;
    }
    capture.valid = capture.height > 0;
    return capture.valid ? 0 : -1;
}

int screen_download(s_link& link, s_screen_capture& capture)
{
    if (!link.caps.screen_capture) {
        say("The connected instrument is incompatable with the screen capture function",
            "Incompatable Instrument");
        return -1;
    }
    if (!link.identified || link_open(link) != 0) {
        say("ERROR: Cannot connect to instrument", CAPTION);
        link_close(link);
        return -1;
    }
    int result = 0;
    {
        const wait_cursor waiting;
        link_send(link, "SUSPEND,ON\n");
        result = screen_capture(link, capture);
        link_drain(link, 0);
        link_send(link, "SUSPEND,OFF\n");
    }
    if (result != 0 && !link_cancelled(link))
        say("Failed to fetch screen capture data", CAPTION);
    link_close(link);
    return result;
}

s_bmp_image screen_picture(const s_screen_capture& capture)
{
    s_bmp_image image;
    image.width = capture.width > 0 ? capture.width : 320;
    image.height = capture.height > 0 ? capture.height : 240;
    image.rgb.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3,
                     0xFF);
    if (!capture.valid)
        return image;
    const int row_bytes = capture.width / 8;
    for (int y = 0; y < capture.height; ++y)
        for (int x = 0; x < capture.width; ++x) {
            const bool white = (capture.bits[y * row_bytes + x / 8] >> (7 - x % 8)) & 1;
            if (!white)
                std::memset(&image.rgb[(static_cast<size_t>(y) * image.width + x) * 3], 0, 3);
        }
    return image;
}

int screen_export_file(const s_screen_capture& capture, const std::string& path, bool word)
{
    if (bmp_write_file(path, screen_picture(capture)) != 0) {
        ui_message_box(nullptr, "Unable to write the bitmap file " + path, CAPTION,
                       MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    return word ? word_export_picture(path) : 0;
}
