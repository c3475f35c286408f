// Start-up of the main window: building every window and control from the
// tables, the settings file and the default database, then showing it.

#include "app/ui/main_window.h"
#include "base/ui/mode_windows.h"
#include "base/ui/qt_seams.h"
#include "bench/support/bench_app.h"
#include "config/ui/config_window.h"

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

} // namespace
