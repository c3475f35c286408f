#include "cli/link_options.h"

#include "base/ui_seam.h"
#include "cli/cli.h"
#include "link/identify.h"
#include "link/link.h"

namespace {

constexpr long k_default_baud = 19200;
long g_timeout_ms = -1;

int setup_link(const cli_args& args)
{
    if (args.has("--lan")) {
        g_link.interface = LINK_LAN;
        g_link.ip_address = args.get("--lan");
    } else if (args.has("--usb")) {
        g_link.interface = LINK_USB;
        g_link.port_name = args.get("--usb");
        g_link.baud_rate = LINK_USB_BAUD;
    } else if (args.has("--serial")) {
        g_link.interface = LINK_SERIAL;
        g_link.port_name = args.get("--serial");
        g_link.baud_rate = static_cast<int32_t>(args.get_long("--baud", k_default_baud));
    }
    if (args.has("--port")) {
        const long port = args.get_long("--port", -1);
        if (port <= 0 || port > 65535) {
            cli_say("bad --port %s", args.get("--port").c_str());
            return CLI_USAGE;
        }
        link_set_tcp_port(static_cast<int>(port));
    }
    g_timeout_ms = args.get_long("--timeout", -1);
    return 0;
}

struct setup_registrar {
    setup_registrar() { cli_add_setup(setup_link); }
} const setup;
const cli_option_registrar link_options({"--lan", "--usb", "--serial", "--baud", "--port",
                                         "--timeout"});

} // namespace

int cli_link_open()
{
    if (g_link.interface == LINK_NONE) {
        ui_message_box(nullptr, "No connection chosen: use --lan, --serial or --usb", "Tarvelo2",
                       MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    if (link_open(g_link) != 0) {
        ui_message_box(nullptr, link_open_failure(g_link), "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    if (g_timeout_ms >= 0)
        link_set_timeout(g_link, static_cast<int>(g_timeout_ms));
    return 0;
}
