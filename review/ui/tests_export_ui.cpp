#include "review/ui/tests_export_ui.h"

#include "base/ui/export_entry.h"
#include "fra/ui/fra_export_ui.h"
#include "review/tests_export.h"

void review_export_selected_tests(QWidget* owner, const std::vector<int>& test_keys)
{
    s_export_request request;
    request.mode = EXPORT_MODE_DATABASE;
    request.test_keys = test_keys;
    if (fra_export_ask(owner, 0, request))
        review_export_tests(owner, request);
}

void review_register_exporters()
{
    set_tests_exporter(review_export_selected_tests);
}
