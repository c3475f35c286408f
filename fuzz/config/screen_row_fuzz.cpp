// Rows of the instrument's screen reply come straight off the wire: any
// length, any bytes. The first byte picks the screen width.

#include "config/screen_capture.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const int width = (data[0] & 1) ? 480 : 320;
    uint8_t row[480 / 8];
    screen_parse_row(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), width,
                     row);
    return 0;
}
