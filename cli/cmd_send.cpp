// send TEXT: opens the link, sends the text as one command line and prints
// every reply line until a read times out.

#include "cli/cli.h"
#include "cli/link_options.h"
#include "link/link.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Prints reply lines (an empty one too) until none comes within the read
// time-out.
void print_replies()
{
    std::vector<char> line(LINK_VALUES_LINE_SIZE);
    for (;;) {
        const int n = link_read_line(g_link, line.data(), line.size());
        if (n == LINK_READ_SILENT)
            return;
        size_t len = std::strlen(line.data());
        if (len > 0 && line[len - 1] == '\n')
            --len;
        std::printf("%.*s\n", static_cast<int>(len), line.data());
        std::fflush(stdout);
    }
}

int run_send(const cli_args& args)
{
    if (args.positional.size() != 1) {
        cli_say("send needs one TEXT argument");
        return CLI_USAGE;
    }
    if (cli_link_open() != 0)
        return 1;
    link_send(g_link, args.positional[0] + "\n");
    print_replies();
    link_close(g_link);
    return 0;
}

const cli_registrar reg({"send", "send TEXT   send one command line and print the replies",
                         run_send});

} // namespace
