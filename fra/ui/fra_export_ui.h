#pragma once
// The Export Tests dialog in front of the exports: from the FRA window's
// EXPORT button and, once registered, from the database form's "Export
// Selected Tests".

#include <vector>

class QWidget;
struct FraResults;
struct s_sweep_series;

// The FRA window's export: repeat_count non-zero exports the series.
void fra_export_from_window(QWidget* owner, const FraResults& results, const s_sweep_series& series,
                            int repeat_count);
// The database form's selection (TestNo keys in row order).
void fra_export_selected_tests(QWidget* owner, const std::vector<int>& test_keys);
// Makes the dialog the database form's export entry point.
void fra_register_exporters();
