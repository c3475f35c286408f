// Process setup shared by every command: message boxes are printed to stderr
// as "[caption] text" and questions answered by --yes / --no (default No);
// --log DIR switches the comms log on into that folder.

#include "base/ui_seam.h"
#include "cli/cli.h"
#include "link/comms_log.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

scripted_ui& messages()
{
    static scripted_ui ui;
    return ui;
}

void echo_box(const ui_shown_box& box)
{
    std::fprintf(stderr, "[%s] %s\n", box.caption.c_str(), box.text.c_str());
}

int setup_process(const cli_args& args)
{
    messages().set_default_yes(args.flag("--yes") && !args.flag("--no"));
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

void cli_start_messages()
{
    messages().set_echo(echo_box);
    ui_set_backend(&messages());
}

void cli_say(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    std::string text(size_t(std::max(std::vsnprintf(nullptr, 0, format, args), 0)), '\0');
    va_end(args);
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    ui_message_box(nullptr, text, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
}

bool cli_said_nothing()
{
    return messages().shown().empty();
}

bool cli_database_failed()
{
    const auto& shown = messages().shown();
    return std::any_of(shown.begin(), shown.end(),
                       [](const ui_shown_box& box) { return box.caption == "Database Error"; });
}
