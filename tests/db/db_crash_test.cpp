#include "db/db_access.h"
#include "db_test_support.h"

#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int POINTS = 20000;

// The child stores one large test after another and reports each stored
// test on the pipe, until it is killed.
[[noreturn]] void store_until_killed(const std::string& file, int report)
{
    if (!db_open(file, DB_OPEN_EXISTING))
        ::_exit(2);
    s_test test;
    test.SessionNo = 1;
    for (int i = 0; i < POINTS; ++i) {
        const s_test_point point{double(i), 1.0, -double(i)};
        test_add_point(test, &point);
    }
    for (int k = 1;; ++k) {
        test.Name = "load " + std::to_string(k);
        if (!db_store_test(test))
            ::_exit(3);
        const char done = 'd';
        if (::write(report, &done, 1) != 1)
            ::_exit(4);
    }
}

// Runs the child, kills it with SIGKILL after `stored` tests plus a random
// moment, and returns how many tests it reported.
int kill_during_store(const std::string& file, int stored)
{
    int pipe_ends[2];
    if (::pipe(pipe_ends) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe_ends[0]);
        store_until_killed(file, pipe_ends[1]);
    }
    ::close(pipe_ends[1]);
    int reported = 0;
    char done = 0;
    while (reported < stored && ::read(pipe_ends[0], &done, 1) == 1)
        ++reported;
    std::mt19937 random(std::random_device{}());
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 20));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    while (::read(pipe_ends[0], &done, 1) == 1)
        ++reported;
    ::close(pipe_ends[0]);
    return WIFSIGNALED(status) ? reported : -1;
}

using DbCrash = db_fixture;

TEST_F(DbCrash, KillDuringLargeStoreLeavesEveryTestWholeOrAbsent)
{
    create();
    s_session session;
    session.Name = "load";
    ASSERT_EQ(db_save_session(session, false), 0);
    db_close();
    const std::string file = path("tests.db");

    bool killed_mid_store = false;
    for (int attempt = 0; attempt < 4 && !killed_mid_store; ++attempt) {
        const int reported = kill_during_store(file, 2);
        ASSERT_GE(reported, 2);
        killed_mid_store = std::filesystem::exists(file + "-journal");

        // Opening read-write rolls a hot journal back, as the program does.
        ASSERT_TRUE(db_open(file, DB_OPEN_EXISTING));
        db_close();
        EXPECT_EQ(raw_query(file, "PRAGMA integrity_check")[0][0], "ok");
        const auto tests =
            raw_query(file, "SELECT Test.TestNo, COUNT(Data.TestNo) FROM Test LEFT JOIN Data "
                            "ON Data.TestNo = Test.TestNo GROUP BY Test.TestNo");
        for (const auto& test : tests)
            EXPECT_EQ(test[1], std::to_string(POINTS)) << "test " << test[0];
        EXPECT_EQ(raw_query(file, "SELECT COUNT(*) FROM Data WHERE TestNo NOT IN "
                                  "(SELECT TestNo FROM Test)")[0][0],
                  "0");
    }
    EXPECT_TRUE(killed_mid_store);
}

} // namespace
