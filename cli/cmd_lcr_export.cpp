// lcr-export: LCR results to text or a workbook, as the LCR window's export
// writes them, or a single sweep as a one-port Touchstone file (s1p): the sweep of a sweepN.dat
// file (with its layout named), a completed series from the data folder, or, with an instrument
// configured and neither given, one LCR sweep run first. Every file this command wrote is printed
// as "written PATH". Exit status: 0 done, 1 failed, 2 usage, 3 not identified, 4 a file to replace
// without --yes.

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/sweep_numbers.h"
#include "cli/export_common.h"
#include "cli/identified_model.h"
#include "config/config_current.h"
#include "db/sweep_file.h"
#include "lcr/lcr_complete.h"
#include "lcr/lcr_export.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_sweep.h"
#include "lcr/lcr_touchstone.h"
#include "link/link.h"

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

constexpr int FAILED = 1;
constexpr int NOT_IDENTIFIED = 3;

// A sweep file as the window's last sweep in the given layout; its date
// line into date_line, when given.
bool results_from(const std::string& path, int layout, LcrResults& results,
                  std::string* date_line = nullptr)
{
    sweep_file_contents contents;
    const size_t n = static_cast<size_t>(lcr_layout(layout).values);
    if (sweep_file_read(path, contents) != sweep_file_status::ok ||
        (!contents.rows.empty() && contents.rows.front().size() != n + 1)) {
        cli_say("cannot read the sweep file %s as layout %d", path.c_str(), layout);
        return false;
    }
    results.layout = layout;
    if (date_line)
        *date_line = contents.date_line;
    for (const auto& row : contents.rows) {
        if (results.count >= MAX_SWEEP_POINTS)
            break;
        LcrPoint& p = results.points[static_cast<size_t>(results.count++)];
        std::copy(row.begin() + 1, row.end(), p.v);
    }
    return true;
}

class sweep_notice : public command_target {
public:
    void on_command(int id, intptr_t) override { completed += id == CMD_LCR_SWEEP_COMPLETE; }
    int completed = 0;
};

// One LCR sweep on the configured instrument, completed as the window
// completes it (its sweep1.dat written into the data folder).
int sweep_first(const std::string& data, LcrResults& results)
{
    if (!cli_identified_model())
        return NOT_IDENTIFIED;
    scripted_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    sweep_notice notice;
    auto ctx = std::make_unique<LcrSweepContext>();
    ctx->link = &g_link;
    ctx->config = &config_current();
    ctx->notify = ctx->owner = &notice;
    lcr_context_arm_sweep(*ctx);
    lcr_sweep_worker(*ctx);
    dispatcher.run_pending();
    set_command_dispatcher(nullptr);
    if (notice.completed == 0)
        return FAILED;
    lcr_complete_sweep(*ctx, results, data, 1, std::time(nullptr));
    return 0;
}

int series_export(const cli_args& args, int total, const s_export_header& header, bool excel)
{
    const std::string data = args.get("--data", ".");
    const bool european = args.flag("--european");
    if (excel)
        return export_status(lcr_series_workbook(data, total, total, european));
    std::vector<std::string> written;
    const int result =
        lcr_export_series_text(args.get("--out"), data, total, total, header, european, &written);
    print_all_written(written);
    return export_status(result);
}

// --z0 (a positive resistance) and --parameter s|z; false for anything else.
bool touchstone_options_of(const cli_args& args, s_touchstone_options& options)
{
    if (args.has("--parameter") &&
        !touchstone_parameter_of(args.get("--parameter"), options.parameter))
        return false;
    if (!args.has("--z0"))
        return true;
    return sweep_parse_number(args.get("--z0"), options.z0) && options.z0 > 0;
}

// The sweep of a sweep file, or one sweep run first, as a Touchstone file.
int touchstone_export(const cli_args& args)
{
    const bool from_file = args.has("--from-sweep-file");
    const long layout = args.get_long("--layout", 0);
    s_touchstone_options options;
    if (args.has("--series") || from_file != lcr_layout_known(layout) ||
        args.get("--out").empty() || args.flag("--european") || args.flag("--remove-zeros") ||
        !touchstone_options_of(args, options)) {
        cli_say("lcr-export --format s1p needs --from-sweep-file F --layout 2|5|6|7 (or a "
                "configured instrument) and --out FILE, and takes --z0 OHMS (positive) and "
                "--parameter s|z");
        return CLI_USAGE;
    }
    if (!from_file && g_link.interface == LINK_NONE) {
        cli_say("lcr-export without a file sweeps the configured instrument: name one");
        return CLI_USAGE;
    }
    auto results = std::make_unique<LcrResults>();
    s_touchstone_source source;
    if (from_file) {
        if (!results_from(args.get("--from-sweep-file"), static_cast<int>(layout), *results,
                          &source.date_line))
            return FAILED;
    } else if (const int rc = sweep_first(args.get("--data", "."), *results)) {
        return rc;
    } else {
        source.date_line = sweep_file_date_line(std::time(nullptr));
    }
    source.instrument = g_link.identity;
    const int rc =
        export_status(lcr_export_touchstone(args.get("--out"), *results, options, source));
    if (rc == 0)
        print_written(args.get("--out"));
    return rc;
}

int run_lcr_export(const cli_args& args)
{
    if (args.get("--format") == "s1p")
        return touchstone_export(args);
    bool excel = false;
    const bool from_file = args.has("--from-sweep-file");
    const long series = args.get_long("--series", 0);
    const long layout = args.get_long("--layout", 0);
    if (!format_of(args, excel) || (from_file && series > 0) || series < 0 || series > 99 ||
        from_file != lcr_layout_known(layout) || (!excel && args.get("--out").empty()) ||
        args.has("--z0") || args.has("--parameter")) {
        cli_say("lcr-export needs --from-sweep-file F --layout 2|5|6|7 "
                "or --series N (or a configured instrument), and --out FILE for "
                "csv");
        return CLI_USAGE;
    }
    if (!from_file && series == 0 && g_link.interface == LINK_NONE) {
        cli_say("lcr-export without a file or a series sweeps the "
                "configured instrument: name one");
        return CLI_USAGE;
    }
    const std::string data = args.get("--data", ".");
    set_reports(data);
    s_export_header header;
    if (const int rc = header_of(header))
        return rc;
    if (series > 0)
        return series_export(args, static_cast<int>(series), header, excel);
    auto results = std::make_unique<LcrResults>();
    if (from_file) {
        if (!results_from(args.get("--from-sweep-file"), static_cast<int>(layout), *results))
            return FAILED;
    } else if (const int rc = sweep_first(data, *results)) {
        return rc;
    }
    const bool european = args.flag("--european");
    if (excel)
        return export_status(lcr_single_workbook(*results, european, args.flag("--remove-zeros")));
    const int rc =
        export_status(lcr_export_single_text(args.get("--out"), *results, header, european));
    if (rc == 0)
        print_written(args.get("--out"));
    return rc;
}

// --from-sweep-file, --series, --format, --out and --data are declared with
// the FRA export, --european and --remove-zeros too.
const cli_option_registrar lcr_export_options({"--layout", "--z0", "--parameter"});
const cli_registrar lcr_export_cmd(
    {"lcr-export",
     "lcr-export [--from-sweep-file F --layout 2|5|6|7 | --series N] --format csv|xlsx|s1p "
     "[--european] [--remove-zeros] [--z0 OHMS] [--parameter s|z] [--out FILE] [--data DIR]",
     run_lcr_export});

} // namespace
