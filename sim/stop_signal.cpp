#include "sim/stop_signal.h"

#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace sim {

stop_signal::stop_signal()
{
    if (::pipe2(pipe_, O_CLOEXEC) != 0) {
        throw std::runtime_error("cannot create the stop pipe");
    }
}

stop_signal::~stop_signal()
{
    ::close(pipe_[0]);
    ::close(pipe_[1]);
}

void stop_signal::request()
{
    {
        std::lock_guard lock(mutex_);
        if (stopped_.exchange(true)) {
            return;
        }
    }
    cv_.notify_all();
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(pipe_[1], &byte, 1);
}

bool stop_signal::sleep_for(std::chrono::nanoseconds duration)
{
    std::unique_lock lock(mutex_);
    return !cv_.wait_for(lock, duration, [this] { return stopped_.load(); });
}

} // namespace sim
