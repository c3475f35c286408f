#include "cli/identified_model.h"

#include "config/config_current.h"
#include "link/identify.h"
#include "link/link.h"

#include <cstdio>

instrument_config* cli_identified_model()
{
    g_link.type_code = 0;
    g_link.identified = connect_and_identify(nullptr, g_link, false);
    if (!g_link.identified) {
        std::fprintf(stderr, "tarvelo2-cli: no supported instrument answered\n");
        return nullptr;
    }
    config_select(g_link.type_code);
    return &config_current();
}
