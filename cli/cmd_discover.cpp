// discover: searches the LAN for instruments and prints "ADDRESS<TAB>IDENTITY"
// for each one found. --discovery-target ADDR sets the broadcast address.

#include "base/ui_seam.h"
#include "cli/cli.h"
#include "link/discovery.h"

#include <cstdio>
#include <vector>

namespace {

constexpr int NOTHING_FOUND = 3;

int run_discover(const cli_args& args)
{
    if (args.has("--discovery-target"))
        discovery_set_target(args.get("--discovery-target"));
    std::vector<s_discovered> list(DISCOVERY_CAPACITY);
    const int found = discover_lan_instruments(list.data(), DISCOVERY_CAPACITY);
    if (found == 0) {
        ui_message_box(nullptr, "No Instruments found on this subnet", "LAN Find Instrument",
                       MB_OK | MB_ICONINFORMATION);
        return NOTHING_FOUND;
    }
    for (const s_chooser_row& row : discovery_probe(list.data(), found))
        std::printf("%s\n", row.text.c_str());
    return 0;
}

const cli_registrar reg({"discover",
                         "discover    [--discovery-target ADDR] search the LAN for instruments "
                         "(exit 3 when none answers)",
                         run_discover});
const cli_option_registrar target_option({"--discovery-target"});

} // namespace
