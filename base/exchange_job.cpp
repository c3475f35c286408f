// The worker and cancel routines of an instrument exchange.

#include "base/exchange_job.h"

#include "base/command_ids.h"

#include <chrono>
#include <thread>

namespace {

// A worker an earlier dialog let go of (a cancelled sweep still in its last
// read) may still hold the link: the exchange's own worker waits until it is
// the only one left, or until the user cancels.
void wait_until_sole_worker(const std::atomic<bool>& cancel)
{
    while (progress_workers_running() > 1 && !cancel)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

} // namespace

void exchange_fill_block(s_progress_block& block, s_exchange& exchange, const std::string& title)
{
    block.title = title;
    block.start_delay_ms = 0;
    block.worker = exchange_worker;
    block.cancel = exchange_cancel;
    block.context = &exchange;
}

void exchange_worker(s_progress_block* block)
{
    auto& exchange = *static_cast<s_exchange*>(block->context);
    wait_until_sole_worker(exchange.cancel);
    const bool done = !exchange.cancel && exchange.work && exchange.work(exchange.cancel);
    exchange.outcome = exchange.cancel ? exchange_outcome::cancelled
                       : done          ? exchange_outcome::done
                                       : exchange_outcome::failed;
    post_command(block->dialog, CMD_PROGRESS_FINISHED);
}

void exchange_cancel(s_progress_block* block)
{
    static_cast<s_exchange*>(block->context)->cancel = true;
}
