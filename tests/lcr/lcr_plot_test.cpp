// The LCR graph painter: traces, grid, background and cursors at the pixels
// the geometry functions compute.

#include "graph/bode_colors.h"
#include "graph/ui/chart_parts.h"
#include "lcr/ui/lcr_plot.h"
#include "lcr/ui/piezo_plot.h"
#include "tests/support/chart_read.h"

#include <QApplication>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "lcr_plot_test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

// Layout 6: |Z| rising 10 .. 1000 ohms, phase falling, over 100 Hz .. 100 kHz.
std::unique_ptr<LcrResults> sweep()
{
    auto r = std::make_unique<LcrResults>();
    r->layout = 6;
    r->count = 31;
    for (int i = 0; i < r->count; ++i) {
        LcrPoint& p = r->points[static_cast<size_t>(i)];
        p.v[0] = 100 * std::pow(10.0, i / 10.0);
        p.v[3] = 10 + 33 * i;
        p.v[4] = 80 - 5 * i;
    }
    return r;
}

const QSize size(1024, 625);

s_lcr_plot_inputs inputs(const LcrResults& r, bode_background b)
{
    s_lcr_plot_inputs in;
    in.results = &r;
    in.freq = lcr_freq_range(r, {});
    in.left = lcr_value_range(r, 3, in.freq, {});
    in.right = lcr_value_range(r, 4, in.freq, {});
    in.background = b;
    in.cursor[0] = 10;
    in.cursor[1] = 500; // beyond the points: clamped to the last one
    return in;
}

QRgb rgb(QColor c)
{
    return c.rgb();
}

} // namespace

TEST(LcrPlot, TracesCursorsAndBackgrounds)
{
    app();
    const auto r = sweep();
    for (const bode_background b : {bode_background::black, bode_background::white}) {
        const s_lcr_plot_inputs in = inputs(*r, b);
        const QImage img = LcrPlot().render(size, in, QColor(212, 208, 200));
        const s_plot_rect plot = lcr_plot_area(size.width(), size.height(), 0, false);
        const auto left = lcr_trace(*r, 3, in.freq, in.left, plot, true).at(0);
        const auto right = lcr_trace(*r, 4, in.freq, in.right, plot, true).at(0);
        // Pure blue on black is drawn in a lighter blue that stands out.
        const QColor back = b == bode_background::white ? Qt::white : Qt::black;
        const QRgb right_trace = chart_mark({}, QColor::fromRgb(LCR_RIGHT_TRACE), back).rgb();
        for (const size_t i : {3u, 17u, 25u}) {
            EXPECT_EQ(img.pixel(plot.left + left[i].x, plot.top + left[i].y), LCR_LEFT_TRACE) << i;
            EXPECT_EQ(img.pixel(plot.left + right[i].x, plot.top + right[i].y), right_trace) << i;
        }
        // Plot background just inside the top-left corner, clear of grid and traces.
        EXPECT_EQ(img.pixel(plot.left + 2, plot.top + 2),
                  b == bode_background::white ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        // The horizontal grid line at 1/8 of the height uses the minor pen.
        const s_rgb minor = bode_palette(b).minor_grid;
        EXPECT_EQ(img.pixel(plot.left + 3, plot.bottom - plot.height() / 8),
                  qRgb(minor.r, minor.g, minor.b));
        // Cursor 0's vertical leader below its higher point; cursor 1 on the last point.
        const int x0 = plot.left + bode_x_of(r->points[10].v[0], in.freq, plot.width(), true);
        bool found = false;
        for (int y = plot.bottom - 3; y > plot.bottom - 30; --y)
            found = found || img.pixel(x0, y) == rgb(lcr_cursor_color(0, b));
        EXPECT_TRUE(found);
        const int x1 = plot.left + bode_x_of(r->points[30].v[0], in.freq, plot.width(), true);
        found = false;
        for (int y = plot.bottom - 3; y > plot.top; --y)
            found = found || img.pixel(x1, y) == rgb(lcr_cursor_color(1, b));
        EXPECT_TRUE(found);
    }
}

TEST(LcrPlot, NoPointsDrawNoTraceOrCursor)
{
    app();
    auto none = std::make_unique<LcrResults>();
    s_lcr_plot_inputs in;
    in.results = none.get();
    in.freq = {10, 1e5};
    in.left = {0, 100};
    in.right = {-180, 180};
    in.cursor[0] = 40;
    const QImage img = LcrPlot().render(size, in, QColor(212, 208, 200));
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3) {
            const QRgb px = img.pixel(x, y);
            ASSERT_NE(px, LCR_LEFT_TRACE);
            ASSERT_NE(px, rgb(lcr_cursor_color(0, bode_background::black)));
        }
}

// A fitted model's curve, drawn over the sweep by the LCR and the piezo
// painters, is named in a legend that reads on either background.
TEST(LcrPlot, AFittedModelIsNamedReadably)
{
    app();
    const auto r = sweep();
    for (const bool white : {false, true}) {
        s_lcr_plot_inputs lcr = inputs(*r, white ? bode_background::white : bode_background::black);
        lcr.model = r.get();
        lcr.model_name = "R-L series";
        s_piezo_plot_inputs piezo{r.get(), lcr.freq, {1, 2000}};
        piezo.white_background = white;
        piezo.model = r.get();
        piezo.model_name = "R-L series";
        for (const std::function<QImage()>& render : std::vector<std::function<QImage()>>{
                 [&] { return LcrPlot().render(size, lcr, lcr.surround); },
                 [&] { return PiezoPlot().render(size, piezo); }}) {
            std::vector<s_chart_text> texts;
            chart_record_texts(&texts);
            render();
            chart_record_texts(nullptr);
            EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const s_chart_text& t) {
                return t.text == QStringLiteral("- - - fitted: R-L series");
            }));
            for (const std::string& fault : chart_read_faults(render))
                EXPECT_EQ(fault.find("fitted"), std::string::npos) << fault;
        }
    }
}
