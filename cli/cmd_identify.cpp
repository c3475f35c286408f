// identify: connects, identifies the instrument and prints its identity and
// type code. Exit status 0 when identified, 3 when not.

#include "cli/cli.h"
#include "config/config_current.h"
#include "link/identify.h"
#include "link/link.h"

#include <cstdio>

namespace {

constexpr int NOT_IDENTIFIED = 3;

int run_identify(const cli_args&)
{
    g_link.identified = false;
    link_set_type(g_link, 0);
    g_link.current_option = 0;
    g_link.identified = connect_and_identify(nullptr, g_link, true);
    if (!g_link.identified)
        return NOT_IDENTIFIED;
    config_select(g_link.caps);
    std::printf("%s\ntype code: %d\n", g_link.identity.c_str(), g_link.type_code);
    return 0;
}

const cli_registrar reg({"identify",
                         "identify    connect, identify the instrument, print its identity "
                         "and type code (exit 3 when not identified)",
                         run_identify});

} // namespace
