#pragma once
// Watches the window thread from inside its event loop: a timer every 20 ms
// notes the longest wait between two turns of the loop, for the whole
// journey and since the last mark, and the main window's paints are counted.
// Made, used and deleted on the window thread. The harness's own stretches
// there (pictures, chart reads) are left out with pause(), and so is the
// time the thread was ready to run but waited for a core (the kernel's
// count in /proc/thread-self/schedstat): on a busy machine that wait is the
// machine's, not the program's.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QTimerEvent>
#include <algorithm>
#include <cstdint>
#include <fstream>

class loop_probe : public QObject {
public:
    loop_probe()
    {
        clock_.start();
        waited_at_start_ns_ = waiting_ns();
        startTimer(20);
    }
    // Starts a stretch of its own whose longest gap longest_since_mark() tells.
    void mark()
    {
        turn_ = own_time();
        mark_ = clock_.elapsed();
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
            turn_ = own_time();
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
        const int64_t now = own_time();
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
    // Milliseconds since the probe started, less those the window thread
    // spent waiting for a core.
    int64_t own_time() const
    {
        return clock_.elapsed() - (waiting_ns() - waited_at_start_ns_) / 1000000;
    }
    // The calling thread's wait for a core so far (0 where the kernel does
    // not count it).
    static int64_t waiting_ns()
    {
        std::ifstream stat("/proc/thread-self/schedstat");
        long long running = 0, waiting = 0;
        return stat >> running >> waiting ? waiting : 0;
    }

    QPointer<QMainWindow> main_;
    QElapsedTimer clock_;
    int64_t waited_at_start_ns_ = 0;
    int64_t turn_ = 0;
    int64_t mark_ = 0;
    int64_t longest_ = 0;
    int64_t since_mark_ = 0;
    int paused_ = 0;
    int paints_ = 0;
};
