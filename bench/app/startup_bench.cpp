// Start-up of the main window: building every window and control from the
// tables, the settings file and the default database, then showing it; and
// the time from the start to the window's first paint with a default
// database of 5000 sessions.

#include "app/ui/app_startup.h"
#include "app/ui/main_window.h"
#include "base/ui/mode_windows.h"
#include "base/ui/qt_seams.h"
#include "bench/support/bench_app.h"
#include "bench/support/bench_folder.h"
#include "bench/support/bench_sessions.h"
#include "config/ui/config_window.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <filesystem>

namespace {

QApplication& app()
{
    static qt_command_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    return bench_app();
}

void BM_MainWindowShown(benchmark::State& state)
{
    app();
    set_mode_window_factory("QXTarvelo2ConfigWClass", make_config_window);
    const auto dir = std::filesystem::temp_directory_path() / "tarvelo_startup_bench";
    std::filesystem::create_directories(dir);
    for (auto _ : state) {
        main_window w((dir / "data").string(), dir.string());
        w.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w.isVisible());
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_MainWindowShown)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Ends the loop at the first paint of a widget of the window.
class first_paint : public QObject {
public:
    first_paint(QWidget* window, QEventLoop& loop) : window_(window), loop_(loop)
    {
        qApp->installEventFilter(this);
    }
    ~first_paint() override { qApp->removeEventFilter(this); }
    first_paint(const first_paint&) = delete;
    first_paint& operator=(const first_paint&) = delete;
    bool painted = false;

protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(target);
        if (!painted && event->type() == QEvent::Paint && widget && widget->window() == window_) {
            painted = true;
            loop_.quit();
        }
        return false;
    }

private:
    QWidget* window_;
    QEventLoop& loop_;
};

void BM_FirstPaintWith5000Sessions(benchmark::State& state)
{
    app();
    app_register_windows();
    const bench_folder folder("tarvelo-first-paint-bench");
    bool is_new = false;
    db_open(folder.path + "/default.db", DB_OPEN_OR_CREATE, &is_new);
    bench_add_sessions(5000);
    db_close();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        main_window w(folder.path + "/data", folder.path);
        QEventLoop loop;
        const first_paint paint(&w, loop);
        w.show();
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (!paint.painted)
            state.SkipWithError("the window was not painted");
    }
}
BENCHMARK(BM_FirstPaintWith5000Sessions)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
