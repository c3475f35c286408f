#include "base/ui_seam.h"
#include "lcr/lcr_export.h"

namespace {

int series_export(void* owner, const s_lcr_export_request& r)
{
    if (r.excel)
        return lcr_series_workbook(r.data_folder, r.sweeps_done, r.sweeps_total, r.european);
    if (r.sweeps_total <= 0 || r.sweeps_done != r.sweeps_total ||
        lcr_series_layout(r.data_folder) == 0) { // said before the file is asked for
        ui_message_box(owner, NO_DATA_TEXT, EXPORT_ERROR_CAPTION, MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    const std::string path = export_choose_file(owner);
    if (path.empty())
        return -1;
    return lcr_export_series_text(path, r.data_folder, r.sweeps_done, r.sweeps_total, r.header,
                                  r.european) > 0
               ? 0
               : -1;
}

int sweep_export(void* owner, const s_lcr_export_request& r)
{
    static const LcrResults empty;
    const LcrResults& results = r.results ? *r.results : empty;
    if (r.excel)
        return lcr_single_workbook(results, r.european, r.remove_zeros);
    if (results.count <= 0) {
        ui_message_box(owner, NO_DATA_TEXT, EXPORT_ERROR_CAPTION, MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    const std::string path = export_choose_file(owner);
    if (path.empty())
        return -1;
    return lcr_export_single_text(path, results, r.header, r.european) == 0 ? 0 : -1;
}

int touchstone_export(void* owner, const s_lcr_export_request& r)
{
    static const LcrResults empty;
    const LcrResults& results = r.results ? *r.results : empty;
    std::string refusal;
    if (lcr_touchstone_text(results, {}, r.touchstone_source, refusal).empty()) {
        ui_message_box(owner, refusal, EXPORT_ERROR_CAPTION, MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    const std::string path = export_choose_touchstone_file(owner);
    if (path.empty())
        return -1;
    return lcr_export_touchstone(path, results, {}, r.touchstone_source) == 0 ? 0 : -1;
}

} // namespace

int lcr_export_run(void* owner, const s_lcr_export_request& request)
{
    if (request.touchstone)
        return touchstone_export(owner, request);
    return request.repeat_count != 0 ? series_export(owner, request) : sweep_export(owner, request);
}
