// The resonator sweep reader on arbitrary text: it must never read past a
// line or store more points than the block holds, and whatever it stores
// must be analysable without a fault.

#include "lcr/piezo_analysis.h"
#include "lcr/piezo_import.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto results = std::make_unique<LcrResults>();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const s_piezo_import got = piezo_import_parse(text, *results);
    if (got.points < 0 || got.points > MAX_SWEEP_POINTS || results->count != got.points)
        std::abort();
    piezo_analyse(*results);
    return 0;
}
