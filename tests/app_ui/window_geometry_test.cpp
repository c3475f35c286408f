// The main window's size and place over starts, the graph dialog's place
// beside it, and message boxes centred on the window they concern, on one
// 1400 x 1000 screen (Qt's offscreen platform given a screen of that size).

#include "app/ui/main_window.h"
#include "base/ui/qt_seams.h"
#include "base/window_placement.h"
#include "link/discovery.h"
#include "link/link.h"
#include "review/ui/graph_dialog.h"
#include "tests/support/qt_test_app.h"

#include <QDialog>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class WindowGeometry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_qt_app();
        test_ui().clear();
        g_link = s_link{};
        prepare_test_settings((dir / "data").string());
    }
    void TearDown() override { w.reset(); }

    std::string ini() const { return app_paths((dir / "data").string()).settings_file; }
    void start()
    {
        w = std::make_unique<main_window>((dir / "data").string(), dir.str());
        discovery_set_target("127.255.255.255");
        w->show();
        ASSERT_TRUE(wait_until([this] { return !w->minimumSize().isEmpty(); }));
        pump();
    }
    static QRect screen() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    temp_folder dir{"tarvelo_window_geometry"};
    std::unique_ptr<main_window> w;
};

TEST_F(WindowGeometry, FirstStartUsesTheScreenAndLaterStartsRestoreWhatTheUserLeft)
{
    ASSERT_EQ(screen().size(), QSize(1400, 1000));
    start();
    EXPECT_EQ(w->geometry(), QRect(94, 67, 1212, 866));
    w->setGeometry(200, 100, 1100, 780);
    pump();
    w.reset();
    const auto saved = settings_window_geometry(ini(), "Main");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->rect, (s_place_rect{200, 100, 1100, 780}));
    EXPECT_FALSE(saved->maximized);

    start();
    EXPECT_EQ(w->geometry(), QRect(200, 100, 1100, 780));
    w->showMaximized();
    pump();
    w.reset();
    start();
    EXPECT_TRUE(w->isMaximized());
    w->showNormal();
    pump();
    EXPECT_EQ(w->geometry(), QRect(200, 100, 1100, 780));
}

TEST_F(WindowGeometry, APlaceOffEveryScreenComesBackCentredAtItsSize)
{
    ASSERT_TRUE(settings_set_window_geometry(ini(), "Main", {{-3000, 2500, 1100, 780}, false}));
    start();
    EXPECT_EQ(w->geometry(), QRect(150, 110, 1100, 780));
}

// The graph dialog opens centred on the main window, sized to the screen and
// within it, and comes back where it was left.
TEST_F(WindowGeometry, GraphDialogCentresOnTheMainWindowAndIsRemembered)
{
    start();
    w->move(120, 90);
    pump();
    auto* dialog = new graph_dialog(w.get(), graph_model{});
    dialog->show();
    pump();
    EXPECT_EQ(dialog->geometry().center(), w->geometry().center());
    EXPECT_TRUE(screen().contains(dialog->frameGeometry())) << dialog->frameGeometry().x();
    EXPECT_EQ(dialog->size(), QSize(1212, 866));
    dialog->setGeometry(50, 60, 1020, 640);
    delete dialog;
    dialog = new graph_dialog(w.get(), graph_model{});
    EXPECT_EQ(dialog->geometry(), QRect(50, 60, 1020, 640));
    delete dialog;
}

// A box opens centred on the window it concerns: the asking window when it
// is shown, else the dialog open over the program, else the main window.
TEST_F(WindowGeometry, MessageBoxesCentreOnTheWindowTheyConcern)
{
    start();
    w->setGeometry(40, 40, 1100, 780); // away from the screen's centre
    pump();
    qt_ui_backend backend;
    ui_set_backend(&backend);
    QDialog dialog(w.get());
    dialog.setGeometry(700, 500, 400, 300);
    QWidget hidden;
    struct s_case {
        const char* what;
        bool dialog_open;
        QWidget* owner;
        QWidget* centred_on;
    };
    const s_case cases[] = {
        {"raised from the open dialog", true, nullptr, &dialog},
        {"asked by a window not shown", true, &hidden, &dialog},
        {"asked by the main window", true, w.get(), w.get()},
        {"no window asks, none open", false, nullptr, w.get()},
    };
    for (const s_case& c : cases) {
        if (c.dialog_open) {
            dialog.open();
            ASSERT_TRUE(wait_until([&] { return QApplication::activeModalWidget() == &dialog; }));
        }
        QRect box;
        QTimer::singleShot(0, [&] {
            wait_until(
                [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); });
            auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!shown)
                return;
            pump();
            box = shown->geometry();
            shown->done(QMessageBox::Ok);
        });
        ui_message_box(c.owner, "Where am I?", "Tarvelo2", MB_OK);
        ASSERT_FALSE(box.isEmpty()) << c.what;
        // Qt centres the box's frame, which it guesses at up to 10 x 40
        // pixels before a window manager has drawn one.
        const QPoint off = box.center() - c.centred_on->geometry().center();
        EXPECT_TRUE(std::abs(off.x()) <= 10 && std::abs(off.y()) <= 40)
            << c.what << ": off by " << off.x() << "," << off.y();
        dialog.hide();
        pump();
    }
    ui_set_backend(&test_ui());
}

} // namespace
