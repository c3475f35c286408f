// Winding comparison on the command line: stored tests judged against a
// reference test, one block of tab-separated lines per test.

#include "cli/cli.h"
#include "db/db_connection.h"
#include "db/db_records.h"
#include "review/winding_report.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool parse_key(const std::string& word, int64_t& key)
{
    char* end = nullptr;
    const long long value = std::strtoll(word.c_str(), &end, 10);
    key = value;
    return !word.empty() && *end == '\0' && value > 0;
}

bool load(int64_t key, std::string& name, std::vector<s_gain_sample>& curve)
{
    s_test test;
    if (!cli_read_test(key, test, true))
        return false;
    name = test.Name;
    curve = winding_curve(test);
    return true;
}

int run_compare(const cli_args& args)
{
    std::vector<int64_t> keys(args.positional.size());
    bool usable = keys.size() >= 2;
    for (size_t i = 0; i < keys.size(); ++i)
        usable = parse_key(args.positional[i], keys[i]) && usable;
    if (!usable) {
        cli_say("db-compare needs the test numbers REF TEST...");
        return CLI_USAGE;
    }
    if (!cli_open_database(args))
        return 1;
    std::string reference_name;
    std::vector<s_gain_sample> reference;
    std::vector<std::string> names(keys.size() - 1);
    std::vector<std::vector<s_gain_sample>> tests(keys.size() - 1);
    bool found = load(keys[0], reference_name, reference);
    for (size_t i = 1; found && i < keys.size(); ++i)
        found = load(keys[i], names[i - 1], tests[i - 1]);
    db_close();
    if (!found)
        return 1;
    int status = 0;
    for (const s_winding_row& row : winding_compare_all(reference, names, tests)) {
        if (row.result.verdict == winding_verdict::none) {
            cli_say("%s shares too little frequency range with %s to be judged (no band has %d "
                    "%% of its width and %d common points)",
                    row.name.c_str(), reference_name.c_str(), int(WINDING_MIN_BAND_COVERAGE * 100),
                    WINDING_MIN_BAND_POINTS);
            status = 1;
            continue;
        }
        std::fputs(winding_block_text(row).c_str(), stdout);
    }
    return status;
}

const cli_registrar compare_command(
    {"db-compare",
     "db-compare --db FILE REF TEST...  judge each stored test's winding against the reference",
     run_compare});

} // namespace
