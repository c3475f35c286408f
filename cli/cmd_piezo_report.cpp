// piezo-report: the piezo report of an imported sweep file, or of one piezo
// sweep of the configured instrument, with both pictures painted offscreen
// as the piezo window paints them. Prints "written PATH" for each picture
// and the workbook. Exit status: 0 done, 1 failed (the analysis refused
// the sweep, a file could not be written), 2 usage, 3 not identified.

#ifdef TARVELO_CLI_RENDER

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "base/ui_seam.h"
#include "cli/export_common.h"
#include "cli/identified_model.h"
#include "cli/painting_app.h"
#include "config/config_current.h"
#include "lcr/lcr_sweep.h"
#include "lcr/piezo_import.h"
#include "lcr/piezo_report.h"
#include "lcr/ui/lcr_export_ui.h"
#include "lcr/ui/piezo_plot.h"
#include "link/link.h"

#include <ctime>
#include <memory>

namespace {

constexpr int FAILED = 1;
constexpr int NOT_IDENTIFIED = 3;

class sweep_notice : public command_target {
public:
    void on_command(int id, intptr_t) override { completed += id == CMD_LCR_SWEEP_COMPLETE; }
    int completed = 0;
};

int piezo_sweep(LcrResults& results)
{
    if (!cli_identified_model())
        return NOT_IDENTIFIED;
    scripted_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    sweep_notice notice;
    auto ctx = std::make_unique<PiezoSweepContext>();
    ctx->link = &g_link;
    ctx->config = &config_current();
    ctx->notify = ctx->owner = &notice;
    lcr_context_arm_sweep(*ctx);
    piezo_sweep_worker(*ctx);
    dispatcher.run_pending();
    set_command_dispatcher(nullptr);
    if (notice.completed == 0)
        return FAILED;
    results = ctx->sweep;
    return 0;
}

int read_sweep(const cli_args& args, LcrResults& results)
{
    if (!args.has("--from-sweep-file"))
        return piezo_sweep(results);
    std::string message;
    const s_piezo_import got = piezo_import_file(args.get("--from-sweep-file"), results, message);
    if (!message.empty())
        ui_message_box(nullptr, message, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
    return got.points > 0 ? 0 : FAILED;
}

int run_piezo_report(const cli_args& args)
{
    if (!args.has("--from-sweep-file") && g_link.interface == LINK_NONE) {
        cli_say("piezo-report needs --from-sweep-file F or a "
                "configured instrument");
        return CLI_USAGE;
    }
    auto results = std::make_unique<LcrResults>();
    if (const int rc = read_sweep(args, *results))
        return rc;
    const s_piezo_analysis analysis = piezo_analyse(*results);
    if (!analysis.values) {
        ui_message_box(nullptr, analysis.refusal, "Tarvelo2", MB_OK | MB_ICONINFORMATION);
        return FAILED;
    }
    const cli_painting_app qt;
    set_reports(args.get("--data", "."));
    s_piezo_plot_inputs plot;
    plot.results = results.get();
    plot.phase_convention = results->phase_convention;
    plot.freq = piezo_freq_range(*results, plot.freq);
    plot.impedance = piezo_impedance_range(*results, plot.impedance);
    s_piezo_report_input input;
    input.results = results.get();
    input.values = &*analysis.values;
    input.stamp = piezo_stamp(std::time(nullptr));
    input.pictures_folder = args.get("--pictures", piezo_pictures_folder().toStdString());
    qt_piezo_painter painter(plot);
    if (piezo_report(nullptr, input, painter, args.flag("--european")) != 0)
        return FAILED;
    for (const char* kind : {"circuit", "graph"})
        print_written(piezo_picture_path(input.pictures_folder, kind, input.stamp));
    return 0;
}

// --from-sweep-file and --data are declared with the FRA export, --european
// too.
const cli_option_registrar piezo_report_options({"--pictures"});
const cli_registrar piezo_report_cmd(
    {"piezo-report",
     "piezo-report [--from-sweep-file F] [--european] [--data DIR] [--pictures DIR]",
     run_piezo_report});

} // namespace

#endif
