#pragma once
// How the window thread answers while work runs elsewhere: a probe that
// notes the longest wait between two turns of the event loop and counts the
// main window's paints.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QTimerEvent>
#include <algorithm>
#include <cstdint>

// Lives on the window thread: a timer every 20 ms notes the longest wait
// between two turns of the event loop, and the main window's paints are
// counted.
class loop_probe : public QObject {
public:
    loop_probe()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<QMainWindow*>(w); main && main->isVisible())
                main_ = main;
        if (main_)
            main_->installEventFilter(this);
        restart();
        startTimer(20);
    }
    void restart()
    {
        clock_.start();
        last_ = 0;
        gap_ = 0;
    }
    int64_t watched_ms() const { return clock_.elapsed(); }
    int64_t longest_gap_ms() const { return gap_; }
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
        gap_ = std::max(gap_, now - last_);
        last_ = now;
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints_;
        return false;
    }

private:
    QMainWindow* main_ = nullptr;
    QElapsedTimer clock_;
    int64_t last_ = 0;
    int64_t gap_ = 0;
    int paints_ = 0;
};
