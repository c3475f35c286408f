#pragma once
// The Export Tests dialog in front of the LCR and piezo exports. The LCR
// window's EXPORT opens it in LCR mode (its last sweep, or with a repeat
// count set up every sweep of the series); the piezo window's Export opens
// its own form and builds the piezo report.

#include "lcr/piezo_report.h"

#include <QImage>
#include <QString>

class QWidget;
struct LcrResults;
struct s_sweep_series;
struct s_piezo_plot_inputs;
struct s_test_verdict;

// The LCR window's export: repeat_count non-zero exports the series. The
// last sweep's verdict, when it was judged, heads its file.
void lcr_export_from_window(QWidget* owner, const LcrResults& results, const s_sweep_series& series,
                            int repeat_count, const s_test_verdict* verdict = nullptr);

// Makes the LCR exports what the LCR window's EXPORT runs: the series when
// a repeating test is set up, else the last sweep.
void lcr_register_exporters();

// "<pictures>/QXL/Tarvelo2", where the piezo report's pictures go.
QString piezo_pictures_folder();

// The report's two pictures painted with Qt: the circuit drawing with the
// values, and the piezo graph on white (no room kept for window controls).
class qt_piezo_painter : public piezo_report_painter {
public:
    explicit qt_piezo_painter(const s_piezo_plot_inputs& plot) : plot_(plot) {}
    s_bmp_image circuit(const s_piezo_values& values) override;
    s_bmp_image graph() override;

    static QImage circuit_image(const s_piezo_values& values);
    QImage graph_image() const;

private:
    const s_piezo_plot_inputs& plot_;
};

// The piezo window's export: the dialog's piezo form, then the report.
void piezo_export_from_window(QWidget* owner, const s_piezo_report_input& input,
                              const s_piezo_plot_inputs& plot);
