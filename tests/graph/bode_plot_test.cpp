#include "graph/ui/bode_plot.h"
#include "graph/ui/chart_parts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// One application for the program, never destroyed: Qt's own objects
// must not be torn down by the exit handlers after the platform is gone.
QApplication& app()
{
    static int argc = 1;
    static char name[] = "bode_plot_test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

// A flat 0 dB gain and a flat 0 degree phase over 100 Hz .. 100 kHz.
s_bode_inputs flat_inputs()
{
    s_bode_inputs in;
    in.freq = {100, 100000};
    in.gain = {-20, 20};
    in.phase_base = -180;
    std::vector<s_bode_point> pts;
    for (int i = 0; i <= 30; ++i)
        pts.push_back({100 * std::pow(10.0, i / 10.0), 0, 0});
    in.series.push_back(bode_fra_series(pts));
    return in;
}

const QSize size(1024, 625);

} // namespace

TEST(BodePlotPaint, BackgroundTracesAndFrame)
{
    app();
    BodePlot plot(bode_style_fra_view(), bode_out_of_range::clamp);
    s_bode_inputs in = flat_inputs();
    // Gain 0 dB and phase 0 degrees both lie at half height: the phase is
    // drawn second, so blue wins there; move the phase to +90 degrees.
    for (auto& p : in.series[0].points)
        p.phase = 90;
    const QImage img = plot.render(size, in, QColor(240, 240, 240));
    const s_plot_rect r = plot.layout(size).plot;
    EXPECT_EQ(img.pixelColor(r.left + 300, r.top + 50), QColor(Qt::black)); // plot background
    EXPECT_EQ(img.pixelColor(5, 5), QColor(240, 240, 240));                 // window background
    const int mid = r.bottom - static_cast<int>(std::lround(r.height() / 2.0));
    EXPECT_EQ(img.pixelColor(r.left + 450, mid), QColor(255, 0, 0));
    const int ph = r.bottom - static_cast<int>(std::lround(270.0 * r.height() / 360));
    // Pure blue reads 2.4:1 on black: drawn in a lighter blue.
    const QColor phase = img.pixelColor(r.left + 450, ph);
    EXPECT_EQ(phase, chart_mark({}, QColor(0, 0, 255), Qt::black));
    EXPECT_GE(chart_contrast(phase, Qt::black), CHART_MIN_MARK_CONTRAST);
    EXPECT_EQ(phase.hue(), QColor(0, 0, 255).hue());
    // Outermost frame ring is grey, the innermost (on the plot edge) dark grey.
    EXPECT_EQ(img.pixelColor(r.left - 4, r.top + 100), QColor(128, 128, 128));
    EXPECT_EQ(img.pixelColor(r.left, r.top + 100), QColor(64, 64, 64));
}

TEST(BodePlotPaint, WhiteBackgroundAndClampedTrace)
{
    app();
    BodePlot plot(bode_style_fra_view(), bode_out_of_range::clamp);
    s_bode_inputs in = flat_inputs();
    in.background = bode_background::white;
    for (auto& p : in.series[0].points)
        p.gain = 100; // far above the axis: runs along the top edge
    const QImage img = plot.render(size, in, Qt::lightGray);
    const s_plot_rect r = plot.layout(size).plot;
    EXPECT_EQ(img.pixelColor(r.left + 300, r.top + 50), QColor(Qt::white));
    EXPECT_EQ(img.pixelColor(r.left + 300, r.top), QColor(255, 0, 0));
}

TEST(BodePlotPaint, ClippedTraceLeavesTheOutsideUndrawn)
{
    app();
    BodePlot plot(bode_style_graph_file(), bode_out_of_range::clip);
    s_bode_inputs in = flat_inputs();
    for (auto& p : in.series[0].points)
        p.gain = 100;
    const QImage img = plot.render(size, in, Qt::lightGray);
    const s_plot_rect r = plot.layout(size).plot;
    EXPECT_EQ(img.pixelColor(r.left + 300, r.top + 1), QColor(Qt::black));
}

TEST(BodePlotPaint, CursorsCircleTheirPoints)
{
    app();
    BodePlot plot(bode_style_fra_view(), bode_out_of_range::clamp);
    s_bode_inputs in = flat_inputs();
    in.show_cursors = true;
    in.cursor[0] = 10; // 1 kHz
    in.cursor[1] = 99; // beyond the last point: clamped to it
    const QImage img = plot.render(size, in, QColor(240, 240, 240));
    const s_plot_rect r = plot.layout(size).plot;
    const int x = r.left + r.width() / 3;
    const int y = r.bottom - static_cast<int>(std::lround(r.height() / 2.0));
    // The circle of radius 8 crosses the vertical through its centre 8 pixels up.
    EXPECT_EQ(img.pixelColor(x, y - 8), QColor(255, 150, 150));
    EXPECT_EQ(img.pixelColor(r.right - 1, y - 8), QColor(150, 150, 255));
}

TEST(BodePlotPaint, BmpExportMatchesTheImage)
{
    app();
    BodePlot plot(bode_style_graph_file(), bode_out_of_range::clip);
    const QImage img = plot.render(QSize(101, 80), flat_inputs(), Qt::white);
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.bmp");
    ASSERT_EQ(bode_save_bmp(img, path), 0);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), 54 + 304 * 80); // 101 * 3 = 303 bytes padded to 304
    const QImage back(path);
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.pixelColor(0, 0), img.pixelColor(0, 0));
    EXPECT_EQ(back.pixelColor(100, 79), img.pixelColor(100, 79));
    EXPECT_EQ(bode_save_bmp(img, dir.filePath("no/such/dir.bmp")), -1);
}

TEST(BodePlotPaint, CursorReadoutsLeaveTheScrollBarBandFree)
{
    app();
    BodePlot plot(bode_style_fra_view(), bode_out_of_range::clamp);
    s_bode_inputs in = flat_inputs();
    in.show_cursors = true;
    in.cursor[1] = 30;
    const QColor window(240, 240, 240);
    const QImage img = plot.render(size, in, window);
    // The FRA view's cursor scroll bars lie 20 to 38 pixels above the
    // bottom, along both sides: no readout text may hide beneath them.
    const auto inked = [&](int x0, int x1, int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (img.pixelColor(x, y) != window)
                    return true;
        return false;
    };
    const int h = size.height();
    const int w = size.width();
    EXPECT_FALSE(inked(0, 260, h - 40, h - 18));
    EXPECT_FALSE(inked(w - 260, w, h - 40, h - 18));
    // Both lines of each readout are drawn: above and below the band.
    EXPECT_TRUE(inked(5, 260, h - 56, h - 43));
    EXPECT_TRUE(inked(5, 260, h - 14, h - 1));
    EXPECT_TRUE(inked(w - 260, w - 5, h - 56, h - 43));
    EXPECT_TRUE(inked(w - 260, w - 5, h - 14, h - 1));
}

// A colour that reads on its background is kept; one that does not is
// blended towards black or white just far enough, keeping its hue.
TEST(ChartText, ReadableColoursAndTheirContrast)
{
    EXPECT_NEAR(chart_contrast(Qt::black, Qt::white), 21, 1e-9);
    EXPECT_NEAR(chart_contrast(Qt::white, Qt::white), 1, 1e-9);
    const struct {
        QColor wanted, behind;
        bool kept;
    } cases[] = {
        {Qt::black, Qt::white, true},          {Qt::black, Qt::black, false},
        {QColor(0, 0, 200), Qt::black, false}, {QColor(250, 0, 0), QColor(240, 240, 240), false},
        {QColor(250, 0, 0), Qt::black, true},  {Qt::white, QColor(235, 225, 170), false},
        {Qt::gray, Qt::gray, false},
    };
    for (const auto& c : cases) {
        const QColor got = chart_readable(c.wanted, c.behind);
        EXPECT_GE(chart_contrast(got, c.behind), CHART_MIN_CONTRAST)
            << c.wanted.name().toStdString();
        EXPECT_EQ(got == c.wanted, c.kept) << c.wanted.name().toStdString();
    }
    EXPECT_GT(chart_readable(QColor(0, 0, 200), Qt::black).blue(),
              chart_readable(QColor(0, 0, 200), Qt::black).red())
        << "still blue";
}
