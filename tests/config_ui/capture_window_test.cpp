#include "app/ui/main_window.h"
#include "base/command_ids.h"
#include "base/ui/control_windows.h"
#include "base/ui/mode_windows.h"
#include "config/screen_capture.h"
#include "config/ui/capture_window.h"
#include "link/identify.h"
#include "link/link.h"
#include "office/excel_server.h"
#include "sim/server.h"
#include "tests/support/qt_test_app.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

TEST(CaptureWindow, ImageAreaBevelAndCancelledWordExport)
{
    ensure_qt_app();
    test_ui().clear();
    capture_register_window();
    const std::string dir = std::filesystem::temp_directory_path() / "tarvelo-capture-view";
    prepare_test_settings(dir + "/data");
    std::vector<std::string> opened;
    office_set_opener([&](const std::string& path) { opened.push_back(path); });
    {
        main_window w(dir + "/data", dir);
        w.resize(1100, 700);
        w.show();
        w.on_command(CMD_MODE_CAPTURE, 0);
        pump();
        auto* view = dynamic_cast<capture_window*>(w.mode_window(ROW_CAPTURE));
        ASSERT_NE(view, nullptr);
        s_screen_capture& c = screen_capture_record();
        c.width = 320;
        c.height = 240;
        c.valid = true;
        std::fill(c.bits, c.bits + 40 * 240, 0xFF);
        c.bits[0] = 0x7F; // the top-left pixel drawn
        const QRect area = view->image_area();
        EXPECT_EQ(area.left(), 240);
        EXPECT_EQ(area.top(), 2 * control_by_id(CAPTURE_TITLE)->height());
        const QImage shot = view->client()->grab().toImage();
        EXPECT_EQ(shot.pixelColor(area.topLeft()), QColor(Qt::black));
        EXPECT_EQ(shot.pixelColor(area.topLeft() + QPoint(1, 0)), QColor(Qt::white));
        EXPECT_EQ(shot.pixelColor(area.topLeft() - QPoint(5, 5)), QColor(Qt::gray));
        EXPECT_EQ(shot.pixelColor(area.topLeft() - QPoint(1, 1)), QColor(Qt::darkGray));
        view->on_command(CAPTURE_WORD, 0); // the save chooser is cancelled
        pump();
        std::memset(&c, 0, sizeof c);
    }
    office_set_opener(nullptr);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(test_ui().shown().empty());
    std::filesystem::remove_all(dir);
}

// Download against the simulator: the view shows the instrument's screen at
// the image area, framed, with REMOTE at the bottom while the capture ran.
// With CAPTURE_SCREENSHOT_DIR set the main window is saved there as
// capture.png for a person to look at.
TEST(CaptureWindow, DownloadShowsTheInstrumentsScreen)
{
    ensure_qt_app();
    test_ui().clear();
    capture_register_window();
    sim::sim_options options;
    options.tcp_port = 0;
    options.instrument.model = sim::sim_model::hxm6300;
    options.instrument.time_scale = 0;
    sim::sim_server server(options);
    server.start();
    const std::string dir = std::filesystem::temp_directory_path() / "tarvelo-capture-sim";
    prepare_test_settings(dir + "/data");
    {
        main_window w(dir + "/data", dir);
        link_set_tcp_port(server.tcp_port());
        g_link.interface = LINK_LAN;
        g_link.ip_address = "127.0.0.1";
        g_link.identified = connect_and_identify(nullptr, g_link, false);
        ASSERT_TRUE(g_link.identified);
        w.resize(1100, 700);
        w.show();
        w.on_command(CMD_MODE_CAPTURE, 0);
        pump();
        auto* view = dynamic_cast<capture_window*>(w.mode_window(ROW_CAPTURE));
        ASSERT_NE(view, nullptr);
        view->on_command(CAPTURE_DOWNLOAD, 0);
        pump();
        EXPECT_TRUE(test_ui().shown().empty());
        const s_screen_capture& c = screen_capture_record();
        ASSERT_TRUE(c.valid);
        const QRect area = view->image_area();
        EXPECT_EQ(area.size(), QSize(c.width, c.height));
        const QImage shot = view->client()->grab().toImage();
        int differing = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const bool white = (c.bits[y * (c.width / 8) + x / 8] >> (7 - x % 8)) & 1;
                differing += shot.pixelColor(area.topLeft() + QPoint(x, y)) !=
                             QColor(white ? Qt::white : Qt::black);
            }
        EXPECT_EQ(differing, 0);
        if (const char* out = std::getenv("CAPTURE_SCREENSHOT_DIR"))
            w.grab().save(QString("%1/capture.png").arg(out));
        std::memset(&screen_capture_record(), 0, sizeof(s_screen_capture));
    }
    g_link = s_link{};
    link_set_tcp_port(LINK_DEFAULT_TCP_PORT);
    server.stop();
    std::filesystem::remove_all(dir);
}
