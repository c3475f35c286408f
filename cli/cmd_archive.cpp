// The lab archive from the command line: push sessions of a test file,
// search the archive, pull archived tests into a test file. The archive is
// named by --archive (a libpq connection string or URI) or by the settings
// file's address; a password comes from libpq's password file or
// PGPASSWORD, never from here.

#include "archive/archive_pull.h"
#include "archive/archive_push.h"
#include "archive/archive_search.h"
#include "archive/archive_settings.h"
#include "cli/cli.h"
#include "db/db_connection.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

constexpr int CLI_REFUSED = 4;

// The server's warnings, in the program's words (never libpq's raw lines).
void say_notices(archive_connection& archive)
{
    for (const std::string& notice : archive.take_notices())
        cli_say("The archive warns: %s", notice.c_str());
}

int told(const archive_outcome& outcome)
{
    if (outcome.ok())
        return 0;
    if (outcome.status == archive_status::needs_password)
        cli_say("%s: give it in libpq's password file or in PGPASSWORD", outcome.message.c_str());
    else
        cli_say("%s", outcome.message.c_str());
    return outcome.status == archive_status::refused ? CLI_REFUSED : 1;
}

// Connects to the archive the options or the settings file name.
int connect(const cli_args& args, archive_use use, archive_connection& archive)
{
    const std::string address = args.has("--archive")
                                    ? args.get("--archive")
                                    : archive_settings_address(archive_user_paths());
    if (address.empty()) {
        cli_say("%s needs --archive URL (or an archive address in the settings)",
                args.command.c_str());
        return CLI_USAGE;
    }
    return told(archive.open(address, {}, use));
}

// Positive whole numbers, given as separate words or comma-separated.
bool parse_keys(const std::vector<std::string>& words, std::vector<int64_t>& keys)
{
    for (const std::string& word : words) {
        std::stringstream in(word);
        std::string item;
        while (std::getline(in, item, ',')) {
            char* end = nullptr;
            const long long key = std::strtoll(item.c_str(), &end, 10);
            if (item.empty() || *end != '\0' || key <= 0)
                return false;
            keys.push_back(key);
        }
    }
    return true;
}

int run_push(const cli_args& args)
{
    std::vector<int64_t> sessions;
    if (!args.positional.empty() || !args.has("--db") ||
        (args.has("--session") &&
         (!parse_keys({args.get("--session")}, sessions) || sessions.empty())))
        return CLI_USAGE;
    if (!cli_open_database(args))
        return 1;
    std::vector<archive_local_session> local;
    const archive_outcome read = archive_read_local(sessions, local);
    db_close();
    if (!read.ok())
        return told(read);
    archive_connection archive;
    if (const int rc = connect(args, archive_use::write, archive); rc != 0)
        return rc;
    std::vector<archive_pushed> pushed;
    int fresh = 0;
    size_t printed = 0;
    // Each test is printed as soon as it is archived: a push cut short
    // still tells what it did.
    const auto print_archived = [&](int, int) {
        for (; printed < pushed.size(); ++printed) {
            const archive_pushed& p = pushed[printed];
            fresh += p.is_new;
            std::printf("%lld\t%s\t%lld\t%s\t%s\n", static_cast<long long>(p.archive_id),
                        p.is_new ? "pushed" : "archived", static_cast<long long>(p.test_no),
                        p.session_name.c_str(), p.test_name.c_str());
        }
        std::fflush(stdout);
        return true;
    };
    const archive_outcome outcome = archive_push(archive, local, pushed, print_archived);
    print_archived(0, 0);
    say_notices(archive);
    // Refused tests are told with the count of those archived.
    if (outcome.ok() || outcome.status == archive_status::refused)
        cli_say("%s pushed, %d already archived", archive_tests_text(fresh).c_str(),
                int(pushed.size()) - fresh);
    return told(outcome);
}

int run_search(const cli_args& args)
{
    if (!args.positional.empty())
        return CLI_USAGE;
    archive_filter filter;
    filter.contract = args.get("--contract");
    filter.unit = args.get("--unit");
    filter.location = args.get("--location");
    filter.winding = args.get("--winding");
    filter.test_name = args.get("--test");
    filter.from = args.get("--from");
    filter.to = args.get("--to");
    if (const int rc = told(archive_check_filter(filter)); rc != 0)
        return rc;
    archive_connection archive;
    if (const int rc = connect(args, archive_use::read, archive); rc != 0)
        return rc;
    std::vector<archive_found> found;
    const archive_outcome searched = archive_search(archive, filter, found);
    say_notices(archive);
    if (const int rc = told(searched); rc != 0)
        return rc;
    for (const archive_found& f : found)
        std::printf("%lld\t%s\t%s\t%s\t%s\t%s\t%s\t%d\n", static_cast<long long>(f.archive_id),
                    f.contract.c_str(), f.unit.c_str(), f.date.c_str(), f.location.c_str(),
                    f.test_name.c_str(), f.winding.c_str(), f.points);
    return 0;
}

int run_pull(const cli_args& args)
{
    std::vector<int64_t> ids;
    if (!args.has("--db") || args.positional.empty() || !parse_keys(args.positional, ids))
        return CLI_USAGE;
    if (const char* refusal = db_path_refusal(args.get("--db"))) {
        cli_say("%s", refusal);
        return CLI_USAGE;
    }
    // Everything is read from the archive before the file is touched.
    archive_connection archive;
    if (const int rc = connect(args, archive_use::read, archive); rc != 0)
        return rc;
    std::vector<archive_fetched> fetched;
    const archive_outcome read = archive_fetch(archive, ids, fetched);
    say_notices(archive);
    if (const int rc = told(read); rc != 0)
        return rc;
    archive.close();
    bool is_new = false;
    if (!db_open(args.get("--db"), DB_OPEN_OR_CREATE, &is_new)) {
        cli_say("%s %s", args.get("--db").c_str(),
                db_last_open_foreign() ? "is not a test database" : "cannot be opened");
        return 1;
    }
    std::vector<archive_pulled> pulled;
    const archive_outcome outcome = archive_store_local(fetched, pulled);
    db_close();
    for (const archive_pulled& p : pulled)
        std::printf("%lld\t%s\t%lld\n", static_cast<long long>(p.archive_id),
                    p.is_new ? "pulled" : "present", static_cast<long long>(p.test_no));
    return told(outcome);
}

const cli_option_registrar archive_options({"--archive", "--db", "--session", "--contract",
                                            "--unit", "--location", "--winding", "--test", "--from",
                                            "--to"});

const cli_registrar push_command(
    {"archive-push",
     "archive-push --db FILE [--session K,...] [--archive URL]  push sessions (all when none "
     "named) to the lab archive; prints ID\\tpushed|archived\\tTestNo\\tSession\\tTest",
     run_push});
const cli_registrar search_command(
    {"archive-search",
     "archive-search [--contract C --unit U --location L --winding W --test NAME --from "
     "YYYY-MM-DD --to YYYY-MM-DD] [--archive URL]  archived tests: "
     "ID\\tContract\\tUnit\\tDate\\tLocation\\tTest\\tWinding\\tPoints",
     run_search});
const cli_registrar pull_command(
    {"archive-pull",
     "archive-pull --db FILE ID... [--archive URL]  archived tests into the test file (made "
     "when missing); prints ID\\tpulled|present\\tTestNo",
     run_pull});

} // namespace
