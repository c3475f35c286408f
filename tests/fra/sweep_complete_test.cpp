#include "base/ui_seam.h"
#include "db/db_access.h"
#include "db/db_connection.h"
#include "db/db_verdict.h"
#include "fra/sweep_complete.h"
#include "sweep/limit_set.h"
#include "sweep/sweep_series.h"
#include "tests/support/sqlite_reader.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

class SweepComplete : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tarvelo-fra-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        ui_set_backend(&ui);
        ctx.sweep.count = 3;
        ctx.sweep.phase_convention = 1;
        for (int i = 0; i < 3; ++i) {
            s_fra_result& p = ctx.sweep.points[static_cast<size_t>(i)];
            const double v[] = {1000.0 * (i + 1), 0.5, 0.25, -6.0 * i, -90.0, 1.5e-4, 7, 7, 7, 7};
            std::copy(std::begin(v), std::end(v), p.v);
        }
    }
    void TearDown() override
    {
        db_close();
        ui_set_backend(nullptr);
        std::filesystem::remove_all(dir);
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::string dir;
    scripted_ui ui;
    FraSweepContext ctx;
    FraResults results;
};

} // namespace

TEST_F(SweepComplete, TableRowsAndTheSweepFile)
{
    s_sweep_store store{dir, 1, nullptr, 0};
    const s_sweep_outcome out = fra_complete_sweep(ctx, results, store);
    EXPECT_EQ(results.count, 3);
    EXPECT_EQ(results.phase_convention, 1);
    EXPECT_EQ(results.points[2].v[9], 7); // the whole block is copied
    ASSERT_EQ(out.rows.size(), 3u);
    EXPECT_EQ(
        out.rows[1],
        "2\t2000.0000\t5.00000E-001\t2.50000E-001\t-6.00000E+000\t-9.00000E+001\t1.50000E-004");
    EXPECT_TRUE(out.file_written);
    EXPECT_EQ(read("sweep1.dat"),
              "01-01-1970 - 00:00\r\n" + out.rows[0] + "\r\n" + out.rows[1] + "\r\n" + out.rows[2]);
    store.sweep_number = 4;
    fra_complete_sweep(ctx, results, store);
    EXPECT_TRUE(std::filesystem::exists(dir + "/sweep4.dat"));
}

TEST_F(SweepComplete, UnwritableFolderStillFillsTheTable)
{
    const s_sweep_outcome out = fra_complete_sweep(ctx, results, {dir + "/missing", 1, nullptr, 0});
    EXPECT_FALSE(out.file_written);
    EXPECT_EQ(out.rows.size(), 3u);
    EXPECT_TRUE(ui.shown().empty());
}

TEST_F(SweepComplete, StoresTheTestWithItsPoints)
{
    bool is_new = false;
    ASSERT_TRUE(db_open(dir + "/t.db", DB_OPEN_OR_CREATE, &is_new));
    s_test test;
    test.SessionNo = 1;
    test.Name = "Run";
    test.Winding = "HV";
    const s_sweep_outcome out = fra_complete_sweep(ctx, results, {dir, 1, &test, 0});
    ASSERT_TRUE(out.stored);
    ASSERT_GT(test.TestNo, 0);
    s_test back;
    ASSERT_EQ(db_get_test(back, test.TestNo, true), 0);
    EXPECT_EQ(back.Name, "Run");
    ASSERT_EQ(back.points.count(), 3);
    EXPECT_DOUBLE_EQ(back.points[2].Frequency, 3000);
    EXPECT_DOUBLE_EQ(back.points[2].Amplitude, -12);
    EXPECT_DOUBLE_EQ(back.points[2].Phase, -90);
}

// A sweep judged against limits is stored with its verdict; without a
// database the verdict is still given.
TEST_F(SweepComplete, AJudgedSweepIsStoredWithItsVerdict)
{
    bool is_new = false;
    ASSERT_TRUE(db_open(dir + "/t.db", DB_OPEN_OR_CREATE, &is_new));
    limit_set limits;
    std::string error;
    limits.name = "gain.json";
    ASSERT_TRUE(limit_set_parse(R"j({"checks": [{"quantity": "Gain", "at_hz": 2500, "low": -5,
                                "high": 5}]})j",
                                limits, error));
    s_test test;
    test.SessionNo = 1;
    const s_sweep_outcome out = fra_complete_sweep(ctx, results, {dir, 1, &test, 0, &limits});
    ASSERT_TRUE(out.stored);
    ASSERT_TRUE(out.verdict);
    const std::string failed = "Gain at 2500 Hz: -9, outside -5 to 5";
    EXPECT_EQ(out.verdict->failed, std::vector<std::string>{failed});
    s_test_verdict back;
    bool found = false;
    ASSERT_EQ(db_read_verdict(test.TestNo, back, found), 0);
    ASSERT_TRUE(found);
    EXPECT_FALSE(back.pass);
    EXPECT_EQ(back.limits, "gain.json");
    EXPECT_EQ(back.failed, std::vector<std::string>{failed});
    EXPECT_EQ(fra_complete_sweep(ctx, results, {dir, 2, nullptr, 0, &limits}).verdict->failed,
              out.verdict->failed);
}

// Another program reading the file holds the store back: the sweep is not
// claimed as stored, the lock is reported, and the sweep file stays for a
// later import.
TEST_F(SweepComplete, ASweepTheDatabaseCannotTakeKeepsItsFile)
{
    bool is_new = false;
    ASSERT_TRUE(db_open(dir + "/t.db", DB_OPEN_OR_CREATE, &is_new));
    s_test test;
    test.SessionNo = 1;
    test.Name = "Run";
    sqlite_reader reader(dir + "/t.db", dir + "/reader.txt");
    ASSERT_TRUE(reader.holding());
    const s_sweep_outcome out = fra_complete_sweep(ctx, results, {dir, 4, &test, 0});
    EXPECT_FALSE(out.stored);
    EXPECT_EQ(test.TestNo, 0);
    EXPECT_EQ(out.file, dir + "/sweep4.dat");
    EXPECT_TRUE(std::filesystem::exists(out.file));
    ASSERT_FALSE(ui.shown().empty());
    EXPECT_EQ(ui.shown().back().caption, "Database Error");
    EXPECT_EQ(ui.shown().back().text, "Database file is locked\nError Code: 5");
    s_test none;
    EXPECT_EQ(db_get_test(none, 1, true), 0);
    EXPECT_EQ(none.TestNo, DB_NO_SUCH_ROW);
}

namespace {

struct timer_log {
    static inline std::vector<double> added;
    static inline std::vector<int> cancelled;
    static int add(double ms, command_target*, int message, command_target*, bool)
    {
        EXPECT_EQ(message, 32800);
        added.push_back(ms);
        return static_cast<int>(added.size());
    }
    static bool cancel(int id)
    {
        cancelled.push_back(id);
        return true;
    }
};

} // namespace

TEST(SweepSeries, ThreeSweepsArmTheTimerBeforeTheFirstTwoOnly)
{
    timer_log::added.clear();
    timer_log::cancelled.clear();
    const s_timer_hooks hooks{timer_log::add, timer_log::cancel};
    s_sweep_series s;
    s.repeating = true;
    s.running = 1;
    s.sweeps_total = 3;
    s.interval_ms = 120000;
    s.save_to_db = true;
    s.test.Name = "Run";
    std::vector<std::string> names;
    bool ended = false;
    for (int sweep = 0; sweep < 3; ++sweep) {
        EXPECT_FALSE(ended);
        sweep_series_before_sweep(s, nullptr, 32800, nullptr, hooks);
        names.push_back(s.test.Name);
        s.test.TestNo = 40 + sweep; // as storing would set it
        ended = sweep_series_after_sweep(s, hooks);
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(timer_log::added, (std::vector<double>{120000, 120000}));
    EXPECT_EQ(timer_log::cancelled, std::vector<int>{2});
    EXPECT_EQ(names, (std::vector<std::string>{"Run", "Run 2", "Run 3"}));
    EXPECT_EQ(s.running, 0);
    EXPECT_EQ(sweep_series_progress_text(s), "3/3");
}

TEST(SweepSeries, SingleSweepNeitherArmsNorCounts)
{
    timer_log::added.clear();
    const s_timer_hooks hooks{timer_log::add, timer_log::cancel};
    s_sweep_series s;
    s.running = 1;
    s.save_to_db = true;
    s.test.Name = "One";
    s.test.TestNo = 12;
    sweep_series_before_sweep(s, nullptr, 32800, nullptr, hooks);
    EXPECT_EQ(s.test.TestNo, 0);
    EXPECT_EQ(s.test.Name, "One");
    EXPECT_FALSE(sweep_series_after_sweep(s, hooks));
    EXPECT_TRUE(timer_log::added.empty());
    EXPECT_EQ(s.running, 0);
    EXPECT_EQ(s.sweeps_done, 0);
}
