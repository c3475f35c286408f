// Starting, cancelling and ending the threads of a progress block.

#include "base/progress_block.h"

#include <chrono>

namespace {

std::atomic<int> g_workers{0};

// Runs a routine on a new thread; the block counts it until it returns, and
// so does the process when it is a worker.
std::thread launch(s_progress_block& block, progress_routine routine, bool worker)
{
    {
        std::lock_guard lock(block.mutex);
        ++block.running;
    }
    if (worker)
        ++g_workers;
    return std::thread([&block, routine, worker] {
        routine(&block);
        if (worker)
            --g_workers;
        std::lock_guard lock(block.mutex);
        --block.running;
        block.ended.notify_all();
    });
}

void release_worker(s_progress_block& block)
{
    if (block.worker_thread.joinable())
        block.worker_thread.detach();
}

} // namespace

bool progress_block_busy(s_progress_block& block)
{
    std::lock_guard lock(block.mutex);
    return block.running > 0 || block.worker_thread.joinable() || block.dialog != nullptr;
}

void progress_start_worker(s_progress_block& block)
{
    if (block.worker && !block.worker_thread.joinable())
        block.worker_thread = launch(block, block.worker, true);
}

int progress_workers_running()
{
    return g_workers;
}

bool progress_start_cancel(s_progress_block& block)
{
    if (!block.cancel)
        return false;
    launch(block, block.cancel, false).detach();
    release_worker(block);
    return true;
}

void progress_finish(s_progress_block& block, int timeout_ms)
{
    if (!block.worker_thread.joinable())
        return;
    std::unique_lock lock(block.mutex);
    const bool done = block.ended.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                           [&block] { return block.running == 0; });
    lock.unlock();
    if (done)
        block.worker_thread.join();
    else
        release_worker(block);
}

void progress_wait_idle(s_progress_block& block)
{
    std::unique_lock lock(block.mutex);
    block.ended.wait(lock, [&block] { return block.running == 0; });
}
