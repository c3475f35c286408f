// Every chart can be read: the FRA view's chart, the LCR and piezo graphs
// and the graph dialog's Bode, Nyquist, Nichols and Difference views (as on
// screen and as saved to a file or the clipboard), on each background the
// chart offers, at its smallest and at a large size: its texts, its round
// scales, its lines against the background and its legend names
// (tests/support/chart_read.h). With
// CHART_SCREENSHOT_DIR set, each chart on black at its smallest size is
// saved there as a PNG file for a person to look at.

#include "fra/margins.h"
#include "graph/ui/bode_plot.h"
#include "lcr/piezo_view.h"
#include "lcr/ui/lcr_plot.h"
#include "lcr/ui/piezo_plot.h"
#include "review/assessment_view.h"
#include "review/graph_compare.h"
#include "review/ui/assessment_results.h"
#include "review/ui/assessment_terminals.h"
#include "review/ui/difference_view.h"
#include "review/ui/graph_overlay.h"
#include "tests/support/chart_read.h"
#include "tests/support/qt_test_app.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct s_background {
    const char* name;
    bode_background kind;
    s_rgb custom;
};

const s_background BACKGROUNDS[] = {
    {"black", bode_background::black, {}},
    {"white", bode_background::white, {}},
    {"dark custom", bode_background::custom, {30, 40, 90}},
    {"light custom", bode_background::custom, {235, 225, 170}},
};

// The smallest each window allows its chart, and a full-HD one.
struct s_sizes {
    QSize smallest;
    QSize large{1920, 1080};
};

// A loop that crosses 0 dB and 0 degrees inside 20 Hz .. 1 MHz, lifted by
// `lift` dB.
std::vector<s_margin_sample> loop(double lift)
{
    std::vector<s_margin_sample> out;
    for (int i = 0; i <= 50; ++i) {
        const double f = 20 * std::pow(10.0, i / 10.5);
        out.push_back({f, lift + 20 * std::log10(1000 / f), 45 * std::log10(5000 / f)});
    }
    return out;
}

graph_model three_tests(const s_background& b, graph_view view)
{
    graph_model m;
    // Names alike at both ends, one too long for its legend cell.
    m.add("Reference winding of transformer 7", loop(0));
    m.add("Loop A", loop(0.3));
    m.add("Loop B", loop(-0.2));
    m.auto_freq_range();
    m.set_background(b.kind, b.custom);
    m.view = view;
    return m;
}

std::unique_ptr<LcrResults> large_impedance()
{
    auto r = std::make_unique<LcrResults>();
    r->layout = 6;
    r->count = 31;
    for (int i = 0; i < r->count; ++i) {
        LcrPoint& p = r->points[static_cast<size_t>(i)];
        p.v[0] = 100 * std::pow(10.0, i / 10.0);
        p.v[3] = 3342255.0 * std::pow(10.0, -i / 15.0);
        p.v[4] = 212774100000.0 / (1 + i);
    }
    return r;
}

struct s_chart {
    std::string name;
    s_sizes sizes;
    bool custom_backgrounds; // the chart offers the user's own colour
    std::function<QImage(const s_background&, QSize)> render;
};

// The assessment window's charts: the overlay and Difference of one
// comparison, and the drawing of every step's connections (of a two- and a
// three-winding unit), each at the window's smallest size.
void add_assessment_charts(std::vector<s_chart>& out)
{
    s_compared_curves curves;
    curves.reference_name = "Fingerprint";
    curves.test_name = "Unit";
    curves.difference_lead = "Difference from the fingerprint:";
    for (const double f : {1e3, 3e3, 1e4, 3e4, 1e5, 3e5, 6e5, 8e5, 1e6}) {
        curves.reference.push_back({f, -20 * std::log10(f / 1e3)});
        curves.test.push_back({f, -20 * std::log10(f / 1e3) + std::sin(f / 1e5)});
    }
    out.push_back({"assessment overlay",
                   {QSize(ASSESSMENT_CHART_WIDTH, ASSESSMENT_CHART_HEIGHT)},
                   false,
                   [curves](const s_background& b, QSize s) {
                       graph_model m;
                       assessment_chart_model(m, curves);
                       m.set_background(b.kind);
                       return graph_render(m, s, false);
                   }});
    out.push_back({"assessment Difference",
                   {QSize(ASSESSMENT_CHART_WIDTH, ASSESSMENT_CHART_HEIGHT)},
                   false,
                   [curves](const s_background& b, QSize s) {
                       graph_model m;
                       assessment_chart_model(m, curves);
                       m.set_background(b.kind);
                       QImage image(s, QImage::Format_RGB32);
                       QPainter p(&image);
                       graph_paint_difference(p, image.rect(), m, graph_compare_with_reference(m),
                                              false, curves.difference_lead);
                       return image;
                   }});
    for (const char* group : {"Dyn11", "YNyn0d11"}) {
        std::string error;
        const s_transformer unit = *transformer_parse(group, error);
        const QSize smallest(TERMINALS_MIN_WIDTH,
                             TERMINALS_ROW_HEIGHT * static_cast<int>(unit.windings.size()));
        for (const s_plan_step& step : assessment_plan(unit))
            out.push_back({std::string("assessment drawing ") + group + " " + step.name,
                           {smallest},
                           false,
                           [unit, step](const s_background&, QSize s) {
                               return assessment_render_terminals(unit, step, s);
                           }});
    }
}

std::vector<s_chart> charts(const LcrResults& lcr)
{
    std::vector<s_chart> out;
    out.push_back({"FRA view", {QSize(800, 460)}, false, [](const s_background& b, QSize size) {
                       s_bode_inputs in;
                       in.freq = {10, 1e5};
                       in.gain = {-80, 80};
                       in.background = b.kind;
                       std::vector<s_bode_point> pts;
                       for (const s_margin_sample& s : loop(0))
                           pts.push_back({s.frequency, s.gain, s.phase});
                       in.series.push_back(bode_fra_series(pts));
                       in.show_cursors = true;
                       in.cursor[1] = 40;
                       return BodePlot(bode_style_fra_view(), bode_out_of_range::clamp)
                           .render(size, in, in.surround);
                   }});
    // Linear, then magnitudes on log axes: the left one, both.
    for (const int logs : {0, 1, 2})
        out.push_back({"LCR graph, log axes " + std::to_string(logs),
                       {QSize(800, 460)},
                       false,
                       [&lcr, logs](const s_background& b, QSize size) {
                           s_lcr_plot_inputs in;
                           in.results = &lcr;
                           in.right_title = "R (ohms)";
                           in.freq = lcr_freq_range(lcr, {});
                           in.left = lcr_value_range(lcr, 3, in.freq, {}, logs > 0);
                           in.right = lcr_value_range(lcr, 4, in.freq, {}, logs > 1);
                           in.background = b.kind;
                           in.cursor[1] = 20;
                           in.strip_height = 40;
                           return LcrPlot().render(size, in, in.surround);
                       }});
    for (const bool log : {true, false})
        out.push_back({log ? "piezo graph" : "piezo graph, linear impedance",
                       {QSize(1000, 560)},
                       false,
                       [&lcr, log](const s_background& b, QSize size) {
                           s_piezo_plot_inputs in;
                           in.results = &lcr;
                           in.freq = piezo_freq_range(lcr, {});
                           in.impedance = piezo_impedance_range(lcr, {1, 100});
                           in.log_impedance = log;
                           in.white_background = b.kind == bode_background::white;
                           return PiezoPlot().render(size, in);
                       }});
    const std::pair<const char*, graph_view> views[] = {{"Bode", graph_view::bode},
                                                        {"Nyquist", graph_view::nyquist},
                                                        {"Nichols", graph_view::nichols}};
    for (const bool file : {false, true}) {
        const std::string as = file ? " (file, clipboard)" : " (screen)";
        for (const auto& [name, chosen] : views)
            out.push_back({std::string("graph dialog ") + name + as,
                           {QSize(1008, 480)},
                           true,
                           [view = chosen, file](const s_background& b, QSize size) {
                               return graph_render(three_tests(b, view), size, file);
                           }});
        out.push_back({"graph dialog Difference" + as,
                       {QSize(1008, 480)},
                       true,
                       [file](const s_background& b, QSize size) {
                           const graph_model m = three_tests(b, graph_view::bode);
                           return graph_render_difference(m, graph_compare_with_reference(m), size,
                                                          file);
                       }});
    }
    add_assessment_charts(out);
    return out;
}

} // namespace

TEST(ChartRead, EveryTextOfEveryChartCanBeRead)
{
    ensure_qt_app();
    const auto lcr = large_impedance();
    std::string all;
    int checked = 0;
    for (const s_chart& c : charts(*lcr))
        for (const s_background& b : BACKGROUNDS) {
            if (b.kind == bode_background::custom && !c.custom_backgrounds)
                continue;
            for (const QSize size : {c.sizes.smallest, c.sizes.large}) {
                ++checked;
                const char* shots = std::getenv("CHART_SCREENSHOT_DIR");
                if (shots && b.kind == bode_background::black && size == c.sizes.smallest)
                    c.render(b, size).save(QString("%1/%2.png").arg(shots, c.name.c_str()));
                for (const std::string& f : chart_read_faults([&] { return c.render(b, size); }))
                    all += "\n  " + c.name + ", " + b.name + ", " + std::to_string(size.width()) +
                           "x" + std::to_string(size.height()) + ": " + f;
            }
        }
    EXPECT_GT(checked, 44);
    EXPECT_TRUE(all.empty()) << all;
}
