#include "fra/ui/fra_export_ui.h"

#include "base/app_settings.h"
#include "config/config_current.h"
#include "db/db_verdict.h"
#include "db/ui/export_tests_dialog.h"
#include "fra/fra_export_dispatch.h"
#include "link/link.h"
#include "sweep/sweep_series.h"

bool fra_export_ask(QWidget* owner, int repeat_count, s_export_request& request)
{
    export_tests_dialog dialog(owner, repeat_count);
    s_export_dialog_choice choice;
    if (!dialog.run(choice))
        return false;
    request.choice = {choice.excel, choice.european, choice.remove_zeros};
    request.header = {&config_current(), &g_link, {}};
    request.data_folder = current_app_paths().data_folder;
    return true;
}

void fra_export_from_window(QWidget* owner, const FraResults& results, const s_sweep_series& series,
                            int repeat_count, const s_test_verdict* verdict)
{
    s_export_request request;
    request.mode = repeat_count != 0 ? EXPORT_MODE_FRA_SERIES : EXPORT_MODE_FRA;
    request.results = &results;
    request.repeat_count = repeat_count;
    request.sweeps_done = series.sweeps_done;
    request.sweeps_total = series.sweeps_total;
    if (!fra_export_ask(owner, repeat_count, request))
        return;
    if (verdict)
        request.header.verdict = verdict_export_lines(*verdict);
    fra_export_run(owner, request);
}
