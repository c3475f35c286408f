#include "link/comms_log.h"

#include "base/log_seam.h"
#include "base/ui_seam.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <sys/stat.h>

namespace {

std::atomic<bool> g_enabled{false};
std::atomic<uint64_t> g_exchange{0};

std::mutex& path_mutex()
{
    static std::mutex m;
    return m;
}

std::string& path_text()
{
    static std::string path;
    return path;
}

std::string time_prefix()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "[%02d:%02d:%02d.%03d] ", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms));
    return text;
}

bool file_exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// Appends text with line feeds written as CR LF, the way the log has always
// been written, so it reads the same on every machine.
void append_text(const std::string& path, const std::string& text)
{
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f)
        return;
    for (char c : text) {
        if (c == '\n')
            std::fputc('\r', f);
        std::fputc(c, f);
    }
    std::fclose(f);
}

void debug_output(const std::string& entry)
{
#ifndef NDEBUG
    std::fputs(entry.c_str(), stderr);
#else
    (void)entry;
#endif
}

// Creates the file with its opening line; false (and logging off) when the
// file cannot be created.
bool ensure_file(const std::string& path, const std::string& prefix)
{
    if (file_exists(path))
        return true;
    append_text(path, prefix + " ***\tLOG FILE OPENED\t***\n");
    if (file_exists(path))
        return true;
    g_enabled = false;
    ui_message_box(nullptr, "Error opening comms log for writing\nComms Logging disabled", "Error",
                   MB_OK);
    return false;
}

// The diagnostic lines of the layers below the link (the automation layer's
// spreadsheet version) go into this log wherever the link is linked in.
[[maybe_unused]] const bool takes_diagnostic_lines = (log_seam_set_writer(comms_log_write), true);

} // namespace

void comms_log_write(const std::string& text)
{
    const std::string prefix = time_prefix();
    const std::string entry = prefix + text;
    const std::string path = comms_log_path();
    if (!g_enabled || path.empty()) {
        debug_output(entry);
        return;
    }
    if (ensure_file(path, prefix))
        append_text(path, entry);
}

bool comms_log_enabled()
{
    return g_enabled;
}

void comms_log_toggle()
{
    g_enabled = !g_enabled;
}

std::string comms_log_path()
{
    std::lock_guard lock(path_mutex());
    return path_text();
}

void comms_log_set_path(const std::string& path)
{
    std::lock_guard lock(path_mutex());
    path_text() = path.substr(0, COMMS_LOG_PATH_MAX);
}

void comms_log_start(const std::string& folder)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += COMMS_LOG_FILE_NAME;
    std::remove(path.c_str());
    comms_log_set_path(path);
    g_enabled = true;
}

uint64_t comms_log_next_exchange()
{
    return ++g_exchange;
}
