#include "fra/fra_export_dispatch.h"

#include "base/ui_seam.h"
#include "fra/fra_export_workbook.h"

int fra_export_run(void* owner, const s_export_request& r)
{
    const FraResults empty;
    const FraResults& results = r.results ? *r.results : empty;
    if (r.choice.excel)
        return r.repeat_count != 0
                   ? fra_series_workbook(r.data_folder, r.sweeps_done, r.sweeps_total,
                                         r.choice.european)
                   : fra_single_workbook(results, r.choice.european, r.choice.remove_zeros);
    const bool nothing = r.repeat_count != 0
                             ? !fra_series_exportable(r.data_folder, r.sweeps_done, r.sweeps_total)
                             : results.count <= 0;
    if (nothing) { // said before the file is asked for
        ui_message_box(owner, NO_DATA_TEXT, EXPORT_ERROR_CAPTION, MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    const std::string path = export_choose_file(owner);
    if (path.empty())
        return -1;
    if (r.repeat_count != 0)
        return fra_export_series_text(path, r.data_folder, r.sweeps_done, r.sweeps_total, r.header,
                                      r.choice.european) > 0
                   ? 0
                   : -1;
    return fra_export_single_text(path, results, r.header, r.choice.european) == 0 ? 0 : -1;
}
