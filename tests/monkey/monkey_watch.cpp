// The monkey's watchdog: heartbeat, database checks and the failure report.

#include "tests/monkey/monkey_watch.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr int kept_actions = 50;
constexpr auto block_limit = std::chrono::seconds(5);

// Fixed buffers, so a signal handler can print them without allocating.
char g_head[512];
char g_lines[kept_actions][240];
std::atomic<uint64_t> g_count{0};
std::mutex g_lines_mutex;
bool g_trace = false; // every action printed as it is done

std::atomic<int64_t> g_last_beat{0};
std::atomic<bool> g_watching{false};
std::thread g_watchdog;

int64_t now_ms()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void put(const char* text)
{
    const size_t size = std::strlen(text);
    for (size_t done = 0; done < size;) {
        const ssize_t n = ::write(STDERR_FILENO, text + done, size - done);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

// Async-signal-safe: fixed buffers and write(2) only.
void print_report(const char* why)
{
    put("\nmonkey: FAILED: ");
    put(why);
    put("\n");
    put(g_head);
    const uint64_t count = g_count.load();
    const uint64_t first = count > kept_actions ? count - kept_actions : 0;
    put("monkey: the last actions:\n");
    for (uint64_t i = first; i < count; ++i) {
        put("  ");
        put(g_lines[i % kept_actions]);
        put("\n");
    }
}

void on_fatal_signal(int sig)
{
    char why[64];
    std::snprintf(why, sizeof why, "fatal signal %d", sig);
    print_report(why);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

#if defined(__SANITIZE_ADDRESS__)
void on_sanitizer_death()
{
    print_report("the sanitizer's report above");
}
#endif

void arm_crash_reports()
{
    std::signal(SIGABRT, on_fatal_signal);
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer handles the memory faults itself and reports them.
    __sanitizer_set_death_callback(on_sanitizer_death);
#else
    for (int sig : {SIGSEGV, SIGBUS, SIGILL, SIGFPE})
        std::signal(sig, on_fatal_signal);
#endif
}

// Where the window thread (the process's first) stands, when the machine
// has a debugger to ask.
void print_window_thread_stack()
{
    const std::string command = "command -v gdb >/dev/null && timeout 30 gdb -p " +
                                std::to_string(::getpid()) +
                                " -batch -ex 'thread 1' -ex bt 2>/dev/null | grep '^#' >&2";
    put("monkey: the window thread stands at:\n");
    if (std::system(command.c_str()) != 0)
        put("  (no debugger to say)\n");
}

void watch_loop()
{
    while (g_watching) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const int64_t quiet = now_ms() - g_last_beat;
        if (g_watching && quiet > std::chrono::milliseconds(block_limit).count()) {
            print_window_thread_stack();
            watch_fail("the event loop was blocked for " + std::to_string(quiet / 1000) + " s");
        }
    }
}

bool is_sqlite_file(const fs::path& file)
{
    char head[16] = {};
    std::ifstream in(file, std::ios::binary);
    return in.read(head, sizeof head) && std::memcmp(head, "SQLite format 3", 16) == 0;
}

// "" when the file passes (or is busy just now), else why it fails.
std::string check_one(const fs::path& file)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::string problem;
    sqlite3_stmt* st = nullptr;
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, 2000);
        rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr);
    }
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(st);
        if (rc != SQLITE_ROW)
            break;
        const char* row = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        if (!row || std::strcmp(row, "ok") != 0)
            problem += std::string(problem.empty() ? "" : "; ") + (row ? row : "(null)");
    }
    const int primary = rc & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        problem += std::string(problem.empty() ? "" : "; ") + sqlite3_errstr(rc);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return problem;
}

} // namespace

void watch_begin(uint64_t seed, int seconds, const std::string& folder)
{
    std::snprintf(g_head, sizeof g_head,
                  "monkey: seed %llu; replay with: scripts/monkey %d %llu\n"
                  "monkey: test folder %s\n",
                  static_cast<unsigned long long>(seed), seconds,
                  static_cast<unsigned long long>(seed), folder.c_str());
    g_trace = std::getenv("MONKEY_TRACE") != nullptr;
    arm_crash_reports();
}

void watch_action(const std::string& what)
{
    std::lock_guard<std::mutex> lock(g_lines_mutex);
    const uint64_t n = g_count.load();
    std::snprintf(g_lines[n % kept_actions], sizeof g_lines[0], "#%llu %s",
                  static_cast<unsigned long long>(n + 1), what.c_str());
    g_count = n + 1;
    if (g_trace)
        std::printf("%s\n", g_lines[n % kept_actions]);
}

uint64_t watch_actions()
{
    return g_count;
}

void watch_beat()
{
    g_last_beat = now_ms();
}

void watch_start_heartbeat()
{
    watch_beat();
    g_watching = true;
    g_watchdog = std::thread(watch_loop);
}

void watch_stop_heartbeat()
{
    g_watching = false;
    if (g_watchdog.joinable())
        g_watchdog.join();
}

std::string watch_check_databases(const std::string& folder)
{
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || !is_sqlite_file(it->path()))
            continue;
        if (const std::string problem = check_one(it->path()); !problem.empty())
            return it->path().string() + ": " + problem;
    }
    return "";
}

void watch_fail(const std::string& why)
{
    print_report(why.c_str());
    std::fflush(stdout);
    std::_Exit(1);
}
