#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

namespace sim {

// A transcript of every exchange: one line per command received and per
// reply line sent, stamped with the time and the connection, control and
// top-bit bytes shown as \xNN. Lines from several connections interleave
// whole.
class transcript {
public:
    transcript() = default;
    ~transcript();
    transcript(const transcript&) = delete;
    transcript& operator=(const transcript&) = delete;

    // Opens (truncates) the file; false when it cannot be created.
    bool open(const std::string& path);

    void received(std::string_view who, std::string_view text);
    void sent(std::string_view who, std::string_view text);
    void note(std::string_view who, std::string_view text);

private:
    void write(std::string_view who, std::string_view arrow, std::string_view text);

    std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

// Printable form of wire bytes.
std::string escape_bytes(std::string_view bytes);

} // namespace sim
