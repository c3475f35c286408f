// The export windows' side: the Export Tests dialog's piezo form, the
// report's two pictures painted with Qt, and the LCR and piezo entry points
// driven through the dialog as a user would.

#include "db/ui/export_tests_dialog.h"
#include "lcr/ui/lcr_export_ui.h"
#include "lcr/ui/piezo_plot.h"
#include "office/excel_server.h"
#include "office/ole.h"
#include "sweep/sweep_series.h"
#include "tests/support/qt_test_app.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>

namespace {

// Answers the next modal Export Tests dialog: European or not, then OK.
void answer_dialog(bool european, bool csv = false)
{
    QTimer::singleShot(50, [european, csv] {
        auto* d = qobject_cast<export_tests_dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        if (european)
            d->control(EXPORT_EUROPEAN)->click();
        if (csv)
            d->control(EXPORT_CSV)->click();
        d->control(1)->click();
    });
}

bool dark(QRgb c)
{
    return qGray(c) < 128;
}

int dark_pixels(const QImage& image, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += dark(image.pixel(x, y));
    return n;
}

std::unique_ptr<LcrResults> resonator()
{
    auto r = std::make_unique<LcrResults>();
    r->layout = 2;
    for (int i = 0; i < 200; ++i) {
        LcrPoint& p = r->points[static_cast<size_t>(r->count++)];
        p.v[0] = 9000 + 20.0 * i;
        p.v[3] = i == 50 ? 12.345 : (i == 120 ? 1e5 : 1000 + i);
        p.v[4] = -90 + i * 0.9;
    }
    return r;
}

} // namespace

TEST(PiezoExportForm, HasNoFormatChoiceAndKeepsZerosDisabled)
{
    ensure_qt_app();
    for (const bool piezo : {false, true}) {
        export_tests_dialog dialog(nullptr, 0, piezo);
        dialog.show();
        pump();
        EXPECT_EQ(dialog.control(EXPORT_EXCEL)->isVisible(), !piezo);
        EXPECT_EQ(dialog.control(EXPORT_CSV)->isVisible(), !piezo);
        EXPECT_TRUE(dialog.control(EXPORT_EUROPEAN)->isVisible());
        EXPECT_EQ(dialog.control(EXPORT_REMOVE_ZEROS)->isEnabled(), !piezo);
        EXPECT_TRUE(dialog.choice().excel);
        EXPECT_FALSE(dialog.choice().remove_zeros);
    }
}

TEST(PiezoPictures, CircuitCarriesTheValuesAndGraphStandsOnWhite)
{
    ensure_qt_app();
    const s_piezo_values v{12.345, 0.8337, 3.0385e-8, 1.4469e-7, 1000, 1100, 12.345, 1e5};
    const QImage circuit = qt_piezo_painter::circuit_image(v);
    ASSERT_EQ(circuit.size(), QSize(428, 206));
    EXPECT_EQ(circuit.pixel(0, 0), qRgb(255, 255, 255));
    // Each value's text at its place; the drawing's wires between them.
    for (const QPoint at : {QPoint(100, 10), QPoint(190, 10), QPoint(270, 10), QPoint(190, 115)})
        EXPECT_GT(dark_pixels(circuit, QRect(at, QSize(60, 14))), 20) << at.x() << "," << at.y();
    EXPECT_GT(dark_pixels(circuit, QRect(0, 55, 428, 15)), 200) << "the series branch";

    const auto r = resonator();
    s_piezo_plot_inputs plot;
    plot.results = r.get();
    plot.freq = piezo_freq_range(*r, plot.freq);
    plot.impedance = piezo_impedance_range(*r, plot.impedance);
    const QImage graph = qt_piezo_painter(plot).graph_image();
    ASSERT_EQ(graph.size(), QSize(1009, 611));
    const s_plot_rect area = piezo_plot_area(1009, 611, 0);
    EXPECT_EQ(graph.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(graph.pixel((area.left + area.right) / 2, area.top + 5), qRgb(255, 255, 255))
        << "the plot's background is white";
    int red = 0;
    for (int y = area.top; y < area.bottom; ++y)
        red += graph.pixel(area.left + area.width() / 4, y) == PIEZO_IMPEDANCE_TRACE;
    EXPECT_GT(red, 0) << "the impedance trace crosses the plot";
}

TEST(LcrExportEntry, WindowsReachTheirExportsThroughTheDialog)
{
    ensure_qt_app();
    temp_folder folder("lcr_export_entry");
    office_set_reports_folder(folder.str() + "/reports");
    std::vector<std::string> opened;
    office_set_opener([&](const std::string& path) { opened.push_back(path); });
    ole_register_defaults();
    test_ui().clear();

    // The LCR window with nothing swept: the single-sweep text refuses.
    LcrResults none;
    s_sweep_series series;
    answer_dialog(false, true);
    lcr_export_from_window(nullptr, none, series, 0);
    ASSERT_EQ(test_ui().shown().size(), 1u);
    EXPECT_EQ(test_ui().shown()[0].text, "No Data to Export");
    // A repeat count set up but the series not run: the workbook refuses.
    answer_dialog(false);
    lcr_export_from_window(nullptr, none, series, 3);
    EXPECT_EQ(test_ui().shown().back().text, "No Data to Export");

    // The piezo window's report, European numbers, pictures painted by Qt.
    const auto r = resonator();
    const s_piezo_values v{12.345, 0.8337, 3.0385e-8, 1.4469e-7, 10000, 11400, 12.345, 1e5};
    s_piezo_plot_inputs plot;
    plot.results = r.get();
    s_piezo_report_input input{r.get(), &v, {1, 2, 3, 4, 5, 2026}, folder.str() + "/QXL/Tarvelo2"};
    answer_dialog(true);
    piezo_export_from_window(nullptr, input, plot);
    EXPECT_EQ(test_ui().shown().size(), 2u);
    ASSERT_EQ(opened.size(), 1u);
    for (const char* kind : {"circuit", "graph"})
        EXPECT_TRUE(
            std::filesystem::exists(piezo_picture_path(input.pictures_folder, kind, input.stamp)));
    office_set_opener(nullptr);
}

TEST(LcrExportEntry, TouchstoneIsTheLcrFormsThirdFormatForItsLastSweep)
{
    ensure_qt_app();
    for (const int repeat : {0, 3}) {
        export_tests_dialog dialog(nullptr, repeat, false, true);
        ASSERT_NE(dialog.control(EXPORT_TOUCHSTONE), nullptr);
        EXPECT_EQ(dialog.control(EXPORT_TOUCHSTONE)->isEnabled(), repeat == 0);
        EXPECT_FALSE(dialog.choice().touchstone);
    }
    EXPECT_EQ(export_tests_dialog(nullptr, 0).control(EXPORT_TOUCHSTONE), nullptr);

    temp_folder folder("lcr_export_touchstone");
    test_ui().clear();
    const auto choose_touchstone = [] {
        QTimer::singleShot(50, [] {
            auto* d = qobject_cast<export_tests_dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            d->control(EXPORT_TOUCHSTONE)->click();
            d->control(1)->click();
        });
    };
    // Nothing swept: refused before a file is asked for.
    LcrResults none;
    s_sweep_series series;
    choose_touchstone();
    lcr_export_from_window(nullptr, none, series, 0);
    ASSERT_EQ(test_ui().shown().size(), 1u);
    EXPECT_EQ(test_ui().shown()[0].text, "No Data to Export");
    EXPECT_TRUE(test_ui().file_requests().empty());

    const auto r = resonator();
    test_ui().push_file(folder.str() + "/dut");
    choose_touchstone();
    lcr_export_from_window(nullptr, *r, series, 0);
    ASSERT_EQ(test_ui().file_requests().size(), 1u);
    EXPECT_EQ(test_ui().file_requests()[0].default_suffix, "s1p");
    std::ifstream in(folder.str() + "/dut.s1p", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(text.rfind("! ", 0), 0u) << text.substr(0, 200);
    EXPECT_NE(text.find("\r\n# Hz S RI R 50\r\n"), std::string::npos);
    EXPECT_EQ(test_ui().shown().size(), 1u) << test_ui().shown().back().text;
}
