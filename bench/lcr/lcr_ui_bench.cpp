// The LCR window's drawing work: the list filled with a 3000-point
// layout-5 sweep (3000 x 14 cells), and the LCR and piezo graphs of 3000
// points painted at 1024 x 625.

#include "bench/support/bench_app.h"
#include "lcr/ui/lcr_plot.h"
#include "lcr/ui/lcr_window.h"
#include "lcr/ui/piezo_plot.h"

#include <QPainter>
#include <QTreeWidget>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

// A series resonance from 10 Hz to 100 kHz in layout 5 (13 values).
std::unique_ptr<LcrResults> sweep()
{
    auto r = std::make_unique<LcrResults>();
    r->layout = 5;
    r->count = MAX_SWEEP_POINTS;
    for (int i = 0; i < r->count; ++i) {
        const double f = 10 * std::pow(10.0, 4.0 * i / (r->count - 1));
        const double x = f / 1000 - 1000 / f;
        LcrPoint& p = r->points[static_cast<size_t>(i)];
        const double z = std::hypot(50.0, 300 * x);
        p.v[0] = f;
        p.v[1] = 12.5;
        p.v[2] = 0.08;
        p.v[3] = z;
        p.v[4] = std::atan(6 * x) * 57.29578;
        for (int k = 5; k < LCR_VALUES_MAX; ++k)
            p.v[k] = z * k * 1e-3;
    }
    return r;
}

void BM_LcrListFill3000x14(benchmark::State& state)
{
    bench_app();
    const auto r = sweep();
    QTreeWidget list;
    list.resize(986, 278);
    for (auto _ : state) {
        lcr_fill_list(&list, *r);
        benchmark::DoNotOptimize(list.topLevelItemCount());
    }
}
BENCHMARK(BM_LcrListFill3000x14)->Unit(benchmark::kMillisecond);

template <class Plot, class Inputs> void paint(benchmark::State& state, const Inputs& in)
{
    bench_app();
    QImage image(1024, 625, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::lightGray);
        QPainter p(&image);
        Plot().draw(p, QRect(0, 0, 1024, 625), in);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_LcrGraph3000(benchmark::State& state)
{
    const auto r = sweep();
    s_lcr_view_state view;
    lcr_view_new_sweep(view, *r);
    s_lcr_plot_inputs in;
    in.results = r.get();
    in.freq = view.freq;
    in.left = view.left;
    in.right = view.right;
    in.cursor[1] = view.cursor[1];
    in.strip_height = 92;
    paint<LcrPlot>(state, in);
}
BENCHMARK(BM_LcrGraph3000)->Unit(benchmark::kMillisecond);

void BM_PiezoGraph3000(benchmark::State& state)
{
    const auto r = sweep();
    s_piezo_plot_inputs in;
    in.results = r.get();
    in.freq = piezo_freq_range(*r, in.freq);
    in.impedance = piezo_impedance_range(*r, in.impedance);
    in.impedance_ticks = 2;
    in.phase_ticks = 2;
    paint<PiezoPlot>(state, in);
}
BENCHMARK(BM_PiezoGraph3000)->Unit(benchmark::kMillisecond);

} // namespace
