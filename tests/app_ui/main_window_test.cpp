#include "app/ui/main_window.h"
#include "app/ui/mode_menu_bar.h"
#include "base/command_ids.h"
#include "base/profile_file.h"
#include "base/ui/control_windows.h"
#include "base/ui/table_window.h"
#include "db/db_connection.h"
#include "link/discovery.h"
#include "link/link.h"
#include "tests/support/qt_test_app.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_qt_app();
        test_ui().clear();
        g_link = s_link{};
    }

    std::unique_ptr<main_window> start()
    {
        auto w = std::make_unique<main_window>((dir / "data").string(), dir.str());
        discovery_set_target("127.255.255.255"); // no search here, but never off loopback
        w->show();
        pump();
        return w;
    }

    // How much larger the client area under the menu bar is than its design size.
    QSize client_growth()
    {
        return w->centralWidget()->size() - QSize(MAIN_CLIENT_WIDTH, MAIN_CLIENT_HEIGHT);
    }
    QRect geometry_of(int id) { return control_by_id(id)->geometry(); }
    QRect row_geometry(int row) { return w->mode_window(row)->geometry(); }
    QAction* highlighted() { return static_cast<mode_menu_bar*>(w->menuBar())->highlighted(); }
    QAction* display_menu()
    {
        for (QAction* a : w->menuBar()->actions()) {
            if (a->text() == "&Display")
                return a;
        }
        return nullptr;
    }
    QString text_of(int id) { return qobject_cast<QAbstractButton*>(control_by_id(id))->text(); }

    temp_folder dir{"tarvelo_main_window"};
    std::unique_ptr<main_window> w;
};

} // namespace

TEST_F(MainWindow, FirstStartCreatesFoldersSettingsAndDefaultDatabaseSilently)
{
    w = start();
    const fs::path ini = dir / "data/Quellmarsh/Tarvelo/Tarvelo.ini";
    ASSERT_TRUE(fs::exists(ini));
    EXPECT_FALSE(profile_read(ini.string(), "Init", "Created", "").empty());
    EXPECT_TRUE(fs::exists(dir / "default.db"));
    EXPECT_EQ(w->database_path(), (dir / "default.db").string());
    // The default file is a test database, open and remembered.
    EXPECT_TRUE(db_is_open());
    EXPECT_EQ(profile_read(ini.string(), "Init", "DatabaseFile", ""),
              (dir / "default.db").string());
    EXPECT_TRUE(test_ui().shown().empty());
    EXPECT_EQ(w->objectName(), "QXTarvelo2WClass");
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("default.db \u2014 Tarvelo2"));
    EXPECT_EQ(w->mode_window(ROW_FRA)->objectName(), "QXTarvelo2FRAWClass");
}

TEST_F(MainWindow, DeletedLastDatabaseIsReportedOnceThenDefaultIsUsed)
{
    const s_app_paths p = app_paths((dir / "data").string());
    fs::create_directories(p.data_folder);
    profile_write(p.settings_file, "Init", "Created", "x");
    const std::string gone = (dir / "gone.db").string();
    profile_write(p.settings_file, "Init", "DatabaseFile", gone);
    w = start();
    ASSERT_EQ(test_ui().shown().size(), 1u);
    EXPECT_EQ(test_ui().shown()[0].text,
              "Unable to load last database file:\n" + gone + "\nLoading default database.");
    EXPECT_EQ(test_ui().shown()[0].caption, "Tarvelo2");
    EXPECT_EQ(w->database_path(), (dir / "default.db").string());
    w.reset();
    test_ui().clear();
    w = start();
    EXPECT_TRUE(test_ui().shown().empty());
}

TEST_F(MainWindow, ConnectDefaultsPreselectTheLinkWithoutConnecting)
{
    const s_app_paths p = app_paths((dir / "data").string());
    fs::create_directories(p.data_folder);
    profile_write(p.settings_file, "Connect", "Interface", "2");
    profile_write(p.settings_file, "Connect", "IPAddr", "127.0.0.1");
    w = start();
    EXPECT_EQ(g_link.interface, LINK_LAN);
    EXPECT_EQ(g_link.ip_address, "127.0.0.1");
    EXPECT_FALSE(g_link.identified);
}

TEST_F(MainWindow, ModesShowTheirWindowAndDatabaseViewGreysTheRest)
{
    w = start();
    EXPECT_TRUE(w->mode_window(ROW_FRA)->isVisible());
    EXPECT_TRUE(w->mode_window(ROW_CONFIG)->isVisible());
    EXPECT_FALSE(w->mode_window(ROW_DB_VIEW)->isVisible());
    EXPECT_EQ(highlighted(), w->menu_action(CMD_MODE_FRA));

    send_command(w.get(), CMD_MODE_LCR);
    EXPECT_EQ(w->state().mode, MODE_LCR);
    EXPECT_TRUE(w->mode_window(ROW_LCR)->isVisible());
    EXPECT_FALSE(w->mode_window(ROW_FRA)->isVisible());
    EXPECT_EQ(highlighted(), w->menu_action(CMD_MODE_LCR));

    EXPECT_TRUE(control_by_id(CMD_DATABASE)->isEnabled());  // start-up refreshed the strip
    EXPECT_FALSE(control_by_id(CMD_READ_HXM)->isEnabled()); // not connected
    send_command(w.get(), CMD_DATABASE);
    send_command(w.get(), CMD_DATABASE);
    EXPECT_EQ(w->state().mode, MODE_DATABASE);
    EXPECT_EQ(w->state().previous_mode, MODE_LCR);
    EXPECT_TRUE(w->mode_window(ROW_DB_VIEW)->isVisible());
    EXPECT_TRUE(w->mode_window(ROW_DB_TOOLS)->isVisible());
    EXPECT_FALSE(w->mode_window(ROW_CONFIG)->isVisible());
    EXPECT_FALSE(w->mode_window(ROW_LCR)->isVisible());
    EXPECT_FALSE(control_by_id(CMD_HIDE_SETTINGS)->isEnabled());
    EXPECT_FALSE(w->menu_action(CMD_MODE_PIEZO)->isEnabled());
    EXPECT_FALSE(display_menu()->isEnabled());
    EXPECT_TRUE(control_by_id(CMD_DATABASE)->font().bold());

    send_command(w.get(), CMD_MEASURE);
    EXPECT_EQ(w->state().mode, MODE_LCR);
    EXPECT_TRUE(w->mode_window(ROW_LCR)->isVisible());
    EXPECT_TRUE(w->menu_action(CMD_MODE_PIEZO)->isEnabled());
    EXPECT_TRUE(control_by_id(CMD_MEASURE)->font().bold());
    send_command(w.get(), CMD_MEASURE); // outside the database view: nothing
    EXPECT_EQ(w->state().mode, MODE_LCR);

    send_command(w.get(), CMD_MODE_CAPTURE);
    EXPECT_EQ(w->state().previous_mode, MODE_LCR);
    EXPECT_TRUE(w->mode_window(ROW_CAPTURE)->isVisible());
    send_command(w.get(), CMD_MODE_PIEZO);
    EXPECT_TRUE(w->mode_window(ROW_PIEZO)->isVisible());
    EXPECT_FALSE(w->mode_window(ROW_CAPTURE)->isVisible());
}

TEST_F(MainWindow, WiderWindowAndHiddenSettingsFollowTheLayoutRules)
{
    w = start();
    // The window opens sized to the screen; the rules are measured from its
    // smallest size, the design size, below which it never goes.
    const QSize created = w->minimumSize();
    EXPECT_GE(w->width(), created.width());
    EXPECT_GE(w->height(), created.height());
    w->resize(created.width() + 200, created.height());
    pump();
    // The menu bar's height follows the machine's fonts (and what the process
    // drew before): every expectation stretches the design by the growth of
    // the client area as measured, never by one machine's menu bar.
    const QSize grown = client_growth();
    const int dx = grown.width(), dy = grown.height();
    EXPECT_GE(dx, 200);
    EXPECT_GE(dy, 0);
    EXPECT_EQ(geometry_of(CMD_HIDE_SETTINGS).x(), MAIN_CLIENT_WIDTH - 180 - 127 + dx);
    EXPECT_EQ(geometry_of(CMD_LOGO).x(), MAIN_CLIENT_WIDTH - 8 - 150 + dx);
    EXPECT_EQ(geometry_of(CMD_MEASURE), QRect(80, 6, 88, 25));
    EXPECT_EQ(row_geometry(ROW_CONFIG).width(), 1002 + dx);
    EXPECT_EQ(row_geometry(ROW_FRA), QRect(6, 210, 1002 + dx, 354 + dy));
    EXPECT_EQ(geometry_of(14500).width(), 986 + dx);

    post_click(CMD_HIDE_SETTINGS);
    pump();
    EXPECT_EQ(text_of(CMD_HIDE_SETTINGS), "SHOW SETTINGS");
    EXPECT_FALSE(w->mode_window(ROW_CONFIG)->isVisible());
    EXPECT_TRUE(w->mode_window(ROW_FRA)->isVisible());
    EXPECT_EQ(row_geometry(ROW_FRA), QRect(6, 36, 1002 + dx, 528 + dy));
    EXPECT_EQ(row_geometry(ROW_LCR), QRect(6, 36, 1002 + dx, 528 + dy));
    EXPECT_EQ(geometry_of(14500).height(), 278 + 174 + dy);

    post_click(CMD_HIDE_SETTINGS);
    pump();
    EXPECT_EQ(text_of(CMD_HIDE_SETTINGS), "HIDE SETTINGS");
    EXPECT_TRUE(w->mode_window(ROW_CONFIG)->isVisible());
    EXPECT_EQ(row_geometry(ROW_FRA), QRect(6, 210, 1002 + dx, 354 + dy));
    EXPECT_EQ(geometry_of(14500).height(), 278 + dy);

    w->resize(created.width() - 100, created.height() - 100);
    pump();
    EXPECT_EQ(w->size(), created);
    EXPECT_GE(w->centralWidget()->height(), MAIN_CLIENT_HEIGHT); // never below the design
}

TEST_F(MainWindow, EnableTableLeavesCreatedDisabledButtonsDisabled)
{
    w = start();
    control_by_id(12002)->setEnabled(false); // as created, before any refresh
    enable_table(TABLE_MAIN, true);
    enable_table(TABLE_CONFIG, true);
    // Its own flag: the configuration panel around the buttons is disabled.
    auto own = [](int id) { return !control_by_id(id)->testAttribute(Qt::WA_ForceDisabled); };
    for (int id : {12002, 13005, 13006, 13013})
        EXPECT_FALSE(own(id)) << id;
    EXPECT_TRUE(own(13002));
    enable_table(TABLE_CONFIG, false);
    EXPECT_FALSE(own(13002));
}

TEST_F(MainWindow, SelectedFontMarksOneButtonOfAGroup)
{
    w = start();
    set_selected_font(14504, 14502, 14504);
    EXPECT_TRUE(control_by_id(14504)->font().bold());
    EXPECT_FALSE(control_by_id(14503)->font().bold());
    EXPECT_EQ(control_by_id(99999), nullptr);
}

// This program registers no mode windows: every graph area is an empty
// placeholder, and taking its picture is refused by the mode's name, before
// any file is asked for, leaving the clipboard as it was. The FRA window's
// own picture is tested with that window.
TEST_F(MainWindow, PictureOfAModeWithoutAGraphIsRefused)
{
    w = start();
    QImage before(7, 5, QImage::Format_RGB32);
    before.fill(Qt::red);
    QApplication::clipboard()->setImage(before);
    const std::pair<int, const char*> modes[] = {{CMD_MODE_FRA, "FRA"},
                                                 {CMD_MODE_PIEZO, "Piezo"},
                                                 {CMD_MODE_LCR, "LCR"},
                                                 {CMD_MODE_CAPTURE, "Capture"}};
    for (const auto& [command, name] : modes) {
        send_command(w.get(), command);
        for (int take : {CMD_COPY_CLIPBOARD, CMD_SAVE_BITMAP}) {
            test_ui().clear();
            send_command(w.get(), take);
            ASSERT_EQ(test_ui().shown().size(), 1u) << name;
            EXPECT_EQ(test_ui().shown()[0].text,
                      std::string("The ") + name + " mode has no graph to picture yet.");
            EXPECT_EQ(QApplication::clipboard()->image().size(), before.size()) << name;
        }
    }
}

// "&Help" stands at the right end of the menu bar, after every other item,
// and still opens About and Support.
TEST_F(MainWindow, HelpMenuStandsAtTheRightEnd)
{
    w = start();
    QMenuBar* bar = w->menuBar();
    auto* help_bar = qobject_cast<QMenuBar*>(bar->cornerWidget(Qt::TopRightCorner));
    ASSERT_TRUE(help_bar);
    ASSERT_EQ(help_bar->actions().size(), 1);
    QAction* help = help_bar->actions()[0];
    EXPECT_EQ(help->text(), "&Help");
    const QRect r = help_bar->actionGeometry(help).translated(help_bar->pos());
    const QRect capture = bar->actionGeometry(w->menu_action(CMD_MODE_CAPTURE));
    EXPECT_GT(r.left(), capture.right() + r.width()); // clearly apart, not next in line
    EXPECT_LT(bar->width() - r.right(), r.width());   // at the right end
    EXPECT_LT(r.top(), capture.bottom());             // on the same row
    ASSERT_TRUE(help->menu());
    EXPECT_TRUE(help->menu()->actions().contains(w->menu_action(CMD_ABOUT)));
    EXPECT_TRUE(help->menu()->actions().contains(w->menu_action(CMD_SUPPORT)));
}

// The offscreen platform starts no browser: the maker's pages are named in a
// box then, instead of failing without a word.
TEST_F(MainWindow, WebPagesWithoutABrowserSaySo)
{
    w = start();
    test_ui().clear();
    send_command(w.get(), CMD_SUPPORT);
    send_command(w.get(), CMD_LOGO);
    const std::vector<ui_shown_box> shown = test_ui().shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "No web browser could be started to show "
                             "https://www.quellmarsh.example/support\n"
                             "Open that address in a browser of your choice.");
    EXPECT_NE(shown[1].text.find(" https://www.quellmarsh.example/\n"), std::string::npos);
    EXPECT_EQ(shown[1].caption, "Tarvelo2");
}
