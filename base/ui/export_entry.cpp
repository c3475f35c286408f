#include "base/ui/export_entry.h"

namespace {
tests_exporter g_exporter = nullptr;
}

void set_tests_exporter(tests_exporter exporter)
{
    g_exporter = exporter;
}

bool tests_exporter_registered()
{
    return g_exporter != nullptr;
}

bool export_tests(QWidget* owner, const std::vector<int>& test_keys)
{
    if (!g_exporter)
        return false;
    g_exporter(owner, test_keys);
    return true;
}
