// Feeds arbitrary reply lines to the value parser and the packed decoder:
// no input may read or write outside its buffers.

#include "base/number_format.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    double values[64];
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    parse_values(line, values, 64);
    if (size >= PACKED_VALUE_BYTES) {
        char text[16];
        decode_packed(data, text, sizeof text);
        decode_packed(data);
    }
    return 0;
}
