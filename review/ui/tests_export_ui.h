#pragma once
// The database form's "Export Selected Tests": the Export Tests dialog in
// front of the stored-test export, registered as the form's entry point.

#include <vector>

class QWidget;

// The database form's selection (TestNo keys in row order).
void review_export_selected_tests(QWidget* owner, const std::vector<int>& test_keys);
// Makes the dialog the database form's export entry point.
void review_register_exporters();
