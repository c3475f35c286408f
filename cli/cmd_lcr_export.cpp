// lcr-export: LCR results to text or a workbook, as the LCR window's export
// writes them: the sweep of a sweepN.dat file (with its layout named), a
// completed series from the data folder, or, with an instrument configured
// and neither given, one LCR sweep run first. Every file this command wrote
// is printed as "written PATH". Exit status: 0 done, 1 failed, 2 usage, 3
// not identified, 4 a file to replace without --yes.

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "cli/export_common.h"
#include "cli/identified_model.h"
#include "config/config_current.h"
#include "db/sweep_file.h"
#include "lcr/lcr_complete.h"
#include "lcr/lcr_export.h"
#include "lcr/lcr_layouts.h"
#include "lcr/lcr_sweep.h"
#include "link/link.h"

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

constexpr int FAILED = 1;
constexpr int NOT_IDENTIFIED = 3;

bool known_layout(long code)
{
    return code == LCR_LAYOUT_STANDARD || code == LCR_LAYOUT_FULL || code == LCR_LAYOUT_IMPEDANCE ||
           code == LCR_LAYOUT_ADMITTANCE;
}

// A sweep file as the window's last sweep in the given layout.
bool results_from(const std::string& path, int layout, LcrResults& results)
{
    sweep_file_contents contents;
    const size_t n = static_cast<size_t>(lcr_layout(layout).values);
    if (sweep_file_read(path, contents) != sweep_file_status::ok ||
        (!contents.rows.empty() && contents.rows.front().size() != n + 1)) {
        cli_say("cannot read the sweep file %s as layout %d", path.c_str(), layout);
        return false;
    }
    results.layout = layout;
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

int run_lcr_export(const cli_args& args)
{
    bool excel = false;
    const bool from_file = args.has("--from-sweep-file");
    const long series = args.get_long("--series", 0);
    const long layout = args.get_long("--layout", 0);
    if (!format_of(args, excel) || (from_file && series > 0) || series < 0 || series > 99 ||
        from_file != known_layout(layout) || (!excel && args.get("--out").empty())) {
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
const cli_option_registrar lcr_export_options({"--layout"});
const cli_registrar lcr_export_cmd(
    {"lcr-export",
     "lcr-export [--from-sweep-file F --layout 2|5|6|7 | --series N] --format csv|xlsx "
     "[--european] [--remove-zeros] [--out FILE] [--data DIR]",
     run_lcr_export});

} // namespace
