#include "base/command_ids.h"
#include "base/ui/progress_dialog.h"
#include "tests/support/qt_test_app.h"

#include <QProgressBar>
#include <QPushButton>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

std::atomic<bool> hold{false};
std::atomic<bool> halfway{false};

void sweep_worker(s_progress_block* b)
{
    post_command(b->dialog, CMD_PROGRESS_STARTED);
    post_command(b->dialog, CMD_PROGRESS_RANGE, 50);
    for (int i = 0; i < 25; ++i)
        post_command(b->dialog, CMD_PROGRESS_STEP);
    post_text(b->dialog, CMD_PROGRESS_STATUS, "Reading sweep");
    halfway = true;
    while (hold)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    post_command(b->dialog, CMD_PROGRESS_FINISHED);
}

// Stands for a worker blocked in a read that only the cancel flag ends.
void stuck_worker(s_progress_block*)
{
    halfway = true;
    while (hold)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void cancel_routine(s_progress_block* b)
{
    post_text(b->dialog, CMD_PROGRESS_STATUS, "Cancelling");
    post_command(b->dialog, CMD_PROGRESS_FINISHED);
}

class ProgressDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_qt_app();
        hold = true;
        halfway = false;
    }
    void TearDown() override
    {
        hold = false;
        progress_wait_idle(block);
    }
    s_progress_block block;
};

} // namespace

TEST_F(ProgressDialog, StartsWorkerAfterASecondAndShowsPercentages)
{
    block.worker = sweep_worker;
    progress_dialog dialog(nullptr, block);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Download");
    EXPECT_EQ(dialog.status_text(), "Setting Up...");
    EXPECT_EQ(dialog.bar()->maximum(), 0); // marquee
    ASSERT_TRUE(wait_until([&] { return dialog.progress_text() == "50% complete"; }));
    EXPECT_EQ(dialog.bar()->maximum(), 50);
    EXPECT_EQ(dialog.bar()->value(), 25);
    ASSERT_TRUE(wait_until([&] { return dialog.status_text() == "Reading sweep"; }));
    post_command(&dialog, CMD_PROGRESS_STATUS, 0);
    pump();
    EXPECT_EQ(dialog.status_text(), "");
    post_command(&dialog, CMD_PROGRESS_RANGE, 0);
    pump();
    EXPECT_EQ(dialog.progress_text(), "");
    EXPECT_EQ(dialog.bar()->maximum(), 0);
    hold = false;
    ASSERT_TRUE(wait_until([&] { return !dialog.isVisible(); }));
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_FALSE(progress_block_busy(block));
}

TEST_F(ProgressDialog, CancelClosesAtOnceAndRefusesANewRunUntilTheWorkerEnds)
{
    block.title = "Sweep";
    block.worker = stuck_worker;
    block.cancel = cancel_routine;
    {
        progress_dialog dialog(nullptr, block);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), "Sweep");
        ASSERT_TRUE(wait_until([] { return halfway.load(); }));
        dialog.cancel_button()->click();
        ASSERT_TRUE(wait_until([&] { return !dialog.isVisible(); }, 5000));
    }
    EXPECT_TRUE(progress_block_busy(block));
    EXPECT_EQ(run_progress_dialog(nullptr, block), -1);
    hold = false;
    progress_wait_idle(block);
    EXPECT_FALSE(progress_block_busy(block));
}

TEST_F(ProgressDialog, CancelWithoutRoutineLeavesDialogOpen)
{
    block.worker = stuck_worker;
    progress_dialog dialog(nullptr, block);
    dialog.show();
    ASSERT_TRUE(wait_until([] { return halfway.load(); }));
    dialog.cancel_button()->click();
    pump();
    EXPECT_TRUE(dialog.isVisible());
    hold = false;
    post_command(&dialog, CMD_PROGRESS_FINISHED);
    ASSERT_TRUE(wait_until([&] { return !dialog.isVisible(); }));
}
