// The graph dialog's winding comparison: the menu items, the comparison box
// and its CSV export, and the Difference view's pixels.
#include "base/ui_seam.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/ui/export_tests_dialog.h"
#include "review/ui/compare_box.h"
#include "review/ui/graph_dialog.h"
#include "review/ui/graph_overlay.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

QApplication& app()
{
    static int argc = 1;
    static char name[] = "compare_dialog_test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

// A resonance at fl over 1 kHz .. 1 MHz, lifted by offset dB.
void store(const char* name, double fl, double offset)
{
    s_test test;
    test.SessionNo = 1;
    test.Name = name;
    for (int i = 0; i < 300; ++i) {
        const double f = 1e3 * std::pow(1e3, i / 299.0);
        const double u = f / fl;
        const s_test_point p{f, offset - 10 * std::log10((1 - u * u) * (1 - u * u) + u * u / 64),
                             0};
        test_add_point(test, &p);
    }
    ASSERT_TRUE(db_store_test(test));
}

class CompareDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        ui_set_backend(&ui);
        ASSERT_TRUE(tmp.isValid());
        bool is_new = false;
        ASSERT_TRUE(db_open(tmp.filePath("c.db").toStdString(), DB_OPEN_OR_CREATE, &is_new));
        s_session session;
        session.Name = "Plant";
        ASSERT_EQ(db_save_session(session, false), 0);
        store("New", 20e3, 0);
        store("Lifted", 20e3, 1.5);
        store("Moved", 26e3, 0);
    }
    void TearDown() override
    {
        delete graph_dialog::current();
        db_close();
        ui_set_backend(nullptr);
    }
    scripted_ui ui;
    QTemporaryDir tmp;
};

} // namespace

TEST_F(CompareDialog, MenuNeedsTwoTestsAndTheBoxListsEachTestAgainstTheFirst)
{
    graph_dialog_open(nullptr, {2});
    EXPECT_FALSE(graph_dialog::current()->action(GRAPH_CMD_COMPARE)->isEnabled());
    EXPECT_FALSE(graph_dialog::current()->action(GRAPH_CMD_DIFFERENCE_VIEW)->isEnabled());
    graph_dialog_open(nullptr, {1, 2, 3});
    graph_dialog* d = graph_dialog::current();
    QAction* compare = d->action(GRAPH_CMD_COMPARE);
    EXPECT_TRUE(compare->isEnabled());
    EXPECT_EQ(compare->text(), QString::fromUtf8("Compare with Reference\u2026"));
    compare->trigger();
    graph_compare_box* box = d->compare_box();
    ASSERT_TRUE(box);
    const QTableWidget* t = box->table();
    ASSERT_EQ(t->rowCount(), 2);
    ASSERT_EQ(t->columnCount(), 7);
    const struct {
        int row, column;
        const char* text;
    } cells[] = {
        {0, 0, "Lifted"}, {0, 1, "10.00"}, {0, 3, "10.00"}, {0, 4, "Normal winding (indicative)"},
        {0, 5, "1.0000"}, {0, 6, "1.500"}, {1, 0, "Moved"}, {1, 2, "5.39"}};
    for (const auto& c : cells)
        EXPECT_EQ(t->item(c.row, c.column)->text(), c.text) << c.row << "," << c.column;
    EXPECT_EQ(t->horizontalHeaderItem(6)->text(), "Mean abs difference (dB)");
    EXPECT_NE(t->item(1, 4)->text(), "Normal winding (indicative)");
    EXPECT_TRUE(t->item(1, 4)->text().endsWith("(indicative)"));
    compare->trigger(); // a second press replaces the box
    EXPECT_NE(d->compare_box(), nullptr);
    if (const char* out = std::getenv("GRAPH_SCREENSHOT_DIR")) {
        d->compare_box()->show();
        QApplication::processEvents();
        d->compare_box()->grab().save(QString("%1/compare_box.png").arg(out));
    }
}

TEST_F(CompareDialog, ExportWritesTheTableThroughTheExportTestsDialog)
{
    graph_dialog_open(nullptr, {1, 2, 3});
    graph_dialog* d = graph_dialog::current();
    d->on_command(GRAPH_CMD_COMPARE, 0);
    // A bare name gets ".csv": the table is offered and written as CSV.
    const std::string file = tmp.filePath("cmp.csv").toStdString();
    for (const bool cancel : {true, false}) {
        QTimer::singleShot(50, [cancel] {
            auto* e = qobject_cast<export_tests_dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(e, nullptr);
            EXPECT_TRUE(e->control(EXPORT_CSV)->isChecked());
            EXPECT_FALSE(e->control(EXPORT_EXCEL)->isEnabled());
            EXPECT_FALSE(e->control(EXPORT_REMOVE_ZEROS)->isEnabled());
            e->control(EXPORT_EUROPEAN)->click();
            e->control(cancel ? 2 : 1)->click();
        });
        ui.push_file(tmp.filePath("cmp").toStdString());
        EXPECT_EQ(d->compare_box()->export_table(), cancel ? -1 : 0);
    }
    ASSERT_EQ(ui.file_requests().size(), 1u);
    EXPECT_EQ(ui.file_requests()[0].filters, "CSV File (*.csv)");
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(text.substr(0, text.find("\r\n", 20) + 2),
              "Reference;New\r\nTest;R_LF;R_MF;R_HF;Judgement;Correlation;"
              "Mean abs difference (dB)\r\n");
    EXPECT_NE(
        text.find("\r\nLifted;10,00;10,00;10,00;Normal winding (indicative);1,0000;1,500\r\n"),
        std::string::npos)
        << text;
}

TEST_F(CompareDialog, DifferenceViewDrawsEachDifferenceAboutAZeroLine)
{
    graph_dialog_open(nullptr, {1, 2, 3});
    graph_dialog* d = graph_dialog::current();
    const QSize size(1024, 625);
    const QImage bode = d->render(size, true);
    d->on_command(GRAPH_CMD_DIFFERENCE_VIEW, 0);
    EXPECT_TRUE(d->difference_view());
    EXPECT_TRUE(d->action(GRAPH_CMD_DIFFERENCE_VIEW)->isChecked());
    EXPECT_FALSE(d->action(GRAPH_CMD_VIEW_BODE)->isChecked()) << "one chart checked at a time";
    const QImage diff = d->render(size, true).convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(diff, bode.convertToFormat(QImage::Format_RGB32));

    // Where the geometry puts the 0 dB line and, at 500 kHz, the lifted
    // test's +1.5 dB; the moved one differs there by about 4.5 dB.
    const graph_model& m = d->model();
    const s_plot_rect plot = graph_plot_rect(QRect(QPoint(0, 0), size), bode_style_graph_file());
    const s_graph_comparison c = graph_compare_with_reference(m);
    const s_gain_range range = graph_difference_range(c, m.freq);
    EXPECT_EQ(range.gmin, -range.gmax);
    const int x = plot.left + bode_x_of(500e3, m.freq, plot.width(), m.log_scaling);
    const auto y_of = [&](double g) {
        return int(std::lround(plot.bottom - bode_y_of_gain(g, range, plot.height())));
    };
    const auto near = [&](int y, QColor colour) {
        for (int dy = -2; dy <= 2; ++dy)
            if (diff.pixelColor(x, y + dy) == colour)
                return true;
        return false;
    };
    EXPECT_TRUE(near(y_of(0), Qt::white));
    EXPECT_TRUE(near(y_of(1.5), bode_qcolor(m.gain_colour(1))));
    EXPECT_FALSE(near(y_of(1.5), bode_qcolor(m.gain_colour(2))));

    // Hiding the lifted test's gain takes its difference away; switching
    // back gives the Bode chart again.
    d->on_command(graph_menu_id(32802, 1), 0);
    const QImage hidden = d->render(size, true).convertToFormat(QImage::Format_RGB32);
    EXPECT_FALSE([&] {
        for (int dy = -2; dy <= 2; ++dy)
            if (hidden.pixelColor(x, y_of(1.5) + dy) == bode_qcolor(m.gain_colour(1)))
                return true;
        return false;
    }());
    d->on_command(graph_menu_id(32802, 1), 0);
    // Saved as SVG the view is drawn as vectors, as the other views are.
    ui.push_file(tmp.filePath("difference").toStdString(), 2);
    d->on_command(GRAPH_CMD_SAVE_BMP, 0);
    QFile svg(tmp.filePath("difference.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray drawing = svg.readAll();
    EXPECT_FALSE(drawing.contains("<image")) << "no embedded picture";
    EXPECT_TRUE(drawing.contains("<path") || drawing.contains("<polyline"));
    if (const char* out = std::getenv("GRAPH_SCREENSHOT_DIR")) {
        d->show();
        QApplication::processEvents();
        d->grab().save(QString("%1/difference_view.png").arg(out));
    }
    d->on_command(GRAPH_CMD_DIFFERENCE_VIEW, 0);
    EXPECT_EQ(d->render(size, true), bode);
    EXPECT_TRUE(d->action(GRAPH_CMD_VIEW_BODE)->isChecked());
    // Choosing a chart of the tests leaves the differences.
    d->on_command(GRAPH_CMD_DIFFERENCE_VIEW, 0);
    d->on_command(GRAPH_CMD_VIEW_NYQUIST, 0);
    EXPECT_FALSE(d->difference_view());
    EXPECT_FALSE(d->action(GRAPH_CMD_DIFFERENCE_VIEW)->isChecked());
    EXPECT_TRUE(d->action(GRAPH_CMD_VIEW_NYQUIST)->isChecked());
}
