// The piezo graph painter: traces at the computed pixels on both scalings
// and the three tick styles.

#include "graph/ui/chart_parts.h"
#include "lcr/ui/piezo_plot.h"

#include <QApplication>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "piezo_plot_test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

std::unique_ptr<LcrResults> resonator()
{
    auto r = std::make_unique<LcrResults>();
    r->layout = 6;
    r->count = 50;
    for (int i = 0; i < r->count; ++i) {
        LcrPoint& p = r->points[static_cast<size_t>(i)];
        p.v[0] = 8000 + 200 * i;
        p.v[3] = 200 + 1000 * i;
        p.v[4] = -90 + 3 * i;
    }
    return r;
}

const QSize size(1024, 625);

} // namespace

TEST(PiezoPlot, TracesOnEveryScaling)
{
    app();
    const auto r = resonator();
    for (const bool log_f : {true, false})
        for (const bool log_z : {true, false}) {
            s_piezo_plot_inputs in;
            in.results = r.get();
            in.freq = piezo_freq_range(*r, {});
            in.impedance = piezo_impedance_range(*r, {1, 100});
            in.log_frequency = log_f;
            in.log_impedance = log_z;
            const QImage img = PiezoPlot().render(size, in);
            const s_plot_rect plot = piezo_plot_area(size.width(), size.height(), 280);
            const bode_x_mapper x_of(in.freq, plot.width(), log_f);
            // The impedance on its round axis; pure blue stands out from
            // black only in a lighter shade.
            const s_value_range z = piezo_plot_impedance_axis(in, plot.height()).range;
            const QRgb phase = chart_mark({}, QColor::fromRgb(PIEZO_PHASE_TRACE), Qt::black).rgb();
            EXPECT_NE(phase, PIEZO_PHASE_TRACE);
            for (const int i : {10, 30}) {
                const LcrPoint& p = r->points[static_cast<size_t>(i)];
                const int x = plot.left + x_of(p.v[0]);
                EXPECT_EQ(
                    img.pixel(x, plot.bottom - piezo_impedance_y(p.v[3], z, plot.height(), log_z)),
                    PIEZO_IMPEDANCE_TRACE)
                    << log_f << log_z << i;
                EXPECT_EQ(img.pixel(x, plot.bottom - piezo_phase_y(p.v[4], 0, plot.height())),
                          phase);
            }
        }
}

TEST(PiezoPlot, TickStyles)
{
    app();
    const s_plot_rect plot = piezo_plot_area(size.width(), size.height(), 280);
    const QRgb tick = qRgb(128, 128, 128);
    struct row {
        int style;
        bool outside, tenth, across;
    };
    for (const row r :
         {row{0, true, false, false}, row{1, false, true, false}, row{2, false, true, true}}) {
        s_piezo_plot_inputs in;
        in.impedance_ticks = r.style;
        const QImage img = PiezoPlot().render(size, in);
        // A tick of the impedance axis away from its ends.
        const s_impedance_axis axis = piezo_plot_impedance_axis(in, plot.height());
        const double z = axis.ticks[axis.ticks.size() / 2].value;
        const int y = plot.bottom - piezo_impedance_y(z, axis.range, plot.height(), true);
        EXPECT_EQ(img.pixel(plot.left - 3, y) == tick, r.outside) << r.style;
        EXPECT_EQ(img.pixel(plot.left + plot.width() / 20, y) == tick, r.tenth) << r.style;
        EXPECT_EQ(img.pixel(plot.left + plot.width() / 2, y) == tick, r.across) << r.style;
    }
}
