#pragma once
// Another program reading a database file: an sqlite3 process that holds a
// read transaction ("BEGIN; SELECT count(*) FROM Data;") until the object
// is destroyed, so that no other connection can commit a write meanwhile.

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

class sqlite_reader {
public:
    // out receives what the reader prints; its first line says it holds.
    sqlite_reader(const std::string& file, const std::string& out)
    {
        int fds[2];
        const int printed = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (printed < 0 || ::pipe(fds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[0], 0);
            ::dup2(printed, 1);
            ::close(fds[1]);
            ::execlp("sqlite3", "sqlite3", file.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(fds[0]);
        ::close(printed);
        input_ = fds[1];
        const std::string sql = "BEGIN; SELECT count(*) FROM Data;\n";
        holding_ = ::write(input_, sql.data(), sql.size()) == ssize_t(sql.size());
        for (int i = 0; holding_ && i < 500 && std::filesystem::file_size(out) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        holding_ = holding_ && std::filesystem::file_size(out) > 0;
    }
    ~sqlite_reader()
    {
        if (input_ >= 0)
            ::close(input_); // end of input: the reader rolls back and ends
        if (pid_ > 0)
            ::waitpid(pid_, nullptr, 0);
    }
    sqlite_reader(const sqlite_reader&) = delete;
    sqlite_reader& operator=(const sqlite_reader&) = delete;

    bool holding() const { return holding_; }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    bool holding_ = false;
};
