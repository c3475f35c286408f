#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace sim {

// The simulator's one stop request, seen by every thread: sleeps end early
// and poll loops wake through a pipe that becomes readable on stop.
class stop_signal {
public:
    stop_signal();
    ~stop_signal();
    stop_signal(const stop_signal&) = delete;
    stop_signal& operator=(const stop_signal&) = delete;

    void request();
    bool requested() const { return stopped_.load(); }
    // A descriptor to poll for reading alongside a thread's own.
    int wake_fd() const { return pipe_[0]; }
    // Sleeps for the duration; returns false when woken by a stop.
    bool sleep_for(std::chrono::nanoseconds duration);

private:
    std::atomic<bool> stopped_{false};
    std::mutex mutex_;
    std::condition_variable cv_;
    int pipe_[2] = {-1, -1};
};

} // namespace sim
