#include "cli/identified_model.h"

#include "cli/cli.h"
#include "config/config_current.h"
#include "config/config_protocol.h"
#include "config/instrument_config.h"
#include "link/identify.h"
#include "link/link.h"

instrument_config* cli_identified_model()
{
    link_set_type(g_link, 0);
    g_link.identified = connect_and_identify(nullptr, g_link, false);
    if (!g_link.identified) {
        cli_say("no supported instrument answered");
        return nullptr;
    }
    config_select(g_link.caps);
    return &config_current();
}

bool cli_read_settings(instrument_config& config, std::initializer_list<int> ids)
{
    if (link_open(g_link) != 0) {
        cli_say("the instrument cannot be reached");
        return false;
    }
    bool ok = true;
    for (int id : ids) {
        try {
            config.read_param(id, g_link, nullptr);
        } catch (config_error) {
            cli_say("the instrument did not report parameter %d", id);
            ok = false;
        }
    }
    link_close(g_link);
    return ok;
}
