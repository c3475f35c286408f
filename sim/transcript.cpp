#include "sim/transcript.h"

#include <chrono>
#include <ctime>

namespace sim {

transcript::~transcript()
{
    if (file_) {
        std::fclose(file_);
    }
}

bool transcript::open(const std::string& path)
{
    file_ = std::fopen(path.c_str(), "w");
    return file_ != nullptr;
}

void transcript::received(std::string_view who, std::string_view text)
{
    write(who, "> ", text);
}

void transcript::sent(std::string_view who, std::string_view text)
{
    write(who, "< ", text);
}

void transcript::note(std::string_view who, std::string_view text)
{
    write(who, "* ", text);
}

void transcript::write(std::string_view who, std::string_view arrow, std::string_view text)
{
    if (!file_) {
        return;
    }
    const auto now = std::chrono::system_clock::now();
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const std::string line = escape_bytes(text);
    std::lock_guard lock(mutex_);
    std::fprintf(file_, "[%02d:%02d:%02d.%03d] %.*s %.*s%s\n", local.tm_hour, local.tm_min,
                 local.tm_sec, static_cast<int>(ms), static_cast<int>(who.size()), who.data(),
                 static_cast<int>(arrow.size()), arrow.data(), line.c_str());
    std::fflush(file_);
}

std::string escape_bytes(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c < 0x20 || c >= 0x7F || c == '\\') {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace sim
