// The configuration block at the head of an export file the user names:
// any bytes.

#include "config/config_text_block.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string head = "Instrument Configuration\n------------------------\n"
                                    "File Format,QmrkV1\n";
    const std::string text(reinterpret_cast<const char*>(data), size);
    config_block_fields(text);
    config_block_fields(head + text);
    return 0;
}
