// Feeds arbitrary argument lists to the simulator's command-line parser
// (arguments separated by NUL bytes, as they reach main): every option, every
// device-under-test description and every fault text must be accepted or
// refused with an error text, never read or write outside its data. An
// accepted device is also evaluated once, since its numbers came from the
// same text.

#include "sim/measure.h"
#include "sim/options.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\0') {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    std::string error;
    const auto options = sim::parse_options(args, error);
    if (!options) {
        if (error.empty()) {
            __builtin_trap(); // a refusal must say why
        }
        return 0;
    }
    const auto& setup = options->instrument;
    sim::fra_point(setup.fra, 1e3, sim::fra_conditions{});
    for (const auto& more : setup.fra_more) {
        sim::fra_point(more, 1e3, sim::fra_conditions{});
    }
    sim::lcr_sweep_values(setup.lcr.impedance(1e3), 1e3, 5, 0);
    return 0;
}
