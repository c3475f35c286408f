// Test database commands: create a database file, import a sweep file as a
// test, list sessions and tests, and show a test's points.

#include "base/ui_seam.h"
#include "cli/cli.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_import.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <sys/stat.h>

bool cli_open_database(const cli_args& args)
{
    const std::string file = args.get("--db");
    if (file.empty()) {
        cli_say("%s needs --db FILE", args.command.c_str());
        return false;
    }
    if (!db_open(file, DB_OPEN_EXISTING)) {
        // A locked or missing file has been reported by the open itself.
        cli_say("%s %s", file.c_str(),
                db_last_open_foreign() ? "is not a test database" : "cannot be opened");
        return false;
    }
    db_set_current_path(file);
    return true;
}

bool cli_parse_test_keys(const std::string& text, size_t most, std::vector<int>& keys)
{
    std::stringstream in(text);
    std::string word;
    while (std::getline(in, word, ',')) {
        char* end = nullptr;
        const long key = std::strtol(word.c_str(), &end, 10);
        if (word.empty() || *end != '\0' || key <= 0)
            return false;
        keys.push_back(int(key));
    }
    if (keys.size() > most) {
        const std::string text =
            "You may only select a maximum of " + std::to_string(most) + " tests";
        ui_message_box(nullptr, text, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return false;
    }
    return !keys.empty();
}

bool cli_read_test(int64_t key, s_test& test, bool with_points)
{
    // A row or points that cannot be read have been shown by the read itself.
    if ((with_points ? db_load_test(test, key) : db_get_test(test, key, false)) != 0)
        return false;
    if (test.TestNo != key) {
        ui_message_box(nullptr, "no test " + std::to_string(key), "Tarvelo2",
                       MB_OK | MB_ICONINFORMATION);
        return false;
    }
    return true;
}

bool cli_check_tests(const std::vector<int>& keys)
{
    for (int key : keys) {
        s_test test;
        if (!cli_read_test(key, test, true))
            return false;
    }
    return true;
}

namespace {

struct printed_rows : db_row_sink {
    std::vector<std::pair<int64_t, std::string>> rows;
    void add_row(const std::string& text, int64_t key) override { rows.emplace_back(key, text); }
};

int run_create(const cli_args& args)
{
    if (args.positional.size() != 1)
        return CLI_USAGE;
    const std::string& file = args.positional[0];
    struct stat st;
    if (::stat(file.c_str(), &st) == 0) {
        ui_message_box(nullptr, "A file with that name already exists", "Tarvelo2",
                       MB_OK | MB_ICONWARNING);
        return 1;
    }
    bool is_new = false;
    const bool ok = db_open(file, DB_OPEN_OR_CREATE, &is_new) && is_new;
    db_close();
    if (!ok) {
        cli_say("cannot create %s", file.c_str());
        return 1;
    }
    std::printf("created %s\n", file.c_str());
    return 0;
}

int run_import(const cli_args& args)
{
    if (args.positional.size() != 1)
        return CLI_USAGE;
    // The test is named after the file, whose name is in the locale's
    // encoding.
    std::string name;
    if (!cli_to_ansi(db_import_file_stem(args.positional[0]), name)) {
        ui_message_box(nullptr,
                       "The file name holds a character that cannot be stored (only the "
                       "characters of Windows-1252 can)",
                       "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return 1;
    }
    if (!cli_open_database(args))
        return 1;
    s_test test;
    const db_import_result result = db_import_sweep_file(args.positional[0], test, &name);
    db_close();
    if (result.status == db_import_status::not_read) {
        const char* reason = sweep_import_reason(result.read.status);
        if (result.read.line > 0)
            cli_say("%s (line %d)", reason, result.read.line);
        else
            cli_say("%s", reason);
    }
    if (result.status != db_import_status::ok)
        return 1;
    std::printf("test %lld: %s (%d points)\n", static_cast<long long>(test.TestNo),
                test.Name.c_str(), test.points.count());
    return 0;
}

int run_list(const cli_args& args)
{
    if (!cli_open_database(args))
        return 1;
    printed_rows sessions;
    int rc = db_list_sessions(sessions, 0, true);
    for (const auto& [session_no, text] : sessions.rows) {
        std::printf("session %lld\t%s\n", static_cast<long long>(session_no), text.c_str());
        printed_rows tests;
        rc = rc ? rc : db_list_tests(tests, session_no, true);
        for (const auto& [test_no, test_text] : tests.rows)
            std::printf("  test %lld\t%s\n", static_cast<long long>(test_no), test_text.c_str());
    }
    db_close();
    return rc == 0 ? 0 : 1;
}

int run_show(const cli_args& args)
{
    if (args.positional.size() != 1)
        return CLI_USAGE;
    char* end = nullptr;
    const long long test_no = std::strtoll(args.positional[0].c_str(), &end, 10);
    if (!end || *end != '\0')
        return CLI_USAGE;
    if (!cli_open_database(args))
        return 1;
    s_test test;
    const bool read = cli_read_test(test_no, test, true);
    db_close();
    if (!read)
        return 1;
    for (const s_test_point& point : test.points)
        std::printf("%.17g\t%.17g\t%.17g\n", point.Frequency, point.Amplitude, point.Phase);
    return 0;
}

const cli_registrar create_command({"db-create",
                                    "db-create FILE           create an empty test database",
                                    run_create});
const cli_registrar import_command({"db-import",
                                    "db-import --db FILE SWEEPFILE  import a sweep file as a test",
                                    run_import});
const cli_registrar list_command({"db-list", "db-list --db FILE        sessions and their tests",
                                  run_list});
const cli_registrar show_command(
    {"db-show", "db-show --db FILE TESTNO the points of a test: frequency, gain, phase", run_show});

const cli_option_registrar db_option({"--db"});

} // namespace
