#pragma once
// What a window benchmark counts: the longest stretch the window thread
// spends away from its event loop while an action runs there, through the
// program's own runner of long work. A timer every millisecond notes each
// turn of the loop; the action's own waits (a nested loop while a worker
// runs) turn it too.

#include "base/ui/off_window_dialog.h"
#include "bench/support/bench_app.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QTimerEvent>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <functional>

class loop_gap : public QObject {
public:
    loop_gap()
    {
        bench_app();
        off_window_use_dialog();
        startTimer(1, Qt::PreciseTimer);
    }

    // Runs the action and books the longest stretch as the iteration's time
    // (the benchmark uses manual time); the whole action's wall time goes to
    // the counter work_ms, averaged.
    void measure(benchmark::State& state, const std::function<void()>& action)
    {
        QCoreApplication::processEvents();
        clock_.start();
        turn_ = 0;
        longest_ = 0;
        action();
        const qint64 end = clock_.nsecsElapsed();
        longest_ = std::max(longest_, end - turn_);
        state.SetIterationTime(double(longest_) / 1e9);
        work_ns_ += end;
        ++runs_;
        state.counters["work_ms"] = double(work_ns_) / 1e6 / double(runs_);
    }

protected:
    void timerEvent(QTimerEvent*) override
    {
        if (!clock_.isValid())
            return;
        const qint64 now = clock_.nsecsElapsed();
        longest_ = std::max(longest_, now - turn_);
        turn_ = now;
    }

private:
    QElapsedTimer clock_;
    qint64 turn_ = 0;
    qint64 longest_ = 0;
    qint64 work_ns_ = 0;
    int runs_ = 0;
};
