#include "base/log_seam.h"

#include <atomic>

namespace {

std::atomic<log_writer>& writer_slot()
{
    static std::atomic<log_writer> slot{nullptr};
    return slot;
}

} // namespace

void log_seam_set_writer(log_writer writer)
{
    writer_slot().store(writer);
}

void log_seam_write(const std::string& text)
{
    if (const log_writer writer = writer_slot().load())
        writer(text);
}
