#include "cli/cli.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

std::vector<cli_command>& commands()
{
    static std::vector<cli_command> list;
    return list;
}

std::set<std::string>& flag_names()
{
    static std::set<std::string> names{"--help", "--version"};
    return names;
}

std::set<std::string>& option_names()
{
    static std::set<std::string> names;
    return names;
}

std::vector<cli_setup_hook>& setup_hooks()
{
    static std::vector<cli_setup_hook> hooks;
    return hooks;
}

void print_usage()
{
    std::fprintf(
        stderr,
        "usage: tarvelo2-cli [options] COMMAND [arguments]\n"
        "connection: --lan HOST [--port N] | --serial PATH [--baud N] | --usb PATH\n"
        "options:    --timeout MS, --log DIR (comms log), --yes | --no (answers to questions)\n"
        "            --help, --version\n"
        "commands:\n");
    for (const cli_command& c : commands())
        std::fprintf(stderr, "  %s\n", c.usage);
}

bool parse(int argc, char** argv, cli_args& out)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.rfind("--", 0) == 0) {
            if (flag_names().count(word)) {
                out.flags[word] = true;
                continue;
            }
            if (!option_names().count(word)) {
                cli_say("unknown option %s", word.c_str());
                return false;
            }
            if (i + 1 >= argc) {
                cli_say("option %s needs a value", word.c_str());
                return false;
            }
            out.options[word] = argv[++i];
        } else if (out.command.empty()) {
            out.command = word;
        } else {
            out.positional.push_back(word);
        }
    }
    return true;
}

} // namespace

std::string cli_args::get(const std::string& name, const std::string& fallback) const
{
    auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
}

long cli_args::get_long(const std::string& name, long fallback) const
{
    auto it = options.find(name);
    if (it == options.end())
        return fallback;
    char* end = nullptr;
    const long v = std::strtol(it->second.c_str(), &end, 10);
    return (end && *end == '\0' && end != it->second.c_str()) ? v : fallback;
}

void cli_register(const cli_command& command)
{
    commands().push_back(command);
}

void cli_register_flag(const char* name)
{
    flag_names().insert(name);
}

void cli_register_option(const char* name)
{
    option_names().insert(name);
}

void cli_add_setup(cli_setup_hook hook)
{
    setup_hooks().push_back(hook);
}

int main(int argc, char** argv)
{
    // A file size limit fails the write with its message instead of ending
    // the program.
    std::signal(SIGXFSZ, SIG_IGN);
    cli_print_in_locale();
    cli_start_messages();
    cli_args args;
    const bool parsed = parse(argc, argv, args);
    if (parsed && args.flag("--version")) {
        std::printf("tarvelo2-cli %s\n", TARVELO_VERSION);
        return 0;
    }
    if (!parsed || args.command.empty() || args.flag("--help")) {
        print_usage();
        return args.flag("--help") ? 0 : CLI_USAGE;
    }
    for (const cli_command& c : commands()) {
        if (args.command != c.name)
            continue;
        for (cli_setup_hook hook : setup_hooks())
            if (int rc = hook(args); rc != 0)
                return rc;
        if (!cli_convert_texts(args))
            return CLI_USAGE;
        int rc = c.run(args);
        // A command that went on after a database error has not done its work.
        if (rc == 0 && cli_database_failed())
            rc = 1;
        // A usage error that no message explained shows the command's usage.
        if (rc == CLI_USAGE && cli_said_nothing())
            cli_say("usage: %s", c.usage);
        return rc;
    }
    cli_say("unknown command '%s'", args.command.c_str());
    print_usage();
    return CLI_USAGE;
}
