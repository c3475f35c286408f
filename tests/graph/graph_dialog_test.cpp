#include "base/ui_seam.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "graph/dialog/ui/graph_dialog.h"
#include "graph/dialog/ui/graph_overlay.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

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
            EXPECT_EQ(column_count(img, x, plot(), bode_qcolor(m.gain_colour(i))), weight) << i;
            EXPECT_EQ(column_count(img, x, plot(), bode_qcolor(m.phase_colour(i))), weight) << i;
        }
    }
    m.styles[4].gain_visible = false;
    const QImage img = bmp(m);
    EXPECT_EQ(column_count(img, x, plot(), bode_qcolor(m.gain_colour(4))), 0);
    EXPECT_EQ(column_count(img, x, plot(), bode_qcolor(m.phase_colour(4))), 3);

    // Legend cells in slot order: each slot's "Gain " sits in its own cell.
    const int top = plot().bottom + 45;
    for (int i = 0; i < 9; ++i) {
        const QRect cell = graph_legend_cell(plot(), i, top, SIZE.height() - top);
        EXPECT_GT(area_count(img, cell, bode_qcolor(m.phase_colour(i))), 5) << i;
        const QRect next = graph_legend_cell(plot(), (i + 1) % 9, top, SIZE.height() - top);
        EXPECT_EQ(area_count(img, next, bode_qcolor(m.phase_colour(i))), 0) << i;
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
    for (const auto& [b, colour] : cases) {
        m.set_background(b, {10, 80, 40});
        const QImage img = bmp(m);
        const s_plot_rect r = plot();
        EXPECT_EQ(img.pixelColor(r.left + 7, r.top + 7), colour);
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
    d->on_command(GRAPH_CMD_FIND_MARGINS, 0);
    EXPECT_TRUE(d->action(graph_menu_id(32815, 0)));

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
    if (const char* out = std::getenv("GRAPH_SCREENSHOT_DIR")) {
        d->on_command(GRAPH_CMD_FREQ_AUTO, 0);
        d->show();
        QApplication::processEvents();
        d->grab().save(QString("%1/graph_dialog.png").arg(out));
    }
}

} // namespace
