// The progress dialog around an instrument exchange.

#include "base/ui/exchange_dialog.h"

#include "base/command_ids.h"
#include "base/ui/progress_dialog.h"

const char* const EXCHANGE_DIALOG_TITLE = "Instrument";

namespace {

bool g_running = false; // window thread only

// Marks an exchange as running for as long as it runs.
struct running_mark {
    running_mark() { g_running = true; }
    ~running_mark() { g_running = false; }
    running_mark(const running_mark&) = delete;
    running_mark& operator=(const running_mark&) = delete;
};

} // namespace

exchange_outcome run_exchange(QWidget* owner, const std::string& caption, const exchange_work& work,
                              const char* title)
{
    if (g_running)
        return exchange_outcome::failed;
    const running_mark running;
    s_exchange exchange;
    exchange.work = work;
    s_progress_block block;
    exchange_fill_block(block, exchange, title);
    {
        progress_dialog dialog(owner, block);
        dialog.setProperty("exchange", true);
        dialog.on_command(CMD_PROGRESS_STATUS, reinterpret_cast<intptr_t>(&caption));
        dialog.run();
    }
    // The dialog closes only on the worker's last post; wait for its return.
    progress_wait_idle(block);
    if (block.worker_thread.joinable())
        block.worker_thread.join();
    return exchange.outcome;
}
