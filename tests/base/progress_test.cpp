#include "base/exchange_job.h"
#include "base/progress_block.h"
#include "base/progress_display.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

TEST(ProgressDisplay, PercentModeStopsAtTotal)
{
    progress_display d;
    d.open();
    d.toggle_percent();
    d.set_range(50, 0);
    EXPECT_EQ(d.text(), "0% complete");
    EXPECT_FALSE(d.marquee());
    for (int i = 0; i < 25; ++i)
        d.step(0);
    EXPECT_EQ(d.text(), "50% complete");
    for (int i = 0; i < 40; ++i)
        d.step(0);
    EXPECT_EQ(d.position(), 50);
    EXPECT_EQ(d.text(), "100% complete");
    d.set_position(70, 0);
    EXPECT_EQ(d.position(), 50);
}

TEST(ProgressDisplay, ZeroTotalRestoresMarqueeWithoutText)
{
    progress_display d;
    d.open();
    d.set_range(10, 0);
    d.step(0);
    EXPECT_EQ(d.text(), "Progress: 1/10");
    d.set_range(0, 0);
    EXPECT_TRUE(d.marquee());
    EXPECT_EQ(d.text(), "");
    d.toggle_percent();
    d.step(0); // no range: no division by zero, position stays 0
    EXPECT_EQ(d.text(), "0% complete");
}

TEST(ProgressDisplay, EstimateShowsLargestUnitOfTimeLeft)
{
    progress_display d;
    d.open();
    d.toggle_estimate();
    EXPECT_TRUE(d.estimate_mode());
    d.set_range(10, 1000);
    EXPECT_EQ(d.text(), "Estimated time remaining: Unknown");
    d.step(1000 + 61'000); // 61 s per step, 9 steps left
    EXPECT_EQ(d.text(), "Estimated time remaining: 9 Minutes");
    d.set_position(9, 1000 + 9 * 2000);
    EXPECT_EQ(d.text(), "Estimated time remaining: 2 Seconds");
    // Percent mode switches the estimate off; estimate is refused while on.
    d.toggle_percent();
    EXPECT_FALSE(d.estimate_mode());
    d.toggle_estimate();
    EXPECT_FALSE(d.estimate_mode());
    EXPECT_TRUE(d.percent_mode());
}

namespace {

std::atomic<bool> release_worker{false};
std::atomic<int> worker_runs{0};

void blocked_worker(s_progress_block*)
{
    ++worker_runs;
    while (!release_worker)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void quick_worker(s_progress_block*)
{
    ++worker_runs;
}

void cancel_routine(s_progress_block*) {}

// A worker blocked (until release_worker) that its dialog has let go of
// after a cancel, as a sweep's still in its last read.
void start_and_let_go(s_progress_block& block)
{
    release_worker = false;
    block.worker = blocked_worker;
    block.cancel = cancel_routine;
    progress_start_worker(block);
    EXPECT_TRUE(progress_block_busy(block));
    EXPECT_TRUE(progress_start_cancel(block));
}

} // namespace

TEST(ProgressBlock, CancelledWorkerStillRunningKeepsBlockBusy)
{
    s_progress_block block;
    start_and_let_go(block);
    EXPECT_FALSE(block.worker_thread.joinable()); // the dialog let go of it
    progress_finish(block, 10'000);               // closes at once
    EXPECT_TRUE(progress_block_busy(block));      // ...but no new run yet
    release_worker = true;
    progress_wait_idle(block);
    EXPECT_FALSE(progress_block_busy(block));
}

TEST(ProgressBlock, FinishJoinsWorkerAndCancelWithoutRoutineDoesNothing)
{
    worker_runs = 0;
    s_progress_block block;
    block.worker = quick_worker;
    progress_start_worker(block);
    EXPECT_FALSE(progress_start_cancel(block));
    progress_finish(block, 10'000);
    EXPECT_FALSE(block.worker_thread.joinable());
    EXPECT_FALSE(progress_block_busy(block));
    EXPECT_EQ(worker_runs, 1);
}

TEST(ProgressBlock, FinishGivesUpOnAWorkerThatDoesNotEnd)
{
    release_worker = false;
    s_progress_block block;
    block.worker = blocked_worker;
    progress_start_worker(block);
    progress_finish(block, 50);
    EXPECT_FALSE(block.worker_thread.joinable());
    EXPECT_TRUE(progress_block_busy(block));
    release_worker = true;
    progress_wait_idle(block);
}

// A dialog holds its block from opening, a second before its worker starts:
// a second run opened in that second must be refused, and a worker is never
// started over one the block still holds.
TEST(ProgressBlock, OpenDialogKeepsBlockBusyAndWorkerIsNeverStartedTwice)
{
    struct fake_dialog : command_target {
        void on_command(int, intptr_t) override {}
    } dialog;
    release_worker = false;
    worker_runs = 0;
    s_progress_block block;
    block.worker = blocked_worker;
    block.dialog = &dialog;
    EXPECT_TRUE(progress_block_busy(block));
    progress_start_worker(block);
    progress_start_worker(block);
    release_worker = true;
    progress_finish(block, 10'000);
    EXPECT_EQ(worker_runs, 1);
    block.dialog = nullptr;
    EXPECT_FALSE(progress_block_busy(block));
}

// The exchange's outcome: cancelled whenever the flag was set before the
// work returned, whatever the work says; else what the work says. Cancel
// only sets the flag, which ends a work that waits on it.
TEST(Exchange, OutcomeFollowsTheWorkUnlessCancelled)
{
    struct s_case {
        bool result;
        bool cancel;
        exchange_outcome outcome;
    };
    for (const s_case c : {s_case{true, false, exchange_outcome::done},
                           s_case{false, false, exchange_outcome::failed},
                           s_case{true, true, exchange_outcome::cancelled},
                           s_case{false, true, exchange_outcome::cancelled}}) {
        s_exchange exchange;
        std::atomic<bool> waiting{false};
        exchange.work = [&](const std::atomic<bool>& cancel) {
            waiting = true;
            while (c.cancel && !cancel)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return c.result;
        };
        s_progress_block block;
        exchange_fill_block(block, exchange, "Instrument");
        EXPECT_EQ(block.start_delay_ms, 0);
        progress_start_worker(block);
        while (!waiting)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (c.cancel) {
            EXPECT_TRUE(progress_start_cancel(block));
        }
        progress_wait_idle(block);
        if (block.worker_thread.joinable())
            block.worker_thread.join();
        EXPECT_EQ(exchange.outcome, c.outcome) << c.result << c.cancel;
    }
}

// A worker its dialog let go of after a cancel may still be in a read on the
// link: an exchange started meanwhile runs its work only once that worker
// has returned, and a cancel while it waits ends it without the work.
TEST(Exchange, WaitsForAWorkerLetGoOfAfterACancel)
{
    for (const bool cancel_while_waiting : {false, true}) {
        s_progress_block sweep;
        start_and_let_go(sweep);
        std::atomic<bool> worked{false};
        std::atomic<bool> alone{false};
        s_exchange exchange;
        exchange.work = [&](const std::atomic<bool>&) {
            worked = true;
            alone = progress_workers_running() == 1;
            return true;
        };
        s_progress_block block;
        exchange_fill_block(block, exchange, "Instrument");
        progress_start_worker(block);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_FALSE(worked) << cancel_while_waiting;
        EXPECT_EQ(progress_workers_running(), 2);
        if (cancel_while_waiting) {
            EXPECT_TRUE(progress_start_cancel(block));
            progress_wait_idle(block);
        }
        release_worker = true;
        progress_wait_idle(sweep);
        progress_wait_idle(block);
        if (block.worker_thread.joinable())
            block.worker_thread.join();
        EXPECT_EQ(worked.load(), !cancel_while_waiting);
        EXPECT_EQ(alone.load(), !cancel_while_waiting);
        EXPECT_EQ(exchange.outcome,
                  cancel_while_waiting ? exchange_outcome::cancelled : exchange_outcome::done);
        EXPECT_EQ(progress_workers_running(), 0);
    }
}
