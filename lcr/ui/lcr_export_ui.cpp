#include "lcr/ui/lcr_export_ui.h"

#include "base/app_settings.h"
#include "config/config_current.h"
#include "db/db_verdict.h"
#include "db/sweep_file.h"
#include "db/ui/export_tests_dialog.h"
#include "graph/ui/bode_plot.h"
#include "graph/ui/chart_parts.h"
#include "lcr/lcr_export.h"
#include "lcr/ui/lcr_window.h"
#include "lcr/ui/piezo_plot.h"
#include "link/link.h"
#include "sweep/sweep_series.h"

#include <QPainter>
#include <QStandardPaths>

namespace {

// Where the four values stand on the circuit drawing (top left of the
// text): L, R and C above the series branch, Cp above its capacitor.
struct s_value_place {
    int x, y;
    double s_piezo_values::*value;
};
constexpr s_value_place VALUE_PLACES[] = {{100, 10, &s_piezo_values::l},
                                          {190, 10, &s_piezo_values::r},
                                          {270, 10, &s_piezo_values::c},
                                          {190, 115, &s_piezo_values::cp}};
constexpr int VALUE_PIXELS = 12;

// The date line of the last LCR sweep's file, when the data folder holds
// that sweep's layout; "" otherwise.
std::string last_sweep_date(const std::string& data_folder, const LcrResults& results)
{
    sweep_file_contents contents;
    if (results.layout == 0 || lcr_series_layout(data_folder) != results.layout ||
        sweep_file_read(sweep_file_path(data_folder, 1), contents) != sweep_file_status::ok)
        return {};
    return contents.date_line;
}

} // namespace

void lcr_export_from_window(QWidget* owner, const LcrResults& results, const s_sweep_series& series,
                            int repeat_count, const s_test_verdict* verdict)
{
    export_tests_dialog dialog(owner, repeat_count, false, true);
    s_export_dialog_choice choice;
    if (!dialog.run(choice))
        return;
    s_lcr_export_request request;
    request.excel = choice.excel;
    request.touchstone = choice.touchstone;
    request.european = choice.european;
    request.remove_zeros = choice.remove_zeros;
    request.results = &results;
    request.repeat_count = repeat_count;
    request.sweeps_done = series.sweeps_done;
    request.sweeps_total = series.sweeps_total;
    request.data_folder = current_app_paths().data_folder;
    request.header = {&config_current(), &g_link, {}};
    if (verdict)
        request.header.verdict = verdict_export_lines(*verdict);
    request.touchstone_source = {g_link.identity, last_sweep_date(request.data_folder, results)};
    lcr_export_run(owner, request);
}

void lcr_register_exporters()
{
    lcr_set_export_hook(
        [](QWidget* owner, const LcrResults& results, const s_sweep_series& series) {
            // A single LCR sweep counts no total: a total is the repeat count
            // of the series, kept after it ended until CLEAR.
            const auto* window = dynamic_cast<const lcr_window*>(owner);
            lcr_export_from_window(owner, results, series, series.sweeps_total,
                                   window ? window->verdict() : nullptr);
        });
}

QString piezo_pictures_folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) +
           QStringLiteral("/QXL/Tarvelo2");
}

// The circuit drawing lives in the program's resources, kept in a static
// library: they are registered by hand before the first use.
static void load_resources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(tarvelo_resources);
        return true;
    }();
    (void)loaded;
}

QImage qt_piezo_painter::circuit_image(const s_piezo_values& values)
{
    load_resources();
    QImage image(PIEZO_CIRCUIT_WIDTH, PIEZO_CIRCUIT_HEIGHT, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.drawImage(image.rect(), QImage(QStringLiteral(":/icons/198.png")));
    p.setFont(chart_font(VALUE_PIXELS));
    p.setPen(Qt::black);
    const int h = p.fontMetrics().height();
    for (const s_value_place& place : VALUE_PLACES)
        p.drawText(QRect(place.x, place.y, PIEZO_CIRCUIT_WIDTH - place.x, h),
                   Qt::AlignLeft | Qt::AlignTop,
                   QString::fromLatin1(piezo_circuit_value(values.*place.value).c_str()));
    return image;
}

s_bmp_image qt_piezo_painter::circuit(const s_piezo_values& values)
{
    return bode_bmp_image(circuit_image(values));
}

QImage qt_piezo_painter::graph_image() const
{
    s_piezo_plot_inputs on_white = plot_;
    on_white.white_background = true;
    on_white.left_reserve = 0;
    QImage image(PIEZO_GRAPH_WIDTH, PIEZO_GRAPH_HEIGHT, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    PiezoPlot().draw(p, image.rect(), on_white);
    return image;
}

s_bmp_image qt_piezo_painter::graph()
{
    return bode_bmp_image(graph_image());
}

void piezo_export_from_window(QWidget* owner, const s_piezo_report_input& input,
                              const s_piezo_plot_inputs& plot)
{
    export_tests_dialog dialog(owner, 0, true);
    s_export_dialog_choice choice;
    if (!dialog.run(choice))
        return;
    qt_piezo_painter painter(plot);
    piezo_report(owner, input, painter, choice.european);
}
