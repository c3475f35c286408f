// The seam through which long work leaves the window thread.

#include "base/off_window.h"

#include <mutex>

namespace {

std::mutex runner_mutex;
off_window_runner installed;
off_window_progress_sink progress_sink;

} // namespace

void off_window_set_runner(off_window_runner runner)
{
    const std::lock_guard lock(runner_mutex);
    installed = std::move(runner);
}

exchange_outcome run_off_window(const std::string& caption, const exchange_work& work)
{
    off_window_runner run;
    {
        const std::lock_guard lock(runner_mutex);
        run = installed;
    }
    if (run)
        return run(caption, work);
    const std::atomic<bool> never{false};
    return work(never) ? exchange_outcome::done : exchange_outcome::failed;
}

void off_window_set_progress_sink(off_window_progress_sink sink)
{
    const std::lock_guard lock(runner_mutex);
    progress_sink = std::move(sink);
}

void off_window_progress(int done, int total)
{
    off_window_progress_sink sink;
    {
        const std::lock_guard lock(runner_mutex);
        sink = progress_sink;
    }
    if (sink)
        sink(done, total);
}
