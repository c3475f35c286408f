// The worker and cancel routines of an instrument exchange.

#include "base/exchange_job.h"

#include "base/command_ids.h"

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
    const bool done = exchange.work && exchange.work(exchange.cancel);
    exchange.outcome = exchange.cancel ? exchange_outcome::cancelled
                       : done          ? exchange_outcome::done
                                       : exchange_outcome::failed;
    post_command(block->dialog, CMD_PROGRESS_FINISHED);
}

void exchange_cancel(s_progress_block* block)
{
    static_cast<s_exchange*>(block->context)->cancel = true;
}
