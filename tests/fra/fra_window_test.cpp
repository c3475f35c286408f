// The FRA window inside the main window, against the simulator. With
// FRA_SCREENSHOT_DIR set, the GRAPH, TABLE and REALTIME views are saved
// there as PNG files for a person to look at.

#include "app/ui/main_window.h"
#include "base/command_ids.h"
#include "base/control_table.h"
#include "base/ui/control_windows.h"
#include "base/ui/qt_seams.h"
#include "config/config_current.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/ui/test_details_dialog.h"
#include "fra/realtime.h"
#include "fra/sweep_context.h"
#include "fra/ui/fra_view.h"
#include "fra/ui/fra_window.h"
#include "graph/ui/bode_plot.h"
#include "graph/ui/chart_file.h"
#include "graph/ui/chart_parts.h"
#include "link/identify.h"
#include "link/link.h"
#include "sim/server.h"
#include "tests/support/sim_window_fixture.h"
#include "tests/support/sqlite_reader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace {

std::atomic<int> answered{0};

// Answers the Test Details dialog when it opens: a single sweep, not stored.
void answer_test_details(bool cancel)
{
    QTimer::singleShot(50, [cancel] {
        ++answered;
        auto* d = qobject_cast<test_details_dialog*>(QApplication::activeModalWidget());
        if (!d) {
            answer_test_details(cancel);
            return;
        }
        if (cancel) {
            d->reject();
            return;
        }
        qobject_cast<QCheckBox*>(d->control(1005))->setChecked(false);
        d->press_start();
    });
}

// Answers the Test Details dialog with a repeating test of five sweeps.
void answer_repeating_test()
{
    QTimer::singleShot(50, [] {
        auto* d = qobject_cast<test_details_dialog*>(QApplication::activeModalWidget());
        if (!d) {
            answer_repeating_test();
            return;
        }
        qobject_cast<QCheckBox*>(d->control(1005))->setChecked(false);
        d->set_repeating(true);
        qobject_cast<QLineEdit*>(d->control(1064))->setText("5");
        d->press_start();
    });
}

// A series timer that fires after a second and a half instead of whole
// minutes: about the time the progress dialog needs for one sweep.
std::vector<double> armed;
std::vector<int> cancelled;
int quick_timer(double ms, command_target* target, int message, command_target* display, bool)
{
    if (display)
        post_text(display, CMD_SET_TEXT, "00:04:59");
    armed.push_back(ms);
    const int id = static_cast<int>(armed.size());
    QTimer::singleShot(1500, [target, message, id] {
        if (std::find(cancelled.begin(), cancelled.end(), id) == cancelled.end())
            post_command(target, message);
    });
    return id;
}
bool quick_cancel(int id)
{
    cancelled.push_back(id);
    return true;
}

QString caption(int id)
{
    return qobject_cast<QAbstractButton*>(control_by_id(id))->text();
}

class FraWindow : public sim_window_fixture {
protected:
    void SetUp() override
    {
        start_main(loopback_options(), fra_register_windows);
        fra = qobject_cast<fra_window*>(main->mode_window(ROW_FRA));
        ASSERT_TRUE(fra);
        ASSERT_TRUE(fra->view_window());
        QApplication::processEvents();
    }
    void click(int id) { post_command(fra, id, 0); }
    void shot(const char* name) { sim_window_fixture::shot("FRA_SCREENSHOT_DIR", name); }
    void sweep_once()
    {
        answer_test_details(false);
        click(14507);
        ASSERT_TRUE(wait_for([this] { return fra->results().count == 100; }));
        ASSERT_TRUE(wait_for([] { return !QApplication::activeModalWidget(); }));
        QApplication::processEvents();
    }

    fra_window* fra = nullptr;
};

} // namespace

TEST_F(FraWindow, SweepFillsGraphAndTableThenClearEmptiesThem)
{
    sweep_once();
    EXPECT_EQ(caption(14507), "CLEAR");
    auto* list = qobject_cast<QTreeWidget*>(control_by_id(14500));
    ASSERT_EQ(list->topLevelItemCount(), 100);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "10.0000");
    EXPECT_TRUE(std::filesystem::exists(main->paths().data_folder + "/sweep1.dat"));
    EXPECT_EQ(fra->view_window()->state().cursor[1], 99);
    QApplication::processEvents();
    const QImage chart = fra->view_window()->grab().toImage();
    const s_plot_rect r = fra->view_window()->chart_layout().plot;
    EXPECT_EQ(chart.pixelColor(r.left + 5, r.top + 5), QColor(Qt::black));
    shot("fra_graph");
    send_command(main.get(), CMD_COPY_CLIPBOARD); // the chart, not its controls
    EXPECT_EQ(QApplication::clipboard()->image().size(),
              chart_export_size(fra->view_window()->contentsRect().size()));
    // Saved by the chosen filter or the typed suffix: the bitmap as before,
    // a PNG with its pixels, an SVG drawing of the same chart.
    const QImage picture = fra->view_window()->picture();
    const std::tuple<std::string, int, std::string> saves[] = {
        {"/chart", 0, "/chart.bmp"}, {"/chart.png", 0, "/chart.png"}, {"/chart", 2, "/chart.svg"}};
    for (const auto& [typed, filter, written] : saves) {
        ui.push_file(dir + typed, filter);
        send_command(main.get(), CMD_SAVE_BITMAP);
        ASSERT_TRUE(std::filesystem::exists(dir + written)) << written;
    }
    EXPECT_EQ(
        QImage(QString::fromStdString(dir + "/chart.bmp")).convertToFormat(QImage::Format_RGB32),
        picture.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(
        QImage(QString::fromStdString(dir + "/chart.png")).convertToFormat(QImage::Format_RGB32),
        picture.convertToFormat(QImage::Format_RGB32));
    std::ifstream svg(dir + "/chart.svg");
    const std::string drawing((std::istreambuf_iterator<char>(svg)), {});
    EXPECT_NE(drawing.find("<polyline"), std::string::npos) << "the traces drawn, not a picture";
    EXPECT_EQ(drawing.find("<image"), std::string::npos);

    click(14504);
    wait_for([&] { return list->isVisible(); }, 5000);
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(fra->view_window()->isVisible());
    shot("fra_table");

    const s_fra_view_state before = fra->view_window()->state();
    click(14507);
    wait_for([this] { return fra->results().count == 0; }, 5000);
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(caption(14507), "SWEEP");
    // The empty chart keeps the last sweep's axes, also when the gain axis
    // is asked to centre 0 dB with no gain left to centre.
    qobject_cast<QCheckBox*>(control_by_id(CMD_FRA_CENTRE))->setChecked(true);
    post_command(fra->view_window(), CMD_FRA_CENTRE, 0);
    QApplication::processEvents();
    const s_fra_view_state& after = fra->view_window()->state();
    EXPECT_TRUE(after.centre_zero);
    EXPECT_EQ(after.freq.fmin, before.freq.fmin);
    EXPECT_EQ(after.freq.fmax, before.freq.fmax);
    EXPECT_EQ(after.gain.gmin, before.gain.gmin);
    EXPECT_EQ(after.gain.gmax, before.gain.gmax);
}

// "Save to Bitmap" of the main window writes the FRA chart through the
// project's own bitmap writer: byte for byte what the graph dialog and the
// command line write for the same picture. A folder that cannot take the
// file is reported; a cancelled chooser writes nothing.
TEST_F(FraWindow, SavedChartIsTheProjectsBitmapFile)
{
    sweep_once();
    const std::string saved = dir + "/chart.bmp";
    const std::string expected = dir + "/expected.bmp";
    const struct {
        std::string path; // empty: cancel the chooser
        bool written;
        size_t boxes;
    } cases[] = {{saved, true, 0}, {dir + "/no/such/folder/x.bmp", false, 1}, {"", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ui.clear();
        if (c.path.empty())
            ui.push_file_cancel();
        else
            ui.push_file(c.path);
        std::filesystem::remove(saved);
        send_command(main.get(), CMD_SAVE_BITMAP);
        EXPECT_EQ(ui.shown().size(), c.boxes);
        EXPECT_EQ(std::filesystem::exists(saved), c.written);
    }
    ui.clear();
    ui.push_file(saved);
    send_command(main.get(), CMD_SAVE_BITMAP);
    ASSERT_EQ(bode_save_bmp(fra->view_window()->picture(), QString::fromStdString(expected)), 0);
    const auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(bytes(saved).size(), 54u + ((fra->view_window()->picture().width() * 3u + 3) & ~3u) *
                                             fra->view_window()->picture().height());
    EXPECT_EQ(bytes(saved), bytes(expected));
}

// Save to Bitmap asks about the file it is going to write, its suffix
// added, before replacing it; No leaves the file as it was.
TEST_F(FraWindow, SaveToBitmapAsksAboutTheFinalName)
{
    sweep_once();
    const std::string saved = dir + "/chart.bmp";
    for (const int answer : {IDNO, IDYES}) {
        std::ofstream(saved) << "keep";
        ui.clear();
        ui.push_file(dir + "/chart", 0);
        ui.push_answer(answer);
        send_command(main.get(), CMD_SAVE_BITMAP);
        ASSERT_EQ(ui.shown().size(), 1u);
        EXPECT_EQ(ui.shown()[0].text, saved + " already exists.\nDo you want to replace it?");
        std::ifstream in(saved, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}) == "keep", answer == IDNO);
    }
}

TEST_F(FraWindow, CancelledTestDetailsChangesNothing)
{
    answered = 0;
    answer_test_details(true);
    click(14507);
    wait_for([] { return answered > 0 && !QApplication::activeModalWidget(); }, 5000);
    QApplication::processEvents();
    EXPECT_EQ(caption(14507), "SWEEP");
    EXPECT_EQ(fra->results().count, 0);
    EXPECT_FALSE(fra->is_running());
}

TEST_F(FraWindow, CursorScrollBarStopsAtTheLastPoint)
{
    sweep_once();
    auto* bar = qobject_cast<QScrollBar*>(control_by_id(CMD_FRA_CURSOR_LEFT));
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->maximum(), 100);
    bar->setValue(bar->maximum());
    QApplication::processEvents();
    EXPECT_EQ(fra->view_window()->state().cursor[0], 99);
    EXPECT_EQ(bar->value(), 99);
    // One click back from the far right moves the cursor one point.
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(fra->view_window()->state().cursor[0], 98);
    bar->setValue(37);
    EXPECT_EQ(fra->view_window()->state().cursor[0], 37);
    // CLEAR puts both thumbs back at the start of the empty chart.
    click(14507);
    ASSERT_TRUE(wait_for([this] { return fra->results().count == 0; }, 5000));
    for (int id : {CMD_FRA_CURSOR_LEFT, CMD_FRA_CURSOR_RIGHT}) {
        EXPECT_EQ(qobject_cast<QScrollBar*>(control_by_id(id))->value(), 0) << id;
        EXPECT_EQ(fra->view_window()->state().cursor[id - CMD_FRA_CURSOR_LEFT], 0) << id;
    }
    shot("fra_cleared");
}

TEST_F(FraWindow, RealtimeReadout)
{
    click(14502);
    QApplication::processEvents();
    click(14506);
    ASSERT_TRUE(wait_for([this] { return fra->displayed().frequency() != 0; }));
    EXPECT_TRUE(fra->is_running());
    EXPECT_EQ(caption(14506), "STOP");
    EXPECT_FALSE(control_by_id(14507)->isEnabled()); // SWEEP would be ignored
    shot("fra_realtime");
    click(14506);
    ASSERT_TRUE(wait_for([this] { return !fra->is_running(); }, 5000));
    EXPECT_EQ(caption(14506), "START");
    ASSERT_TRUE(wait_for([] { return control_by_id(14507)->isEnabled(); }, 5000));
}

// A three-input instrument measuring its third input shows ten tiles
// instead of six: the fonts fitted for six are fitted again, so every label
// and value stays inside the view and clear of its neighbours.
TEST_F(FraWindow, RealtimeTilesRefitWhenTheirCountChanges)
{
    click(14502);
    QApplication::processEvents();
    const int type = g_link.type_code;
    link_set_type(g_link, 9);
    config_select(g_link.caps);
    fra_view* view = fra->view_window();
    for (const int input : {0, 1, 0}) {
        config_current().set_int(FRA_PARAM_INPUT, input);
        std::vector<s_chart_text> texts;
        chart_record_texts(&texts);
        view->grab();
        chart_record_texts(nullptr);
        EXPECT_EQ(texts.size(), 2u * fra_tile_count(g_link.caps)) << input;
        for (size_t i = 0; i < texts.size(); ++i) {
            const std::string name = texts[i].text.toStdString();
            EXPECT_TRUE(view->rect().contains(texts[i].rect)) << name << " with input " << input;
            for (size_t j = i + 1; j < texts.size(); ++j)
                EXPECT_FALSE(texts[i].rect.intersects(texts[j].rect))
                    << name << " over " << texts[j].text.toStdString() << " with input " << input;
        }
        if (input)
            shot("fra_realtime_ten_tiles");
    }
    link_set_type(g_link, type);
    config_select(g_link.caps);
}

TEST_F(FraWindow, CancellingASeriesKeepsTheLastSweep)
{
    armed.clear();
    cancelled.clear();
    fra->set_timer_hooks({quick_timer, quick_cancel});
    answer_repeating_test();
    click(14507);
    ASSERT_TRUE(wait_for([this] { return fra->series().sweeps_done >= 2; }));
    EXPECT_EQ(caption(14507), "CANCEL");
    EXPECT_TRUE(control_by_id(14513)->isVisible());
    EXPECT_EQ(qobject_cast<QLabel*>(control_by_id(14511))->text(), "00:04:59");
    EXPECT_FALSE(control_by_id(14506)->isEnabled()); // START would be ignored
    shot("fra_series_running");
    click(14507);
    ASSERT_TRUE(wait_for([] { return caption(14507) == "CLEAR"; }, 10000));
    wait_for([] { return !QApplication::activeModalWidget(); }, 10000);
    QApplication::processEvents();
    EXPECT_EQ(qobject_cast<QLabel*>(control_by_id(14511))->text(), "");
    EXPECT_TRUE(wait_for([] { return control_by_id(14506)->isEnabled(); }, 5000));
    shot("fra_series_cancelled");
    EXPECT_EQ(fra->results().count, 100);
    EXPECT_FALSE(fra->is_running());
    EXPECT_EQ(armed.front(), 300000); // five minutes, start to start
    EXPECT_EQ(cancelled.back(), static_cast<int>(armed.size()));
}

namespace {

// How far a graph control lies from the bottom and the right edge of the
// client area the FRA view paints its chart into.
struct edge_distance {
    int bottom;
    int right;
    bool operator==(const edge_distance&) const = default;
};

void PrintTo(const edge_distance& d, std::ostream* os)
{
    *os << "{bottom " << d.bottom << ", right " << d.right << "}";
}

edge_distance distance_to_view_edges(const fra_view* view, int id)
{
    const QWidget* w = control_by_id(id);
    const QRect inner = view->contentsRect();
    const QRect r(w->mapTo(view, QPoint(0, 0)), w->size());
    return {inner.bottom() - r.bottom(), inner.right() - r.right()};
}

} // namespace

TEST_F(FraWindow, GraphControlsKeepTheirDistanceToTheChartBottom)
{
    fra_view* view = fra->view_window();
    auto check = [view](const char* when) {
        SCOPED_TRACE(when);
        QApplication::processEvents();
        EXPECT_EQ(view->client()->geometry(), view->contentsRect());
        EXPECT_EQ(view->picture().size(), chart_export_size(view->contentsRect().size()));
        EXPECT_EQ(distance_to_view_edges(view, CMD_FRA_CURSOR_LEFT).bottom, 20);
        EXPECT_EQ(distance_to_view_edges(view, CMD_FRA_CURSOR_RIGHT), (edge_distance{20, 6}));
        EXPECT_EQ(distance_to_view_edges(view, CMD_FRA_SCALING).bottom, 65);
        EXPECT_EQ(distance_to_view_edges(view, CMD_FRA_BACKGROUND).bottom, 37);
    };
    check("as shown");
    main->resize(1300, 820);
    check("larger window");
    post_command(main.get(), CMD_HIDE_SETTINGS, 0);
    QApplication::processEvents();
    ASSERT_FALSE(main->mode_window(ROW_CONFIG)->isVisible());
    check("settings hidden");
    main->resize(main->minimumSize());
    check("smallest window, settings hidden");
    post_command(main.get(), CMD_HIDE_SETTINGS, 0);
    check("settings shown again");
}

namespace {

QRect qrect(const s_plot_rect& r)
{
    return QRect(r.left, r.top, r.width(), r.height());
}

} // namespace

// After a sweep the chart's plot, its frame and every label band stay clear
// of the graph controls and inside the view, at any size the main window
// allows; the value label columns hold the widest label the axes can show.
TEST_F(FraWindow, GraphControlsNeverCoverThePlotOrItsLabels)
{
    sweep_once();
    fra_view* view = fra->view_window();
    const QFontMetrics label(bode_label_font());
    // The smallest window is the one a fresh start shows: its client area
    // at the design size (this fixture opened a larger one).
    const QSize smallest =
        main->size() - main->centralWidget()->size() + QSize(MAIN_CLIENT_WIDTH, MAIN_CLIENT_HEIGHT);
    main->setMinimumSize(smallest);
    struct size_case {
        const char* name;
        QSize size; // empty: the smallest the window allows
        bool hide_settings;
    };
    const size_case cases[] = {
        {"fra_graph_smallest", {}, false},
        {"fra_graph_wide", {1800, 950}, false},
        {"fra_graph_tall_hidden", {1300, 1000}, true},
        {"fra_graph_smallest_hidden", {}, true},
    };
    for (const size_case& c : cases) {
        SCOPED_TRACE(c.name);
        if (main->mode_window(ROW_CONFIG)->isVisible() == c.hide_settings)
            post_command(main.get(), CMD_HIDE_SETTINGS, 0);
        main->resize(c.size.isEmpty() ? smallest : c.size);
        QApplication::processEvents();
        ASSERT_EQ(main->size(), c.size.isEmpty() ? smallest : c.size);
        shot(c.name);
        const s_bode_layout at = view->chart_layout();
        const QRect inside(QPoint(0, 0), view->contentsRect().size());
        const QRect framed = qrect(at.plot).adjusted(-4, -4, 4, 4);
        ASSERT_GT(at.plot.height(), 0);
        const std::pair<const char*, QRect> chart[] = {
            {"plot", framed},
            {"frequency labels", qrect(at.freq_labels)},
            {"frequency title", qrect(at.freq_title)},
            {"gain labels", qrect(at.gain_labels)},
            {"phase labels", qrect(at.phase_labels)},
        };
        for (const auto& [part, r] : chart) {
            EXPECT_TRUE(inside.contains(r)) << part;
            for (int id = CMD_FRA_CURSOR_LEFT; id <= CMD_FRA_BACKGROUND; ++id) {
                const QWidget* w = control_by_id(id);
                const QRect control(w->mapTo(view, QPoint(0, 0)) - view->contentsRect().topLeft(),
                                    w->size());
                EXPECT_FALSE(control.intersects(r)) << part << " under control " << id;
            }
        }
        for (const char* text : {"-110.0", "-888.8"})
            EXPECT_GE(at.gain_labels.width(), label.horizontalAdvance(text)) << text;
        for (const char* text : {"-180", "-360"})
            EXPECT_GE(at.phase_labels.width(), label.horizontalAdvance(text)) << text;
        EXPECT_GE(at.freq_labels.height(), label.height());
        for (const char* text : {"100k", "1M"}) // the last label starts 8 pixels left of its line
            EXPECT_GE(at.freq_labels.right - at.plot.right + BODE_FREQ_LABEL_LEFT,
                      label.horizontalAdvance(text))
                << text;
    }
}

// A sweep to be stored while another program reads the database file: the
// sweep completes, the lock is shown in the database error box, no test is
// stored, and the user is told where the sweep file is kept for a later
// import. With FRA_SCREENSHOT_DIR set, the box is saved as
// fra_store_locked.png.
TEST_F(FraWindow, ASweepTheDatabaseCannotTakeIsReportedWithItsFile)
{
    const std::string file = dir + "/locked.db";
    bool is_new = false;
    ASSERT_TRUE(db_open(file, DB_OPEN_OR_CREATE, &is_new));
    db_set_current_path(file);
    s_session session;
    session.Name = "Site";
    session.day = session.month = 1;
    session.year = 2026;
    ASSERT_EQ(db_save_session(session, false), 0);
    sqlite_reader reader(file, dir + "/reader.txt");
    ASSERT_TRUE(reader.holding());

    QTimer::singleShot(50, [] {
        auto* d = qobject_cast<test_details_dialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        qobject_cast<QLineEdit*>(d->control(1009))->setText("Run");
        qobject_cast<QLineEdit*>(d->control(1011))->setText("HV");
        d->press_start();
    });
    click(14507);
    ASSERT_TRUE(wait_for([this] { return ui.shown().size() >= 2; }));
    const auto shown = ui.shown();
    const std::string kept = main->paths().data_folder + "/sweep1.dat";
    EXPECT_EQ(shown[shown.size() - 2].text, "Database file is locked\nError Code: 5");
    EXPECT_EQ(shown.back().caption, "Database Error");
    EXPECT_NE(shown.back().text.find(kept), std::string::npos) << shown.back().text;
    EXPECT_TRUE(std::filesystem::exists(kept));
    EXPECT_EQ(fra->results().count, 100);
    s_test none;
    EXPECT_EQ(db_get_test(none, 1, false), 0);
    EXPECT_EQ(none.TestNo, DB_NO_SUCH_ROW);

    if (const char* out = std::getenv("FRA_SCREENSHOT_DIR")) {
        QMessageBox box(QMessageBox::Warning, qt_from_ansi(shown.back().caption),
                        qt_from_ansi(shown.back().text), QMessageBox::Ok);
        box.show();
        QApplication::processEvents();
        box.grab().save(QString("%1/fra_store_locked.png").arg(out));
    }
}
