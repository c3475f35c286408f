// Identification replies and discovery answers come from whatever is on the
// wire; none of them may crash the tests that classify them.

#include "link/discovery.h"
#include "link/identify.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    if (identify_accepted(reply))
        identify_type_code(reply);
    identify_type_code(reply);
    discovery_reply_ok(DISCOVERY_A, data, size);
    discovery_reply_ok(DISCOVERY_B, data, size);
    return 0;
}
