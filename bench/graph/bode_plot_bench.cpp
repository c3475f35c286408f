// Painting the Bode chart at 1024 x 625: one sweep of 3000 points as the
// FRA view draws it, and nine such tests as the graph dialog overlays them.

#include "bench/support/bench_app.h"
#include "graph/ui/bode_plot.h"

#include <QPainter>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// A second-order low-pass measured from 10 Hz to 100 kHz, offset per test.
std::vector<s_bode_point> sweep(int points, double offset_db)
{
    std::vector<s_bode_point> out;
    for (int i = 0; i < points; ++i) {
        const double f = 10 * std::pow(10.0, 4.0 * i / (points - 1));
        const double x = f / 1000;
        out.push_back({f, offset_db - 20 * std::log10(1 + x * x), -2 * std::atan(x) * 57.29578});
    }
    return out;
}

s_bode_inputs inputs(int series)
{
    s_bode_inputs in;
    in.freq = {10, 100000};
    in.gain = {-90, 20};
    for (int s = 0; s < series; ++s) {
        s_bode_series one = bode_fra_series(sweep(3000, s * 2.0));
        one.gain_color = bode_qcolor(bode_color_table[static_cast<size_t>(s)].rgb);
        in.series.push_back(std::move(one));
    }
    return in;
}

void paint(benchmark::State& state, const BodePlot& plot, const s_bode_inputs& in)
{
    bench_app();
    QImage image(1024, 625, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::lightGray);
        QPainter p(&image);
        plot.draw(p, QRect(0, 0, 1024, 625), in);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_FraViewChart3000(benchmark::State& state)
{
    s_bode_inputs in = inputs(1);
    in.show_cursors = true;
    in.cursor[1] = 2999;
    paint(state, BodePlot(bode_style_fra_view(), bode_out_of_range::clamp), in);
}
BENCHMARK(BM_FraViewChart3000)->Unit(benchmark::kMillisecond);

void BM_GraphDialogChart9x3000(benchmark::State& state)
{
    paint(state, BodePlot(bode_style_graph_screen(), bode_out_of_range::clip), inputs(9));
}
BENCHMARK(BM_GraphDialogChart9x3000)->Unit(benchmark::kMillisecond);

} // namespace
