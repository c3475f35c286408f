#pragma once
// A writer killed at each of its writes. kill_at_write runs the writer in a
// forked child under ptrace; a seccomp filter stops the child at every
// system call that changes a file (write, truncate, sync, link, rename,
// unlink), and at the n-th of them that touches a file (not a pipe, socket
// or terminal) the child is killed with SIGKILL before the call runs. Every
// thread the child starts is traced too. Linux only, no privileges needed.

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <functional>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <string>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kill_matrix_detail {

inline const std::vector<unsigned>& write_calls()
{
    static const std::vector<unsigned> calls{
        SYS_write,     SYS_pwrite64, SYS_writev,    SYS_pwritev, SYS_pwritev2,
        SYS_ftruncate, SYS_fsync,    SYS_fdatasync, SYS_rename,  SYS_renameat,
        SYS_renameat2, SYS_link,     SYS_linkat,    SYS_unlink,  SYS_unlinkat};
    return calls;
}

inline bool takes_descriptor(unsigned nr)
{
    return nr == SYS_write || nr == SYS_pwrite64 || nr == SYS_writev || nr == SYS_pwritev ||
           nr == SYS_pwritev2 || nr == SYS_ftruncate || nr == SYS_fsync || nr == SYS_fdatasync;
}

// Stops the process at every call of write_calls(), lets everything else run.
inline bool trace_writes()
{
    std::vector<sock_filter> program{
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
    const auto& calls = write_calls();
    for (size_t i = 0; i < calls.size(); ++i)
        program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, calls[i],
                                   static_cast<unsigned char>(calls.size() - i), 0));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRACE));
    const sock_fprog fprog{static_cast<unsigned short>(program.size()), program.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &fprog) == 0;
}

// The stopped call changes a file: a path, or a descriptor of a file.
inline bool touches_file(pid_t thread)
{
    __ptrace_syscall_info info{};
    if (::ptrace(PTRACE_GET_SYSCALL_INFO, thread, sizeof info, &info) <= 0 ||
        info.op != PTRACE_SYSCALL_INFO_SECCOMP)
        return false;
    const auto nr = static_cast<unsigned>(info.seccomp.nr);
    if (!takes_descriptor(nr))
        return true;
    const std::string link = "/proc/" + std::to_string(thread) + "/fd/" +
                             std::to_string(static_cast<int>(info.seccomp.args[0]));
    char target[512] = {};
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    return n > 0 && target[0] == '/' && std::string(target, 5) != "/dev/";
}

inline void end_child(pid_t child)
{
    ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(-1, &status, __WALL) > 0) {
    }
}

} // namespace kill_matrix_detail

// True when the child was killed at its n-th write (from 1); false when it
// ended before making that many.
inline bool kill_at_write(const std::function<void()>& writer, int n)
{
    using namespace kill_matrix_detail;
    const pid_t child = ::fork();
    if (child == 0) {
        ::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        ::raise(SIGSTOP);
        if (!trace_writes())
            ::_exit(99);
        writer();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::ptrace(PTRACE_SETOPTIONS, child, nullptr,
             PTRACE_O_TRACESECCOMP | PTRACE_O_EXITKILL | PTRACE_O_TRACECLONE | PTRACE_O_TRACEFORK |
                 PTRACE_O_TRACEEXEC);
    ::ptrace(PTRACE_CONT, child, nullptr, nullptr);
    int writes = 0;
    for (;;) {
        const pid_t thread = ::waitpid(-1, &status, __WALL);
        if (thread < 0)
            return false;
        if (WIFEXITED(status) || WIFSIGNALED(status)) {
            if (thread == child) {
                end_child(child);
                return false;
            }
            continue;
        }
        const int event = status >> 16;
        int pass = 0;
        if (event == PTRACE_EVENT_SECCOMP) {
            if (touches_file(thread) && ++writes == n) {
                end_child(child);
                return true;
            }
        } else if (event == 0 && WSTOPSIG(status) != SIGSTOP && WSTOPSIG(status) != SIGTRAP) {
            pass = WSTOPSIG(status); // a signal for the child itself
        }
        ::ptrace(PTRACE_CONT, thread, nullptr, reinterpret_cast<void*>(intptr_t(pass)));
    }
}

// One writer of the matrix: prepare() sets up the old state before every
// run, write() is the writer, check(killed) looks at what a run left.
struct kill_case {
    std::function<void()> prepare;
    std::function<void()> write;
    std::function<void(bool killed)> check;
};

// Kills the writer at its first write, then at its second, and so on until
// it ends by itself, checking after each run. Returns the kill points run.
inline int kill_at_every_write(const kill_case& c)
{
    for (int point = 1; point < 10000; ++point) {
        c.prepare();
        const bool killed = kill_at_write(c.write, point);
        c.check(killed);
        if (!killed)
            return point - 1;
    }
    return -1;
}
