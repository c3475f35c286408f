// A vector group is typed by the user or given on the command line and from
// Python: whatever it holds, reading it and planning the unit it describes
// must not crash, and a group read must plan three phases of every step.

#include "review/assessment_plan.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string error;
    const std::optional<s_transformer> unit =
        transformer_parse(std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (!unit) {
        if (error.empty()) // a refusal always says why
            std::abort();
        return 0;
    }
    const std::vector<s_plan_step> plan = assessment_plan(*unit);
    if (plan.empty() || plan.size() % 3 != 0)
        std::abort();
    for (const s_plan_step& step : plan)
        if (step.name.size() > 50 || plan_step_text(step).empty())
            std::abort();
    return 0;
}
