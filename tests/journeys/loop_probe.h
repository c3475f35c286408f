#pragma once
// Watches the window thread from inside its event loop: a timer every 20 ms
// notes the longest wait between two turns of the loop, for the whole
// journey and since the last mark, and the main window's paints are counted.
// Made, used and deleted on the window thread. The harness's own stretches
// there (pictures, chart reads) are left out with pause().

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QTimerEvent>
#include <algorithm>
#include <cstdint>

class loop_probe : public QObject {
public:
    loop_probe()
    {
        clock_.start();
        startTimer(20);
    }
    // Starts a stretch of its own whose longest gap longest_since_mark() tells.
    void mark()
    {
        turn_ = clock_.elapsed();
        mark_ = turn_;
        since_mark_ = 0;
    }
    int64_t since_mark_ms() const { return clock_.elapsed() - mark_; }
    int64_t longest_since_mark() const { return since_mark_; }
    int64_t longest() const { return longest_; }

    // The harness works on the window thread: that time is not the program's.
    void pause() { ++paused_; }
    void resume()
    {
        if (--paused_ == 0)
            turn_ = clock_.elapsed();
    }

    // Counts the paints of the shown main window from now on.
    void watch_paints()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<QMainWindow*>(w); main && main->isVisible())
                main_ = main;
        if (main_)
            main_->installEventFilter(this);
    }
    int paints() const { return paints_; }
    void repaint_main()
    {
        if (main_)
            main_->update();
    }

protected:
    void timerEvent(QTimerEvent*) override
    {
        const int64_t now = clock_.elapsed();
        if (paused_ == 0) {
            longest_ = std::max(longest_, now - turn_);
            since_mark_ = std::max(since_mark_, now - turn_);
        }
        turn_ = now;
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints_;
        return false;
    }

private:
    QPointer<QMainWindow> main_;
    QElapsedTimer clock_;
    int64_t turn_ = 0;
    int64_t mark_ = 0;
    int64_t longest_ = 0;
    int64_t since_mark_ = 0;
    int paused_ = 0;
    int paints_ = 0;
};
