// The seam through which long work leaves the window thread.

#include "base/off_window.h"

#include <mutex>

namespace {

std::mutex runner_mutex;
off_window_runner installed;

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
