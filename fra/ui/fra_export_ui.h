#pragma once
// The Export Tests dialog in front of the exports: from the FRA window's
// EXPORT button, and (through the stored-test review) from the database
// form's "Export Selected Tests".

class QWidget;
struct FraResults;
struct s_sweep_series;
struct s_export_request;
struct s_test_verdict;

// Shows the dialog; on OK fills the request's choices, header and data
// folder and returns true.
bool fra_export_ask(QWidget* owner, int repeat_count, s_export_request& request);

// The FRA window's export: repeat_count non-zero exports the series. The
// last sweep's verdict, when it was judged, heads its file.
void fra_export_from_window(QWidget* owner, const FraResults& results, const s_sweep_series& series,
                            int repeat_count, const s_test_verdict* verdict = nullptr);
