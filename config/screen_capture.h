#pragma once
// The instrument's screen as a picture. "SCREEN?" answers with one line per
// pixel row from the top: two leading characters, then width/8 bytes as two
// hexadecimal digits each. In each byte the instrument puts the leftmost
// pixel in the least significant bit and uses 1 for a drawn pixel; the
// capture keeps rows the other way round (leftmost pixel in the most
// significant bit, 1 for background), so every byte is bit-reversed and
// inverted on receipt.

#include "graph/bmp_file.h"
#include "link/instrument_caps.h"

#include <cstdint>
#include <string>
#include <string_view>

struct s_link;

constexpr int SCREEN_BITS_SIZE = 557056;

struct s_screen_capture {
    uint8_t bits[SCREEN_BITS_SIZE];
    int32_t width;
    int32_t height;
    bool valid;
};

// The one capture record of the process.
s_screen_capture& screen_capture_record();

// The instrument's screen size (480 x 272 or 320 x 240); 0 x 0 unless
// identified.
void screen_size(const s_instrument_caps& caps, bool identified, int32_t& width, int32_t& height);

// One row of the reply into width/8 bitmap bytes. False for a row of the
// wrong length or with a character that is not a hexadecimal digit.
bool screen_parse_row(std::string_view line, int width, uint8_t* out);

// Clears the record, sets its size, sends "SCREEN?" and reads every row.
// 0 (valid set), or -1 when a row did not arrive or did not read.
int screen_capture(s_link& link, s_screen_capture& capture);

// The Download button: refuses an instrument whose screen cannot be fetched
// (the two-channel model) and one not identified before any traffic; opens
// the link, frames the capture with "SUSPEND,ON" / "SUSPEND,OFF" and closes
// it. Messages through the user interface. Returns 0 or -1.
int screen_download(s_link& link, s_screen_capture& capture);

// The image area's picture: white, with the capture at its top left when
// valid. Without a size the area is 320 x 240.
s_bmp_image screen_picture(const s_screen_capture& capture);

// Export to .bmp / Export to Word after the save chooser: the image area's
// picture as a 24-bit bitmap file at path and, with word, that file into a
// new document. A file that cannot be written is reported and no document
// is started. Returns 0 or -1.
int screen_export_file(const s_screen_capture& capture, const std::string& path, bool word);
