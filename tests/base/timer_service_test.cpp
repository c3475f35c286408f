#include "base/command_ids.h"
#include "base/timer_service.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

struct recorder : command_target {
    std::vector<int> commands;
    std::vector<std::string> texts;
    void on_command(int id, intptr_t lparam) override
    {
        if (id == CMD_SET_TEXT)
            texts.push_back(*reinterpret_cast<std::string*>(lparam));
        else
            commands.push_back(id);
    }
};

class TimerList : public ::testing::Test {
protected:
    void SetUp() override { set_command_dispatcher(&dispatcher); }
    void TearDown() override { set_command_dispatcher(nullptr); }

    scripted_dispatcher dispatcher;
    recorder window;
    recorder label;
    timer_list timers;
};

} // namespace

TEST_F(TimerList, FiresOnceWhenDueAndLeavesOnTheNextTick)
{
    const int id = timers.add(1000, &window, CMD_START_SWEEP, 5000);
    EXPECT_GT(id, 0);
    timers.tick(5999);
    dispatcher.run_pending();
    EXPECT_TRUE(window.commands.empty());
    timers.tick(6000);
    timers.tick(6100);
    dispatcher.run_pending();
    EXPECT_EQ(window.commands, std::vector<int>{CMD_START_SWEEP});
    EXPECT_EQ(timers.size(), 0u);
    EXPECT_FALSE(timers.cancel(id));
}

TEST_F(TimerList, CancelledTimerNeverFires)
{
    const int id = timers.add(1000, &window, CMD_START_SWEEP, 0);
    const int other = timers.add(2000, &window, 7, 0);
    EXPECT_NE(id, other);
    EXPECT_TRUE(timers.cancel(id));
    EXPECT_TRUE(timers.cancel(id));
    timers.tick(1500);
    EXPECT_FALSE(timers.cancel(id));
    timers.tick(2000);
    dispatcher.run_pending();
    EXPECT_EQ(window.commands, std::vector<int>{7});
    EXPECT_GT(timers.add(1, &window, 8, 0), other);
}

TEST_F(TimerList, CountdownTextsRunDownToZero)
{
    timers.add_countdown(90000, &window, CMD_START_SWEEP, &label, true, 0);
    timers.tick(500);
    timers.tick(60000);
    timers.tick(90050);
    dispatcher.run_pending();
    EXPECT_EQ(label.texts,
              (std::vector<std::string>{"00:01:30\n", "00:01:29\n", "00:00:30\n", "00:00:00\n"}));
    EXPECT_EQ(window.commands, std::vector<int>{CMD_START_SWEEP});
}

TEST_F(TimerList, ElapsedCountdownCountsUp)
{
    timers.add_countdown(10000000, &window, 1, &label, false, 1000);
    timers.tick(1000 + 3723000);
    dispatcher.run_pending();
    EXPECT_EQ(label.texts.back(), "01:02:03\n");
}

TEST(TimerCountdownText, HoursWrapAndNegativesAreZero)
{
    EXPECT_EQ(timer_countdown_text(25LL * 3600000), "01:00:00\n");
    EXPECT_EQ(timer_countdown_text(-5), "00:00:00\n");
    EXPECT_EQ(timer_countdown_text(59999), "00:00:59\n");
}

TEST(TimerService, PostsItsCommandAboutOnTimeFromItsOwnThread)
{
    scripted_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    recorder window;
    const int64_t start = clock_ms();
    timer_add(1000, &window, CMD_START_SWEEP);
    int64_t fired_at = 0;
    while (clock_ms() - start < 10000) {
        if (dispatcher.run_pending() > 0 && fired_at == 0)
            fired_at = clock_ms();
        if (fired_at != 0 && clock_ms() - fired_at > 300)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    set_command_dispatcher(nullptr);
    EXPECT_EQ(window.commands, std::vector<int>{CMD_START_SWEEP});
    EXPECT_GE(fired_at - start, 1000);
    // About 100 ms late at most on an idle machine; loaded test machines get slack.
    EXPECT_LT(fired_at - start, 2500);
}

TEST(TimerService, CancelFromTheWindowThreadStopsIt)
{
    scripted_dispatcher dispatcher;
    set_command_dispatcher(&dispatcher);
    recorder window;
    const int id = timer_add(300, &window, 1);
    EXPECT_TRUE(timer_cancel(id));
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    dispatcher.run_pending();
    EXPECT_TRUE(window.commands.empty());
    EXPECT_FALSE(timer_cancel(id));
    set_command_dispatcher(nullptr);
}
