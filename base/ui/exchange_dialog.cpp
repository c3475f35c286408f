// The progress dialog around an instrument exchange.

#include "base/ui/exchange_dialog.h"

#include "base/command_ids.h"
#include "base/ui/progress_dialog.h"

#include <atomic>

const char* const EXCHANGE_DIALOG_TITLE = "Instrument";

namespace {

std::atomic<int> g_open{0};

// Counts the open dialog for as long as it runs.
struct open_count {
    open_count() { ++g_open; }
    ~open_count() { --g_open; }
    open_count(const open_count&) = delete;
    open_count& operator=(const open_count&) = delete;
};

} // namespace

exchange_outcome run_exchange(QWidget* owner, const std::string& caption, const exchange_work& work)
{
    if (exchange_running())
        return exchange_outcome::failed;
    const open_count counted;
    s_exchange exchange;
    exchange.work = work;
    s_progress_block block;
    exchange_fill_block(block, exchange, EXCHANGE_DIALOG_TITLE);
    {
        progress_dialog dialog(owner, block);
        dialog.setProperty("exchange", true);
        dialog.on_command(CMD_PROGRESS_STATUS, reinterpret_cast<intptr_t>(&caption));
        dialog.exec();
    }
    // The dialog closes only on the worker's last post; wait for its return.
    progress_wait_idle(block);
    if (block.worker_thread.joinable())
        block.worker_thread.join();
    return exchange.outcome;
}

bool exchange_running()
{
    return g_open > 0;
}
