#include "lcr/lcr_details.h"

#include "base/ui_seam.h"

std::vector<s_details_message> lcr_details_check_repeat(const std::string& count,
                                                        const std::string& interval_mins,
                                                        s_repeat_settings& out)
{
    const s_details_message total{"Invalid Total Test Time", "Error", MB_OK | MB_ICONWARNING};
    const auto failed = test_details_check_repeat(count, interval_mins, out);
    if (!failed)
        return {};
    if (failed->text == total.text)
        return {total};
    return {*failed, total};
}
