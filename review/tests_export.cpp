#include "review/tests_export.h"

#include "base/ui_seam.h"
#include "review/db_tests_workbook.h"

namespace {

constexpr size_t MAX_EXPORTED_TESTS = 9;

} // namespace

int review_export_tests(void* owner, const s_export_request& r)
{
    if (r.test_keys.empty() || r.test_keys.size() > MAX_EXPORTED_TESTS) {
        ui_message_box(owner, "Please add some tests to export", "Tarvelo2",
                       MB_OK | MB_ICONINFORMATION);
        return -1;
    }
    if (r.choice.excel)
        return db_tests_workbook(r.test_keys, r.choice.european, r.choice.remove_zeros);
    const std::string path = export_choose_file(owner);
    if (path.empty())
        return -1;
    return fra_export_db_text(path, r.test_keys, r.header, r.choice.european) > 0 ? 0 : -1;
}
