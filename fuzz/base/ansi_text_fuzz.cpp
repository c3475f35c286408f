// Texts the lab archive's server sends are read as UTF-8 whatever their
// bytes, and every Windows-1252 text comes back from its UTF-8 form as it
// was: the input is taken both ways.

#include "base/ansi_text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string ansi;
    const bool exact = utf8_to_ansi(bytes, ansi);
    if (ansi.size() > bytes.size() || (exact && ansi_to_utf8(ansi) != bytes))
        std::abort();
    if (!utf8_to_ansi(ansi_to_utf8(bytes), ansi) || ansi != bytes)
        std::abort();
    return 0;
}
