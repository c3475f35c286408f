// The graph dialog's margin analysis on the command line: load up to nine
// stored tests as the dialog does, find their margins (as often as asked:
// a repeat must change nothing), and print each test's crossings, its
// filter interval and the two cursor readouts of the selected test.

#include "cli/cli.h"
#include "db/db_connection.h"
#include "review/graph_model.h"

#include <cstdio>
#include <cstdlib>

namespace {

void print_crossings(int slot, const char* kind, const LList<s_gain_phase_point>& list)
{
    const s_gain_phase_point* main = graph_main_crossing(list);
    for (auto* n = list.head; n; n = n->next)
        std::printf("crossing\t%d\t%s\t%.6g\t%.6g\t%.6g\t%d%s\n", slot + 1, kind,
                    n->element->frequency, n->element->gain, n->element->phase, n->element->span,
                    n->element == main ? "\tmain" : "");
}

void print_readout(const char* kind, const std::vector<s_cursor_entry>& list, int index,
                   std::string (*text)(const s_cursor_entry&))
{
    if (list.empty())
        return; // a test without points has no cursor
    std::printf("%s readout\t%s\n", kind, text(list[size_t(index)]).c_str());
}

int run_margins(const cli_args& args)
{
    std::vector<int> keys;
    if (!cli_parse_test_keys(args.get("--tests"), size_t(MARGIN_SLOTS), keys))
        return CLI_USAGE;
    const long repeat = args.get_long("--repeat", 1);
    if (repeat < 1)
        return CLI_USAGE;
    if (!cli_open_database(args))
        return 1;
    if (!cli_check_tests(keys)) {
        db_close();
        return 1;
    }
    graph_model model;
    const int loaded = model.load(keys);
    db_close();
    if (loaded < 0)
        return 1;
    for (long i = 0; i < repeat; ++i)
        model.find_margins();
    model.select_plot(int(args.get_long("--selected", 1)) - 1);
    model.gain_cursor = int(args.get_long("--gain-cursor", 0));
    model.phase_cursor = int(args.get_long("--phase-cursor", 0));
    model.select_plot(model.selected); // clamps the cursors into their lists
    for (int slot = 0; slot < model.count; ++slot) {
        std::printf("test\t%d\t%s\n", slot + 1, model.plots[slot].test_name.c_str());
        print_crossings(slot, "gain", model.plots[slot].zero_db);
        print_crossings(slot, "phase", model.plots[slot].zero_phase);
        std::printf("filter\t%d\t%.6g\t%.6g\n", slot + 1, model.styles[slot].filter_start,
                    model.styles[slot].filter_end);
    }
    print_readout("gain", model.gain_cursor_list(), model.gain_cursor, graph_cursor_readout);
    print_readout("phase", model.phase_cursor_list(), model.phase_cursor, graph_cursor_readout);
    return 0;
}

const cli_option_registrar margin_options({"--tests", "--selected", "--gain-cursor",
                                           "--phase-cursor", "--repeat"});
const cli_registrar margins_command(
    {"graph-margins",
     "graph-margins --db FILE --tests K,K,... [--selected N] [--gain-cursor I] "
     "[--phase-cursor J] [--repeat K]  margins of stored tests as the graph dialog finds them",
     run_margins});

} // namespace
