#include "fra/fra_export_dispatch.h"

#include "base/ui_seam.h"
#include "fra/fra_export_workbook.h"
#include "office/db_tests_workbook.h"

#include <filesystem>

namespace {

constexpr size_t MAX_EXPORTED_TESTS = 9;

int database_export(void* owner, const s_export_request& r)
{
    if (r.test_keys.empty() || r.test_keys.size() > MAX_EXPORTED_TESTS) {
        ui_message_box(owner, "Please add some tests to export", "Tarvelo2",
                       MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    if (r.choice.excel)
        return db_tests_workbook(r.test_keys, r.choice.european, r.choice.remove_zeros);
    const std::string path = fra_export_choose_file(owner);
    if (path.empty())
        return -1;
    return fra_export_db_text(path, r.test_keys, r.header, r.choice.european) > 0 ? 0 : -1;
}

int fra_export(void* owner, const s_export_request& r)
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
    const std::string path = fra_export_choose_file(owner);
    if (path.empty())
        return -1;
    if (r.repeat_count != 0)
        return fra_export_series_text(path, r.data_folder, r.sweeps_done, r.sweeps_total, r.header,
                                      r.choice.european) > 0
                   ? 0
                   : -1;
    return fra_export_single_text(path, results, r.header, r.choice.european);
}

} // namespace

std::string fra_export_choose_file(void* owner)
{
    ui_file_request request;
    request.save = true;
    request.caption = "Save As";
    request.filters = "Text File (*.txt)";
    request.default_suffix = "txt";
    ui_file_choice choice;
    if (!ui_choose_file(owner, request, choice) || choice.path.empty()) {
        ui_message_box(owner, CANNOT_CREATE_CSV_TEXT, EXPORT_ERROR_CAPTION,
                       MB_OK | MB_ICONINFORMATION);
        return {};
    }
    std::error_code error;
    if (std::filesystem::exists(choice.path, error) &&
        ui_message_box(owner, choice.path + " already exists.\nDo you want to replace it?",
                       "Save As", MB_YESNO | MB_ICONWARNING) != IDYES)
        return {};
    return choice.path;
}

int fra_export_run(void* owner, const s_export_request& request)
{
    return request.mode == EXPORT_MODE_DATABASE ? database_export(owner, request)
                                                : fra_export(owner, request);
}
