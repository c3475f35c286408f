#include "base/ui_seam.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "graph/ui/chart_file.h"
#include "graph/ui/chart_parts.h"
#include "review/ui/graph_dialog.h"
#include "review/ui/graph_overlay.h"
#include "tests/support/db_damage.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeySequence>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "graph_dialog_test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

const QSize SIZE(1024, 625);

// Flat traces: gain at level dB and phase at level degrees, 10 Hz .. 100 kHz.
std::vector<s_margin_sample> flat(double gain, double phase)
{
    std::vector<s_margin_sample> out;
    for (int i = 0; i <= 40; ++i)
        out.push_back({10 * std::pow(10.0, i / 10.0), gain, phase});
    return out;
}

// A loop through 0 dB at 1 kHz and 0 degrees at 5 kHz.
std::vector<s_margin_sample> loop()
{
    std::vector<s_margin_sample> out;
    for (int i = 0; i <= 40; ++i) {
        const double f = 10 * std::pow(10.0, i / 10.0 + 0.05);
        out.push_back({f, 20 * std::log10(1000 / f), 45 * std::log10(5000 / f)});
    }
    return out;
}

// A table colour as the chart draws it on black: in a shade that stands out.
QColor drawn(s_rgb c)
{
    return chart_mark({}, bode_qcolor(c), Qt::black);
}

class GraphDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        ui_set_backend(&ui);
        ASSERT_TRUE(tmp.isValid());
    }
    void TearDown() override
    {
        graph_dialog::set_range_dialog_hook(nullptr);
        delete graph_dialog::current();
        db_close();
        ui_set_backend(nullptr);
    }

    // Renders as for a file, writes the BMP and reads it back.
    QImage bmp(const graph_model& m)
    {
        const QString file = tmp.filePath("chart.bmp");
        EXPECT_EQ(bode_save_bmp(graph_render(m, SIZE, true), file), 0);
        return QImage(file).convertToFormat(QImage::Format_RGB32);
    }
    s_plot_rect plot() const
    {
        return graph_plot_rect(QRect(QPoint(0, 0), SIZE), bode_style_graph_file());
    }
    int x_of(const graph_model& m, double f) const
    {
        return plot().left + bode_x_of(f, m.freq, plot().width(), m.log_scaling);
    }
    // Pixels of colour c in column x inside the plot.
    static int column_count(const QImage& img, int x, const s_plot_rect& r, QColor c)
    {
        int n = 0;
        for (int y = r.top + 1; y < r.bottom; ++y)
            n += img.pixelColor(x, y) == c;
        return n;
    }
    static int area_count(const QImage& img, const QRect& area, QColor c)
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += img.pixelColor(x, y) == c;
        return n;
    }

    scripted_ui ui;
    QTemporaryDir tmp;
};

TEST_F(GraphDialog, NineTracesInTheirColoursAndWeightsAndAHiddenTraceIsAbsent)
{
    graph_model m;
    for (int i = 0; i < 9; ++i)
        m.add("t" + std::to_string(i), flat(-35 + 8 * i, -170 + 37 * i));
    m.auto_freq_range();
    m.gain = {-40, 40};
    m.gain_cursor_shown = m.phase_cursor_shown = false;
    const int x = x_of(m, 1000);
    for (const int weight : {2, 1, 3}) {
        for (PlotStyle& s : m.styles)
            s.gain_weight = s.phase_weight = weight;
        const QImage img = bmp(m);
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(column_count(img, x, plot(), drawn(m.gain_colour(i))), weight) << i;
            EXPECT_EQ(column_count(img, x, plot(), drawn(m.phase_colour(i))), weight) << i;
        }
    }
    m.styles[4].gain_visible = false;
    const QImage img = bmp(m);
    EXPECT_EQ(column_count(img, x, plot(), drawn(m.gain_colour(4))), 0);
    EXPECT_EQ(column_count(img, x, plot(), drawn(m.phase_colour(4))), 3);

    // Legend cells in slot order: each slot's "Gain " sits in its own cell.
    const int top = plot().bottom + 45;
    for (int i = 0; i < 9; ++i) {
        const QRect cell = graph_legend_cell(plot(), i, top, SIZE.height() - top);
        EXPECT_GT(area_count(img, cell, drawn(m.phase_colour(i))), 5) << i;
        const QRect next = graph_legend_cell(plot(), (i + 1) % 9, top, SIZE.height() - top);
        EXPECT_EQ(area_count(img, next, drawn(m.phase_colour(i))), 0) << i;
    }
}

TEST_F(GraphDialog, MarkersDashedCursorAndClippingAtEdgesAndFilter)
{
    graph_model m;
    m.add("loop", loop());
    m.auto_freq_range();
    m.gain = {-40, 40};
    m.find_margins();
    ASSERT_EQ(m.plots[0].zero_db.size(), 1);
    const s_gain_phase_point c = *m.plots[0].zero_db.head->element;
    const auto list = m.gain_cursor_list();
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].crossing)
            m.gain_cursor = int(i);
    m.phase_cursor_shown = false;
    QImage img = bmp(m);
    const s_plot_rect r = plot();
    const int cx = x_of(m, c.frequency);
    const int y0 = r.bottom - int(std::lround(bode_y_of_gain(0, m.gain, r.height())));
    const QColor white(Qt::white);
    EXPECT_EQ(area_count(img, QRect(cx - 2, y0 - 2, 5, 5), white), 25) << "the 0 dB square";
    // The dashed path runs from the left edge at 0 dB: on and off along it.
    const int on = area_count(img, QRect(r.left + 1, y0, cx - r.left - 10, 1), white);
    EXPECT_GT(on, (cx - r.left) / 4);
    EXPECT_LT(on, (cx - r.left) * 3 / 4);

    // A narrow manual range: nothing of the trace outside the plot.
    ASSERT_TRUE(m.apply_freq_range("300", "3000"));
    m.gain_cursor_shown = false;
    img = bmp(m);
    const QColor gain = bode_qcolor(m.gain_colour(0));
    EXPECT_GT(column_count(img, r.right - 2, r, gain), 0) << "cut at the right edge";
    EXPECT_GT(column_count(img, (r.left + r.right) / 2, r, gain), 0);
    EXPECT_EQ(area_count(img, QRect(r.left - 3, r.top, 3, r.height()), gain), 0);
    EXPECT_EQ(area_count(img, QRect(r.right + 2, r.top, 3, r.height()), gain), 0);

    // The noise filter: only between the main crossings.
    m.auto_freq_range();
    m.filter_noise();
    ASSERT_FALSE(m.styles[0].whole_range);
    img = bmp(m);
    const int start = x_of(m, m.styles[0].filter_start);
    const int end = x_of(m, m.styles[0].filter_end);
    EXPECT_GT(column_count(img, (start + end) / 2, r, gain), 0);
    EXPECT_EQ(
        area_count(img, QRect(r.left + 1, r.top + 1, start - r.left - 3, r.height() - 2), gain), 0);
    EXPECT_EQ(area_count(img, QRect(end + 3, r.top + 1, r.right - end - 4, r.height() - 2), gain),
              0);
}

TEST_F(GraphDialog, BackgroundsFillThePlot)
{
    graph_model m;
    m.add("flat", flat(-30, -150));
    m.auto_freq_range();
    const std::pair<bode_background, QColor> cases[] = {
        {bode_background::black, Qt::black},
        {bode_background::white, Qt::white},
        {bode_background::custom, QColor(10, 80, 40)}};
    for (const graph_view view : {graph_view::bode, graph_view::nyquist, graph_view::nichols}) {
        m.view = view;
        for (const auto& [b, colour] : cases) {
            m.set_background(b, {10, 80, 40});
            const QImage img = bmp(m);
            const s_plot_rect r = plot();
            EXPECT_EQ(img.pixelColor(r.left + 3, r.bottom - 3), colour) << int(view);
        }
    }
}

TEST_F(GraphDialog, LegendMarkerSymbolsFollowTheMarkerSwitches)
{
    // A custom marker colour per kind, found nowhere else on the chart.
    const QColor square_colour(1, 200, 3), diamond_colour(3, 1, 200);
    struct row {
        bool gain, phase;
        int squares, diamonds; // symbols expected in the cell
    };
    const row rows[] = {
        {false, false, 0, 0}, {true, false, 1, 0}, {false, true, 0, 1}, {true, true, 1, 1}};
    for (const row& r : rows) {
        graph_model m;
        m.add("a", flat(-30, -150));
        m.add("b", flat(-20, -140));
        m.auto_freq_range();
        for (PlotStyle& s : m.styles) {
            s.gain_marker_colour = s.phase_marker_colour = GRAPH_MARKER_CUSTOM;
            s.custom_gain_marker = {1, 200, 3};
            s.custom_phase_marker = {3, 1, 200};
        }
        m.gain_cursor_shown = m.phase_cursor_shown = false; // cursors wear marker colours
        m.styles[1].gain_markers = r.gain;                  // only the second test's cell
        m.styles[1].phase_markers = r.phase;
        const QImage img = bmp(m);
        const int top = plot().bottom + 45;
        const QRect cell = graph_legend_cell(plot(), 1, top, SIZE.height() - top);
        EXPECT_EQ(
            area_count(img, graph_legend_cell(plot(), 0, top, SIZE.height() - top), square_colour) +
                area_count(img, QRect(QPoint(0, 0), QSize(SIZE.width(), top)), square_colour),
            0);
        // The square: a full 8 x 8 block. The diamond: about half of its
        // 10 x 10 box, widest in its middle row, and below the square.
        EXPECT_EQ(area_count(img, cell, square_colour), 64 * r.squares);
        const int diamond = area_count(img, cell, diamond_colour);
        EXPECT_EQ(diamond > 0, r.diamonds > 0);
        if (!r.diamonds)
            continue;
        EXPECT_GT(diamond, 35);
        EXPECT_LT(diamond, 65);
        QRect box;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (img.pixelColor(x, y) == diamond_colour)
                    box |= QRect(x, y, 1, 1);
        EXPECT_GE(box.width(), 9);
        EXPECT_LE(box.width(), 11);
        EXPECT_GE(box.height(), 9);
        EXPECT_LE(box.height(), 11);
        const auto row_width = [&](int y) {
            return area_count(img, QRect(box.left(), y, box.width(), 1), diamond_colour);
        };
        EXPECT_GT(row_width(box.center().y()), row_width(box.top()) + 4);
        EXPECT_LE(box.left(), cell.left() + 10) << "before the word";
        if (r.squares) {
            QRect square;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x <= cell.right(); ++x)
                    if (img.pixelColor(x, y) == square_colour)
                        square |= QRect(x, y, 1, 1);
            EXPECT_EQ(square.size(), QSize(8, 8));
            EXPECT_LT(square.bottom(), box.top()) << "Gain above Phase";
        }
    }
}

// The stability views: critical point, its unit circle or lines, and a
// trace pixel where the geometry puts it, for a loop through 0 dB at 1 kHz
// and 0 degrees at 5 kHz.
TEST_F(GraphDialog, NyquistAndNicholsChartsDrawTheCriticalPointAndTheLoop)
{
    for (const graph_view view : {graph_view::nyquist, graph_view::nichols}) {
        graph_model m;
        m.add("loop", loop());
        m.auto_freq_range();
        m.find_margins();
        m.view = view;
        m.styles[0].gain_markers = true;
        m.styles[0].gain_marker_colour = GRAPH_MARKER_CUSTOM;
        m.styles[0].custom_gain_marker = {1, 200, 3};
        const QImage img = bmp(m);
        const s_stability_inputs in = graph_stability_inputs(m);
        const StabilityPlot chart(in, plot());
        const auto near = [&](QPointF at, QColor c, int r) {
            return area_count(img, QRect(int(at.x()) - r, int(at.y()) - r, 2 * r + 1, 2 * r + 1),
                              c);
        };
        const stability_view sv = in.view;
        const QPointF critical = chart.to_pixel(stability_critical_point(sv));
        ASSERT_TRUE(chart.inside(critical));
        EXPECT_EQ(near(critical, Qt::white, 1), 9) << "the critical point";
        if (sv == stability_view::nyquist) {
            for (double deg : {100.0, 200.0, 300.0}) // the unit circle, away from the loop
                EXPECT_GT(
                    near(chart.to_pixel({std::cos(deg * M_PI / 180), std::sin(deg * M_PI / 180)}),
                         Qt::white, 1),
                    0)
                    << deg;
        } else {
            EXPECT_GE(near({critical.x(), plot().top + 30.0}, Qt::white, 1), 3) << "-180 line";
            EXPECT_GE(near({plot().left + 30.0, critical.y()}, Qt::white, 1), 3) << "0 dB line";
        }
        const QColor trace = bode_qcolor(m.gain_colour(0));
        int tried = 0, hits = 0;
        const auto points = loop();
        for (size_t i = 5; i < points.size(); i += 7) {
            const s_xy at = sv == stability_view::nyquist
                                ? nyquist_point(points[i].gain, points[i].phase)
                                : nichols_point(points[i].gain, points[i].phase);
            const QPointF px = chart.to_pixel(at);
            if (chart.inside(px) && std::hypot(px.x() - critical.x(), px.y() - critical.y()) > 8) {
                ++tried;
                hits += near(px, trace, 1) > 0;
            }
        }
        EXPECT_GE(hits, 2);
        EXPECT_GE(hits, tried - 1) << "a crossing line may cover one";
        // The phase-margin square on the unit circle or the 0 dB line.
        const QPointF pm =
            chart.to_pixel(stability_zero_db_mark(m.plots[0].zero_db.head->element->phase, sv));
        EXPECT_EQ(near(pm, QColor(1, 200, 3), 3), 49) << "square around the 0 dB crossing";
    }
}

// Files: PNG reads back as the bitmap; SVG is drawn by the same code, one
// path per trace; the bitmap is the one the chart always gave.
TEST_F(GraphDialog, ChartFilesInEveryFormatAndViewFromOnePainter)
{
    graph_model m;
    for (int i = 0; i < 9; ++i) {
        auto points = loop();
        for (s_margin_sample& p : points)
            p.gain -= 2 * i;
        m.add("t" + std::to_string(i), points);
    }
    m.auto_freq_range();
    m.auto_gain_range();
    const chart_painter paint = [&m](QPainter& p, const QRect& r) { graph_paint(p, r, m, true); };
    for (const graph_view view : {graph_view::bode, graph_view::nyquist, graph_view::nichols}) {
        m.view = view;
        const QString b = tmp.filePath("c.bmp"), png = tmp.filePath("c.png");
        const QString svg = tmp.filePath("c.svg");
        ASSERT_EQ(chart_save(paint, SIZE, b, chart_format::bmp), 0);
        ASSERT_EQ(chart_save(paint, SIZE, png, chart_format::png), 0);
        ASSERT_EQ(chart_save(paint, SIZE, svg, chart_format::svg), 0);
        const QImage from_png = QImage(png).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(from_png, QImage(b).convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(from_png.size(), SIZE);

        QFile file(svg);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        std::vector<QString> strokes; // the stroke in force at each depth
        std::map<QString, int> paths;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement) {
                const QString stroke = xml.attributes().value("stroke").toString();
                strokes.push_back(stroke.isEmpty() && !strokes.empty() ? strokes.back() : stroke);
                if (xml.name() == u"path" || xml.name() == u"polyline")
                    ++paths[strokes.back()];
            } else if (xml.isEndElement()) {
                strokes.pop_back();
            }
        }
        ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        for (int i = 0; i < 9; ++i) {
            const QString gain = drawn(m.gain_colour(i)).name();
            const QString phase = drawn(m.phase_colour(i)).name();
            EXPECT_EQ(paths[gain], 1) << int(view) << " test " << i;
            EXPECT_EQ(paths[phase], view == graph_view::bode ? 1 : 0) << int(view) << " " << i;
        }
    }
    if (const char* out = std::getenv("GRAPH_SCREENSHOT_DIR")) {
        for (PlotStyle& s : m.styles)
            s.gain_markers = s.phase_markers = true;
        m.find_margins();
        for (const graph_view view : {graph_view::nyquist, graph_view::nichols}) {
            m.view = view;
            graph_render(m, SIZE, false).save(QString("%1/view_%2.png").arg(out).arg(int(view)));
        }
    }
    // The Bode bitmap byte for byte as the chart and its overlay were always
    // written: BodePlot's own render, then the overlay over it.
    m.view = graph_view::bode;
    const s_bode_style style = bode_style_graph_file();
    const s_bode_inputs in = graph_inputs(m);
    QImage old =
        BodePlot(style, bode_out_of_range::clip).render(SIZE, in, bode_background_color(in));
    {
        QPainter p(&old);
        graph_draw_overlay(p, old.rect(), style, m, true);
    }
    const QString a = tmp.filePath("old.bmp"), b = tmp.filePath("new.bmp");
    ASSERT_EQ(bode_save_bmp(old, a), 0);
    ASSERT_EQ(chart_save(paint, SIZE, b, chart_format::bmp), 0);
    QFile fa(a), fb(b);
    ASSERT_TRUE(fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fa.readAll() == fb.readAll());
}

TEST(ChartFile, FormatFollowsTheSuffixElseTheFilter)
{
    app();
    struct row {
        const char* path;
        int filter;
        chart_format format;
        const char* written;
    };
    const row rows[] = {
        {"/a/chart.bmp", 2, chart_format::bmp, "/a/chart.bmp"},
        {"/a/chart.PNG", 0, chart_format::png, "/a/chart.PNG"},
        {"/a/chart.svg", 0, chart_format::svg, "/a/chart.svg"},
        {"/a/chart", 1, chart_format::png, "/a/chart.png"},
        {"/a/chart", 2, chart_format::svg, "/a/chart.svg"},
        {"/a/chart.v2", 0, chart_format::bmp, "/a/chart.v2.bmp"},
        {"/a/chart", -1, chart_format::bmp, "/a/chart.bmp"},
    };
    for (const row& r : rows) {
        const chart_format f = chart_format_of(r.path, r.filter);
        EXPECT_EQ(f, r.format) << r.path;
        EXPECT_EQ(chart_file_path(r.path, f), r.written);
    }
    const chart_painter nothing = [](QPainter&, const QRect&) {};
    for (chart_format f : {chart_format::bmp, chart_format::png, chart_format::svg}) {
        EXPECT_EQ(chart_save(nothing, QSize(10, 10), "/nonexistent/dir/c", f), -1) << int(f);
        EXPECT_EQ(chart_save(nothing, QSize(0, 10), "/tmp/never", f), -1) << int(f);
    }
}

TEST_F(GraphDialog, WindowIsSingleWithMenusChecksAndARangeDialogThatRestores)
{
    const std::string file = tmp.filePath("g.db").toStdString();
    bool is_new = false;
    ASSERT_TRUE(db_open(file, DB_OPEN_OR_CREATE, &is_new));
    s_session session;
    session.Name = "s";
    ASSERT_EQ(db_save_session(session, false), 0);
    for (const char* name : {"first test name long enough", "b"}) {
        s_test test;
        test.SessionNo = 1;
        test.Name = name;
        for (const s_margin_sample& p : loop()) {
            const s_test_point tp{p.frequency, p.gain, p.phase};
            test_add_point(test, &tp);
        }
        ASSERT_TRUE(db_store_test(test));
    }
    graph_dialog_open(nullptr, {1, 2});
    graph_dialog* first = graph_dialog::current();
    ASSERT_TRUE(first);
    graph_dialog_open(nullptr, {2, 1});
    graph_dialog* d = graph_dialog::current();
    EXPECT_EQ(d->objectName(), "QXTarvelo2GraphDialogClass");
    EXPECT_EQ(d->minimumSize(), QSize(1008, 500));
    EXPECT_EQ(d->selected_plot()->count(), 2);
    EXPECT_EQ(d->selected_plot()->itemText(1), "f. name long enough");
    EXPECT_TRUE(d->action(GRAPH_CMD_BLACK)->isChecked());
    d->on_command(GRAPH_CMD_WHITE, 0);
    EXPECT_TRUE(d->action(GRAPH_CMD_WHITE)->isChecked());
    EXPECT_FALSE(d->action(GRAPH_CMD_BLACK)->isChecked());
    d->on_command(graph_menu_id(32808, 1), 0); // slot 1 gain Thick
    EXPECT_EQ(d->model().styles[1].gain_weight, 3);
    EXPECT_TRUE(d->action(graph_menu_id(32808, 1))->isChecked());
    EXPECT_FALSE(d->action(graph_menu_id(32807, 1))->isChecked());
    EXPECT_FALSE(d->action(graph_menu_id(32815, 0))) << "no margin menu before a search";
    // Ctrl+G searches the margins first and puts the gain cursor on the crossover.
    EXPECT_EQ(d->action(GRAPH_CMD_GO_GAIN_CROSSOVER)->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+G")));
    d->action(GRAPH_CMD_GO_GAIN_CROSSOVER)->trigger();
    EXPECT_TRUE(d->action(graph_menu_id(32815, 0)));
    const auto gains = d->model().gain_cursor_list();
    ASSERT_LT(size_t(d->model().gain_cursor), gains.size());
    EXPECT_TRUE(gains[size_t(d->model().gain_cursor)].crossing);

    // Preview applies; Cancel restores what the dialog found.
    const s_gain_range before = d->model().gain;
    graph_dialog::set_range_dialog_hook([](graph_range_dialog& r) {
        r.min_field()->setText("-7");
        r.max_field()->setText("9");
        r.press_preview();
        EXPECT_EQ(graph_dialog::current()->model().gain.gmin, -7);
        if (const char* out = std::getenv("GRAPH_SCREENSHOT_DIR")) {
            r.show();
            QApplication::processEvents();
            r.grab().save(QString("%1/range_dialog.png").arg(out));
        }
        r.reject();
    });
    d->on_command(GRAPH_CMD_GAIN_MANUAL, 0);
    EXPECT_EQ(d->model().gain.gmin, before.gmin);
    EXPECT_EQ(d->model().gain.gmax, before.gmax);
    graph_dialog::set_range_dialog_hook([](graph_range_dialog& r) {
        r.min_field()->setText("100");
        r.max_field()->setText("100.0005");
        r.press_ok();
        EXPECT_EQ(r.max_field()->text(), "100.001000");
    });
    d->on_command(GRAPH_CMD_FREQ_MANUAL, 0);
    EXPECT_NEAR(d->model().freq.fmax, 100.001, 1e-9);
    EXPECT_TRUE(d->action(GRAPH_CMD_FREQ_MANUAL)->isChecked());

    // The View menu: one chart at a time; the Bode-only items grey out.
    const std::pair<int, const char*> views[] = {{GRAPH_CMD_VIEW_NYQUIST, "Nyquist"},
                                                 {GRAPH_CMD_VIEW_NICHOLS, "Nichols"},
                                                 {GRAPH_CMD_VIEW_BODE, "Bode"}};
    EXPECT_TRUE(d->action(GRAPH_CMD_VIEW_BODE)->isChecked());
    for (const auto& [id, text] : views) {
        d->on_command(id, 0);
        const bool bode = id == GRAPH_CMD_VIEW_BODE;
        EXPECT_EQ(d->action(id)->text(), text);
        for (const auto& [other, unused] : views)
            EXPECT_EQ(d->action(other)->isChecked(), other == id) << text;
        for (int bode_only :
             {GRAPH_CMD_LOG, GRAPH_CMD_GAIN_MANUAL, GRAPH_CMD_FREQ_AUTO, GRAPH_CMD_GAIN_CURSOR})
            EXPECT_EQ(d->action(bode_only)->isEnabled(), bode) << text;
        EXPECT_TRUE(d->action(GRAPH_CMD_WHITE)->isEnabled());
        EXPECT_EQ(d->cursor_bar(0)->isEnabled(), bode);
    }
    // Save to Bitmap takes the chosen filter's format for a bare name.
    d->on_command(GRAPH_CMD_VIEW_NICHOLS, 0);
    ui.push_file(tmp.filePath("dialog").toStdString(), 2);
    d->on_command(GRAPH_CMD_SAVE_BMP, 0);
    QFile saved(tmp.filePath("dialog.svg"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("<svg"));
    d->on_command(GRAPH_CMD_VIEW_BODE, 0);
    if (const char* out = std::getenv("GRAPH_SCREENSHOT_DIR")) {
        d->on_command(GRAPH_CMD_FREQ_AUTO, 0);
        d->show();
        QApplication::processEvents();
        d->grab().save(QString("%1/graph_dialog.png").arg(out));
    }
}

} // namespace

// A stored test on a damaged page: the database error box says so, the graph
// that was open is closed (opening closes it first) and no graph of an empty
// test opens in its place.
TEST_F(GraphDialog, ATestThatCannotBeReadOpensNoGraph)
{
    const struct {
        const char* table;
        const char* text;
    } cases[] = {
        {"Data", "Corrupt Database\nError Code: 11"},
        {"Test", "database disk image is malformed"},
    };
    for (const auto& c : cases) {
        const std::string file = tmp.filePath(c.table).toStdString();
        bool is_new = false;
        ASSERT_TRUE(db_open(file, DB_OPEN_OR_CREATE, &is_new));
        s_session session;
        session.Name = "s";
        ASSERT_EQ(db_save_session(session, false), 0);
        s_test test;
        test.SessionNo = session.SessionNo;
        test.Name = "t";
        for (const s_margin_sample& p : loop()) {
            const s_test_point tp{p.frequency, p.gain, p.phase};
            test_add_point(test, &tp);
        }
        ASSERT_TRUE(db_store_test(test));
        graph_dialog_open(nullptr, {1});
        ASSERT_TRUE(graph_dialog::current());
        db_close();
        ASSERT_TRUE(db_damage_table(file, c.table));
        ASSERT_TRUE(db_open(file, DB_OPEN_EXISTING));
        ui.clear();
        graph_dialog_open(nullptr, {1});
        EXPECT_FALSE(graph_dialog::current()) << c.table;
        ASSERT_EQ(ui.shown().size(), 1u) << c.table;
        EXPECT_EQ(ui.shown()[0].caption, "Database Error");
        EXPECT_EQ(ui.shown()[0].text, c.text);
        db_close();
    }
}
