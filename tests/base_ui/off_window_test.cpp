// Long work handed to a worker: the window keeps turning its loop and holds
// back clicks meanwhile; after a second the progress dialog shows the
// caption, and its Cancel reaches the work.

#include "base/ui/off_window_dialog.h"
#include "base/ui/progress_dialog.h"
#include "tests/support/qt_test_app.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

struct off_window_case {
    const char* name;
    bool long_work; // runs until cancelled
    exchange_outcome outcome;
    bool dialog_shown;
};

const off_window_case CASES[] = {
    {"short work", false, exchange_outcome::done, false},
    {"long work cancelled", true, exchange_outcome::cancelled, true},
};

TEST(OffWindow, WorkRunsOnAWorkerWhileTheWindowAnswers)
{
    ensure_qt_app();
    off_window_use_dialog();
    QPushButton button(QStringLiteral("Press"));
    button.show();
    int pressed = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++pressed; });
    for (const off_window_case& c : CASES) {
        int ticks = 0;
        QString caption;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            ++ticks;
            QTest::mouseClick(&button, Qt::LeftButton);
            auto* dialog = qobject_cast<progress_dialog*>(QApplication::activeModalWidget());
            if (dialog && dialog->isVisible() && caption.isEmpty()) {
                caption = dialog->status_text();
                QTest::mouseClick(dialog->cancel_button(), Qt::LeftButton);
            }
        });
        watch.start(20);
        std::thread::id worker;
        const exchange_outcome outcome =
            run_off_window("Working", [&](const std::atomic<bool>& cancel) {
                worker = std::this_thread::get_id();
                for (int i = 0; i < 15 || (c.long_work && !cancel); ++i)
                    std::this_thread::sleep_for(20ms);
                return true;
            });
        watch.stop();
        EXPECT_EQ(outcome, c.outcome) << c.name;
        EXPECT_NE(worker, std::this_thread::get_id()) << c.name;
        EXPECT_GE(ticks, 5) << c.name << ": the loop stood still";
        EXPECT_EQ(pressed, 0) << c.name << ": a click got through while the work ran";
        EXPECT_EQ(caption == QStringLiteral("Working"), c.dialog_shown) << c.name;
        EXPECT_FALSE(off_window_busy()) << c.name;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << c.name;
    }
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(pressed, 1) << "clicks reach the window again";
    off_window_set_runner(nullptr);
}

} // namespace
