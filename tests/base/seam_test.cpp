#include "base/command_seam.h"
#include "base/ui_seam.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

struct recorder : command_target {
    std::vector<std::pair<int, std::string>> seen;
    void on_command(int id, intptr_t lparam) override
    {
        seen.emplace_back(id, id == 7 ? *reinterpret_cast<std::string*>(lparam)
                                      : std::to_string(lparam));
    }
};

} // namespace

TEST(CommandSeam, PostsQueueUntilRunAndDropDeadTargets)
{
    scripted_dispatcher d;
    set_command_dispatcher(&d);
    recorder r;
    {
        recorder gone;
        post_command(&gone, 1, 5);
    }
    std::thread worker([&] {
        post_command(&r, 2, 42);
        post_text(&r, 7, "countdown 00:05");
    });
    worker.join();
    EXPECT_TRUE(r.seen.empty());
    EXPECT_EQ(d.run_pending(), 3);
    ASSERT_EQ(r.seen.size(), 2u);
    EXPECT_EQ(r.seen[0], (std::pair<int, std::string>{2, "42"}));
    EXPECT_EQ(r.seen[1], (std::pair<int, std::string>{7, "countdown 00:05"}));
    send_command(&r, 3, 9);
    EXPECT_EQ(r.seen.size(), 3u);
    set_command_dispatcher(nullptr);
}

TEST(UiSeam, ScriptedAnswersThenDefaults)
{
    scripted_ui ui;
    ui_set_backend(&ui);
    ui.push_answer(IDYES);
    EXPECT_EQ(ui_message_box(nullptr, "Overwrite?", "Tarvelo2", MB_YESNO), IDYES);
    EXPECT_EQ(ui_message_box(nullptr, "Again?", "Tarvelo2", MB_YESNO), IDNO);
    EXPECT_EQ(ui_message_box(nullptr, "Done", "Tarvelo2", MB_OK), IDOK);
    {
        wait_cursor busy;
        EXPECT_EQ(ui.wait_cursor_depth(), 1);
    }
    EXPECT_EQ(ui.wait_cursor_depth(), 0);
    ASSERT_EQ(ui.shown().size(), 3u);
    EXPECT_EQ(ui.shown()[1].text, "Again?");
    ui_set_backend(nullptr);
}

TEST(UiSeam, FileChooserTakesTheDefaultSuffixOnlyWhenTheNameHasNone)
{
    const struct {
        const char* typed;
        const char* suffix;
        const char* chosen;
    } cases[] = {
        {"/data/tests", "db", "/data/tests.db"},
        {"/data/tests.sqlite", "db", "/data/tests.sqlite"},
        {"/data.d/tests", "db", "/data.d/tests.db"}, // a dot in a folder is no suffix
        {"/data/run", "", "/data/run"},
        {"/data/", "db", "/data/"},
    };
    scripted_ui ui;
    ui_set_backend(&ui);
    for (const auto& c : cases) {
        ui.push_file(c.typed, 1);
        ui_file_choice choice;
        ASSERT_TRUE(ui_choose_file(nullptr, {true, "Save", "A (*.a);;B (*.b)", c.suffix, "", 0},
                                   choice));
        EXPECT_EQ(choice.path, c.chosen) << c.typed;
        EXPECT_EQ(choice.filter, 1);
    }
    ui.push_file_cancel();
    ui_file_choice untouched{"kept", 3};
    EXPECT_FALSE(ui_choose_file(nullptr, {}, untouched)); // the scripted cancel
    EXPECT_FALSE(ui_choose_file(nullptr, {}, untouched)); // an empty queue cancels too
    EXPECT_EQ(untouched.path, "kept");
    EXPECT_EQ(ui.file_requests().size(), std::size(cases) + 2);
    EXPECT_TRUE(ui.file_requests().front().save);
    ui_set_backend(nullptr);
}
