#pragma once
// The entry point through which the database form's "Export Selected Tests"
// reaches the export dialog. The dialog registers itself from the program's
// main(); until it has, the form keeps its button greyed instead of
// pretending to export.

#include <vector>

class QWidget;

// test_keys: the TestNo of every selected test, in the selection's row order.
using tests_exporter = void (*)(QWidget* owner, const std::vector<int>& test_keys);

void set_tests_exporter(tests_exporter exporter);
bool tests_exporter_registered();
// Hands the selection to the registered exporter; false when none is.
bool export_tests(QWidget* owner, const std::vector<int>& test_keys);
