// Exports and the screen picture from the command line:
//   fra-export  sweep files of the data folder (one, or a completed series),
//               or without them one sweep measured now on the configured
//               instrument, to text or a workbook; the configuration block
//               is read from that instrument, else the initial values;
//   db-export   stored tests to text files or a workbook;
//   screen-capture  the instrument's display as a bitmap (and a document).
// Workbooks and documents go to DIR/reports. Every file written is printed
// as "written PATH". Exit status: 0 done, 1 failed, 2 usage, 3 not
// identified.

#include "base/app_settings.h"
#include "cli/cli.h"
#include "cli/export_common.h"
#include "cli/fra_sweep_once.h"
#include "cli/identified_model.h"
#include "config/config_current.h"
#include "config/screen_capture.h"
#include "db/db_connection.h"
#include "db/sweep_file.h"
#include "fra/fra_export.h"
#include "fra/fra_export_workbook.h"
#include "link/link.h"
#include "office/excel_server.h"
#include "review/db_tests_workbook.h"

#include <cstdio>
#include <filesystem>

namespace {

constexpr int FAILED = 1;
constexpr int NOT_IDENTIFIED = 3;

int series_text(const std::string& out, const std::string& data, int total,
                const s_export_header& header, bool european)
{
    if (fra_export_series_text(out, data, total, total, header, european) <= 0)
        return FAILED;
    for (int k = 1; k <= total; ++k) {
        sweep_file_contents contents;
        if (sweep_file_read(sweep_file_path(data, k), contents) == sweep_file_status::ok)
            print_written(export_series_file_name(out, k, contents.date_line));
    }
    return 0;
}

// The last sweep: a sweep file, or one sweep measured now on the
// connected instrument.
int last_sweep(const cli_args& args, const std::string& data, FraResults& results)
{
    if (args.has("--from-sweep-file"))
        return cli_results_from_sweep_file(args.get("--from-sweep-file"), results) ? 0 : FAILED;
    return cli_fra_sweep_once(data, results);
}

int run_fra_export(const cli_args& args)
{
    bool excel = false;
    const bool from_file = args.has("--from-sweep-file");
    const long series = args.get_long("--series", 0);
    const bool sweep_now = !from_file && series == 0 && g_link.interface != LINK_NONE;
    if (!format_of(args, excel) || (from_file && series != 0) || series < 0 || series > 99 ||
        (!from_file && series == 0 && !sweep_now) || (!excel && args.get("--out").empty())) {
        std::fprintf(stderr, "tarvelo2-cli: fra-export needs --from-sweep-file F, --series N or "
                             "an instrument, and --out FILE for csv\n");
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
        return excel ? (fra_series_workbook(data, total, total, european) == 0 ? 0 : FAILED)
                     : series_text(args.get("--out"), data, total, header, european);
    FraResults results;
    if (const int rc = last_sweep(args, data, results))
        return rc;
    if (excel)
        return fra_single_workbook(results, european, args.flag("--remove-zeros")) == 0 ? 0
                                                                                        : FAILED;
    if (fra_export_single_text(args.get("--out"), results, header, european) != 0)
        return FAILED;
    print_written(args.get("--out"));
    return 0;
}

int run_db_export(const cli_args& args)
{
    bool excel = false;
    std::vector<int> keys;
    for (const auto& word : args.positional)
        keys.push_back(std::atoi(word.c_str()));
    if (!format_of(args, excel) || keys.empty() || args.get("--db").empty() ||
        (!excel && args.get("--out").empty()))
        return CLI_USAGE;
    if (!db_open(args.get("--db"), DB_OPEN_EXISTING)) {
        std::fprintf(stderr, "tarvelo2-cli: %s is not a test database\n", args.get("--db").c_str());
        return FAILED;
    }
    set_reports(args.get("--data", "."));
    s_export_header header{&config_current(), &g_link, {}};
    int rc = 0;
    if (excel) {
        rc = db_tests_workbook(keys, args.flag("--european"), args.flag("--remove-zeros")) == 0
                 ? 0
                 : FAILED;
    } else {
        const std::string out = args.get("--out");
        rc = fra_export_db_text(out, keys, header, args.flag("--european")) > 0 ? 0 : FAILED;
        for (size_t i = 1; i <= keys.size(); ++i) {
            const std::string file = export_strip_extension(out) + std::to_string(i) + ".txt";
            if (std::filesystem::exists(file))
                print_written(file);
        }
    }
    db_close();
    return rc;
}

int run_screen_capture(const cli_args& args)
{
    const std::string bmp = args.get("--bmp");
    if (bmp.empty())
        return CLI_USAGE;
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
const cli_registrar db_export_cmd(
    {"db-export", "db-export --db FILE TESTNO... --format csv|xlsx [--european] [--out FILE]",
     run_db_export});
const cli_registrar screen_cmd({"screen-capture", "screen-capture --bmp FILE [--word]",
                                run_screen_capture});

} // namespace
