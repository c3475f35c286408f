// Every command of the database form that writes, against a file it cannot
// write: read-only, locked by another process, or a process killed while it
// deletes. Each time the user is told, and the file stays whole: same
// counts, intact, and no point or test without its owner.
#include "db/db_connection.h"
#include "db_form_support.h"

#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Makes the file unwritable: immutable for root (who ignores modes), mode
// 0444 for everybody else. False when neither holds.
bool make_read_only(const std::string& file, bool on)
{
    if (::geteuid() != 0)
        return ::chmod(file.c_str(), on ? 0444 : 0644) == 0;
    const int fd = ::open(file.c_str(), O_RDONLY);
    int flags = 0;
    bool ok = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// Another process holding an exclusive transaction until released.
class lock_holder {
public:
    explicit lock_holder(const std::string& file)
    {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(release_) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            sqlite3* handle = nullptr;
            sqlite3_open_v2(file.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr);
            const char ok =
                sqlite3_exec(handle, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK
                    ? 'y'
                    : 'n';
            char wait = 0;
            if (::write(ready[1], &ok, 1) == 1)
                (void)!::read(release_[0], &wait, 1);
            ::_exit(0);
        }
        char ok = 0;
        locked_ = ::read(ready[0], &ok, 1) == 1 && ok == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~lock_holder()
    {
        if (pid_ > 0) {
            (void)!::write(release_[1], "r", 1);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(release_[0]);
        ::close(release_[1]);
    }
    bool locked() const { return locked_; }

private:
    pid_t pid_ = -1;
    int release_[2] = {-1, -1};
    bool locked_ = false;
};

class DbFormFaults : public db_fixture {
protected:
    void SetUp() override
    {
        db_fixture::SetUp();
        create();
        file = path("tests.db");
        db_set_current_path(file);
        add_session("alpha", "u1", {"a1", "a2"});
        add_session("bravo", "u2", {"b1"});
        write_file("sweep.txt", "1\t10\t-1\t5\n2\t20\t-2\t4\n");
    }

    void TearDown() override
    {
        make_read_only(file, false);
        db_fixture::TearDown();
    }

    // A form listing the sessions with the first session and its first
    // test selected, as the user leaves it before a command.
    void prepare(db_form& form)
    {
        form.refresh_sessions(false);
        form.select_session(0);
        form.tests.selected = 0;
        ui.set_default_yes(true);
        ui.push_file(path("sweep.txt"));
    }

    // Runs one writing command of the form.
    static bool run(db_form& form, int command)
    {
        s_session session;
        session.Name = "new";
        switch (command) {
        case 0: return form.delete_test();
        case 1: return form.delete_session();
        case 2: return form.store_new_session(session);
        default: return form.import_sweep();
        }
    }

    std::string file;
};

TEST_F(DbFormFaults, ReadOnlyOrLockedFileIsReportedAndLeftWhole)
{
    const std::string before = file_counts(file);
    for (int condition = 0; condition < 2; ++condition) {
        for (int command = 0; command < 4; ++command) {
            SCOPED_TRACE("condition " + std::to_string(condition) + " command " +
                         std::to_string(command));
            db_close();
            ui.clear();
            if (condition == 0 && !make_read_only(file, true))
                GTEST_SKIP() << "this file system cannot make a file read-only";
            ASSERT_TRUE(db_open(file, DB_OPEN_EXISTING));
            db_form form;
            prepare(form);
            {
                std::unique_ptr<lock_holder> lock;
                if (condition == 1) {
                    lock = std::make_unique<lock_holder>(file);
                    ASSERT_TRUE(lock->locked());
                }
                EXPECT_FALSE(run(form, command));
            }
            EXPECT_FALSE(ui.shown().empty());
            EXPECT_EQ(ui.shown().back().caption, "Database Error");
            EXPECT_FALSE(db_in_transaction());
            db_close();
            make_read_only(file, false);
            EXPECT_EQ(integrity(file), "ok");
            EXPECT_EQ(file_counts(file), before);
            EXPECT_EQ(orphans(file), "0");
        }
    }
}

TEST_F(DbFormFaults, KilledWhileDeletingASessionLeavesItWhole)
{
    db_close();
    ASSERT_TRUE(db_open(file, DB_OPEN_EXISTING));
    std::vector<std::string> many(40, "t");
    add_session("heavy", "u3", many, 3000);
    db_close();
    const std::string before = file_counts(file);
    bool killed_mid_delete = false;
    for (int attempt = 0; attempt < 6 && !killed_mid_delete; ++attempt) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (!db_open(file, DB_OPEN_EXISTING))
                ::_exit(2);
            db_form form;
            form.refresh_sessions(false);
            form.select_session(form.sessions.find(3));
            ui.set_default_yes(true);
            form.delete_session();
            ::_exit(0);
        }
        const std::string journal = file + "-journal";
        for (int i = 0; i < 200000 && !std::filesystem::exists(journal); ++i)
            ::usleep(20);
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        killed_mid_delete = std::filesystem::exists(journal);
        ASSERT_TRUE(db_open(file, DB_OPEN_EXISTING)); // rolls the hot journal back
        db_close();
        EXPECT_EQ(integrity(file), "ok");
        EXPECT_EQ(orphans(file), "0");
        if (killed_mid_delete) {
            EXPECT_EQ(file_counts(file), before);
        }
    }
    EXPECT_TRUE(killed_mid_delete);
}

} // namespace
