// Exports and the screen picture from the command line:
//   fra-export  sweep files of the data folder (one, or a completed series),
//               or without them one sweep measured now on the configured
//               instrument, to text or a workbook; the configuration block
//               is read from that instrument, else the initial values;
//   db-export   stored tests to text files or a workbook;
//   screen-capture  the instrument's display as a bitmap (and a document).
// Workbooks and documents go to DIR/reports. Every file this command wrote
// is printed as "written PATH", and only those. An existing file is replaced
// only with --yes. Exit status: 0 done, 1 failed, 2 usage, 3 not identified,
// 4 a file to replace without --yes.

#include "base/app_settings.h"
#include "base/ui_seam.h"
#include "cli/cli.h"
#include "cli/export_common.h"
#include "cli/fra_sweep_once.h"
#include "cli/identified_model.h"
#include "config/config_current.h"
#include "config/screen_capture.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "fra/fra_export.h"
#include "fra/fra_export_workbook.h"
#include "link/link.h"
#include "office/excel_server.h"
#include "review/db_tests_workbook.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int FAILED = 1;
constexpr int NOT_IDENTIFIED = 3;

constexpr size_t MAX_EXPORTED_TESTS = 9;

int series_text(const std::string& out, const std::string& data, int total,
                const s_export_header& header, bool european)
{
    std::vector<std::string> written;
    const int result = fra_export_series_text(out, data, total, total, header, european, &written);
    print_all_written(written);
    return export_status(result);
}

// The last sweep: a sweep file, or one sweep measured now on the
// connected instrument.
int last_sweep(const cli_args& args, const std::string& data, FraResults& results)
{
    if (!args.has("--from-sweep-file"))
        return cli_fra_sweep_once(data, results);
    const sweep_file_use use = cli_results_from_sweep_file(args.get("--from-sweep-file"), results);
    return use == sweep_file_use::ok          ? 0
           : use == sweep_file_use::no_points ? EXPORT_REFUSED
                                              : FAILED;
}

int run_fra_export(const cli_args& args)
{
    bool excel = false;
    const bool from_file = args.has("--from-sweep-file");
    const long series = args.get_long("--series", 0);
    const bool sweep_now = !from_file && series == 0 && g_link.interface != LINK_NONE;
    if (!format_of(args, excel) || (from_file && series != 0) || series < 0 || series > 99 ||
        (!from_file && series == 0 && !sweep_now) || (!excel && args.get("--out").empty())) {
        cli_say("fra-export needs --from-sweep-file F, --series N or "
                "an instrument, and --out FILE for csv");
        return CLI_USAGE;
    }
    const std::string data = args.get("--data", ".");
    set_reports(data);
    s_export_header header;
    if (const int rc = header_of(header))
        return rc;
    const bool european = args.flag("--european");
    const int total = static_cast<int>(series);
    if (series > 0)
        return excel ? export_status(fra_series_workbook(data, total, total, european))
                     : series_text(args.get("--out"), data, total, header, european);
    FraResults results;
    if (const int rc = last_sweep(args, data, results))
        return rc;
    if (excel)
        return export_status(fra_single_workbook(results, european, args.flag("--remove-zeros")));
    const int rc =
        export_status(fra_export_single_text(args.get("--out"), results, header, european));
    if (rc == 0)
        print_written(args.get("--out"));
    return rc;
}

// The test numbers named, as the window takes them: "Please add some tests
// to export" without one or with more than it holds; a word that is not a
// test number is named.
int test_keys_of(const cli_args& args, std::vector<int>& keys)
{
    if (args.positional.empty() || args.positional.size() > MAX_EXPORTED_TESTS) {
        ui_message_box(nullptr, "Please add some tests to export", "Tarvelo2",
                       MB_OK | MB_ICONINFORMATION);
        return CLI_USAGE;
    }
    for (const auto& word : args.positional) {
        char* end = nullptr;
        const long key = std::strtol(word.c_str(), &end, 10);
        if (word.empty() || *end != '\0' || key <= 0 || key > INT_MAX) {
            cli_say("%s is not a test number", word.c_str());
            return FAILED;
        }
        keys.push_back(static_cast<int>(key));
    }
    return 0;
}

// Every test named is stored; the first that is not is named.
bool tests_stored(const std::vector<int>& keys)
{
    for (const int key : keys) {
        s_test test;
        if (db_get_test(test, key, false) != 0 || test.TestNo == DB_NO_SUCH_ROW) {
            cli_say("test %d is not in the database", key);
            return false;
        }
    }
    return true;
}

int db_export_to(const cli_args& args, const std::vector<int>& keys, const s_export_header& header,
                 bool excel)
{
    const bool european = args.flag("--european");
    if (excel)
        return export_status(db_tests_workbook(keys, european, args.flag("--remove-zeros")));
    std::vector<std::string> written;
    const int result = fra_export_db_text(args.get("--out"), keys, header, european, &written);
    print_all_written(written);
    return export_status(result);
}

int run_db_export(const cli_args& args)
{
    bool excel = false;
    if (!format_of(args, excel) || args.get("--db").empty() ||
        (!excel && args.get("--out").empty()))
        return CLI_USAGE;
    std::vector<int> keys;
    if (const int rc = test_keys_of(args, keys))
        return rc;
    set_reports(args.get("--data", "."));
    s_export_header header;
    if (const int rc = header_of(header))
        return rc;
    if (!db_open(args.get("--db"), DB_OPEN_EXISTING)) {
        cli_say("%s is not a test database", args.get("--db").c_str());
        return FAILED;
    }
    const int rc = tests_stored(keys) ? db_export_to(args, keys, header, excel) : FAILED;
    db_close();
    return rc;
}

int run_screen_capture(const cli_args& args)
{
    const std::string bmp = args.get("--bmp");
    if (bmp.empty())
        return CLI_USAGE;
    if (!export_may_replace(nullptr, bmp))
        return EXPORT_REFUSED;
    set_reports(args.get("--data", "."));
    if (g_link.interface != LINK_NONE && !cli_identified_model())
        return NOT_IDENTIFIED;
    s_screen_capture& capture = screen_capture_record();
    if (screen_download(g_link, capture) != 0)
        return FAILED;
    if (screen_export_file(capture, bmp, false) != 0)
        return FAILED;
    print_written(bmp);
    return args.flag("--word") && screen_export_file(capture, bmp, true) != 0 ? FAILED : 0;
}

const cli_option_registrar export_options({"--series", "--format", "--out", "--bmp", "--data",
                                           "--db", "--from-sweep-file"});
const cli_flag_registrar european_flag("--european");
const cli_flag_registrar zeros_flag("--remove-zeros");
const cli_flag_registrar word_flag("--word");
const cli_registrar
    fra_export_cmd({"fra-export",
                    "fra-export [--from-sweep-file F | --series N] --format csv|xlsx [--european] "
                    "[--remove-zeros] [--out FILE] [--data DIR]",
                    run_fra_export});
const cli_registrar
    db_export_cmd({"db-export",
                   "db-export --db FILE TESTNO... (at most 9) --format csv|xlsx [--european] "
                   "[--remove-zeros] [--out FILE] [--data DIR]",
                   run_db_export});
const cli_registrar screen_cmd({"screen-capture", "screen-capture --bmp FILE [--word]",
                                run_screen_capture});

} // namespace
