#include "cli/limits_option.h"

#include "base/ui_seam.h"
#include "cli/cli.h"

bool cli_read_limits(const cli_args& args, std::optional<limit_set>& set)
{
    set.reset();
    if (!args.has("--limits"))
        return true;
    limit_set read;
    std::string error;
    if (!limit_set_read(args.get("--limits"), read, error)) {
        ui_message_box(nullptr, error, "Limits", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    set = std::move(read);
    return true;
}

bool cli_tell_verdict(const s_test_verdict& verdict)
{
    if (verdict.pass) {
        const std::string bin =
            verdict.bin > 0 ? ", bin " + std::to_string(verdict.bin) + " (" + verdict.bin_name + ")"
                            : "";
        ui_message_box(nullptr, "within the limits of " + verdict.limits + bin, "PASS", MB_OK);
        return true;
    }
    for (const std::string& failed : verdict.failed)
        ui_message_box(nullptr, failed, "FAIL", MB_OK);
    return false;
}

namespace {
const cli_option_registrar limits_option({"--limits"});
} // namespace
