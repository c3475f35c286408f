// The database form on the command line: list sessions as the form sorts
// them, create a session under the Session Details rules, delete a test or
// a session as the form's buttons do, and build a selection of tests.

#include "cli/cli.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_form.h"
#include "db/details_rules.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int CLI_REFUSED = 4;

bool parse_key(const std::string& text, int64_t& key)
{
    char* end = nullptr;
    key = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && end && *end == '\0' && key > 0;
}

void print_rows(const char* kind, const db_list& list)
{
    for (const db_list_row& row : list.rows)
        std::printf("%s\t%lld\t%s\n", kind, static_cast<long long>(row.key), row.text.c_str());
}

// The question the user answered last was answered No.
bool declined()
{
    const auto shown = static_cast<scripted_ui&>(ui_current_backend()).shown();
    return !shown.empty() && (shown.back().style & MB_BUTTON_MASK) == MB_YESNO &&
           shown.back().answer != IDYES;
}

int run_view(const cli_args& args)
{
    static const char* const columns[] = {"name", "unit", "date", "location"};
    db_form form;
    const std::string sort = args.get("--sort", "name");
    form.session_column = -1;
    for (int c = 0; c < 4; ++c)
        if (sort == columns[c])
            form.session_column = c;
    int64_t session_no = 0;
    if (form.session_column < 0 ||
        (args.has("--session") && !parse_key(args.get("--session"), session_no)))
        return CLI_USAGE;
    form.session_ascending = args.flag("--asc");
    form.tests_ascending = args.flag("--asc");
    if (!cli_open_database(args))
        return 1;
    form.refresh_sessions(false);
    print_rows("session", form.sessions);
    if (form.list_code == 0 && session_no > 0) {
        form.select_session_by_key(session_no);
        print_rows("test", form.tests);
    }
    db_close();
    return form.list_code == 0 ? 0 : 1;
}

int run_new_session(const cli_args& args)
{
    const s_session_entries entries{args.get("--contract"), args.get("--unit"), args.get("--date"),
                                    args.get("--location"), args.get("--performed-by")};
    if (auto m = session_details_check(entries)) {
        ui_message_box(nullptr, m->text, m->caption, m->style);
        return CLI_REFUSED;
    }
    s_session session = session_from_entries(entries);
    session.Comments = args.get("--comment");
    if (!cli_open_database(args))
        return 1;
    db_form form;
    const bool stored = form.store_new_session(session);
    db_close();
    if (!stored || cli_database_failed()) // the session may be stored, but not its list
        return 1;
    std::printf("session %lld\n", static_cast<long long>(session.SessionNo));
    return 0;
}

// Selects the test in the form as a user would: its session, then its row.
void select_test(db_form& form, int64_t test_no)
{
    s_test test;
    db_get_test(test, test_no, false);
    form.select_session_by_key(test.TestNo == test_no ? test.SessionNo : 0);
    form.tests.selected = form.tests.find(test_no);
}

int run_delete(const cli_args& args, bool session)
{
    int64_t key = 0;
    if (args.positional.size() != 1 || !parse_key(args.positional[0], key))
        return CLI_USAGE;
    if (!cli_open_database(args))
        return 1;
    db_form form;
    form.refresh_sessions(false);
    if (session)
        form.select_session_by_key(key);
    else
        select_test(form, key);
    const bool deleted = session ? form.delete_session() : form.delete_test();
    db_close();
    if (deleted)
        std::printf("deleted %s %lld\n", session ? "session" : "test", static_cast<long long>(key));
    return deleted ? 0 : declined() ? CLI_REFUSED : 1;
}

int run_delete_test(const cli_args& args)
{
    return run_delete(args, false);
}

int run_delete_session(const cli_args& args)
{
    return run_delete(args, true);
}

int run_select(const cli_args& args)
{
    std::vector<int64_t> keys;
    for (const std::string& word : args.positional) {
        int64_t key = 0;
        if (!parse_key(word, key))
            return CLI_USAGE;
        keys.push_back(key);
    }
    if (keys.empty())
        return CLI_USAGE;
    if (!cli_open_database(args))
        return 1;
    db_form form;
    form.refresh_sessions(false);
    int rc = 0;
    for (int64_t key : keys) {
        select_test(form, key);
        if (!form.add_to_selection()) {
            rc = int(form.selection.rows.size()) >= DB_SELECTION_MAX ? CLI_REFUSED : 1;
            break;
        }
    }
    db_close();
    print_rows("selected", form.selection);
    return rc;
}

const cli_flag_registrar asc_flag("--asc");
const cli_option_registrar form_options({"--sort", "--session", "--contract", "--unit", "--date",
                                         "--location", "--performed-by", "--comment"});
const cli_registrar view_command(
    {"db-view",
     "db-view --db FILE [--sort name|unit|date|location] [--asc] [--session K]  sessions as "
     "the database form lists them (and the tests of session K)",
     run_view});
const cli_registrar new_session_command(
    {"db-new-session",
     "db-new-session --db FILE --contract C --unit U --date D/M/Y --location L --performed-by P "
     "[--comment T]  create a session",
     run_new_session});
const cli_registrar delete_test_command(
    {"db-delete-test", "db-delete-test --db FILE TESTNO  delete a test (asks; --yes)",
     run_delete_test});
const cli_registrar delete_session_command(
    {"db-delete-session",
     "db-delete-session --db FILE SESSIONNO  delete a session and its tests (asks; --yes)",
     run_delete_session});
const cli_registrar select_command(
    {"db-select", "db-select --db FILE TESTNO...  selection rows of up to 9 tests", run_select});

} // namespace
