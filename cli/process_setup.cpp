// Process setup shared by every command: message boxes are printed to stderr
// as "[caption] text" and questions answered by --yes / --no (default No);
// --log DIR switches the comms log on into that folder.

#include "base/ui_seam.h"
#include "cli/cli.h"
#include "link/comms_log.h"

#include <cstdio>

namespace {

void echo_box(const ui_shown_box& box)
{
    std::fprintf(stderr, "[%s] %s\n", box.caption.c_str(), box.text.c_str());
}

int setup_process(const cli_args& args)
{
    static scripted_ui ui;
    ui.set_echo(echo_box);
    ui.set_default_yes(args.flag("--yes") && !args.flag("--no"));
    ui_set_backend(&ui);
    if (args.has("--log"))
        comms_log_start(args.get("--log"));
    return 0;
}

const cli_flag_registrar yes_flag("--yes");
const cli_flag_registrar no_flag("--no");
const cli_option_registrar log_option({"--log"});

struct setup_registrar {
    setup_registrar() { cli_add_setup(setup_process); }
} const setup;

} // namespace
