#pragma once
// Runs an instrument sweep from Python: the engine's worker on a thread of
// its own, the calling thread without the GIL, waking every 50 ms to let
// Python handle signals. Ctrl-C (KeyboardInterrupt) cancels the sweep as the
// progress dialog's Cancel does and waits for the worker to close the link;
// other signal handlers' exceptions do the same. An unfinished sweep raises
// the exception of its outcome with the program's message.

#include "base/command_ids.h"
#include "base/command_seam.h"
#include "link/link.h"
#include "python/py_support.h"
#include "sweep/sweep_core.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace tarvelo_py {

// Takes note of how the sweep ended; commands arrive on the worker thread.
class sweep_notice : public command_target {
public:
    explicit sweep_notice(int complete_id) : complete_id_(complete_id) {}
    void on_command(int id, intptr_t lparam) override
    {
        if (id == complete_id_)
            completed = true;
        else if (id == CMD_SWEEP_ENDED)
            outcome = static_cast<int>(lparam);
    }
    std::atomic<bool> completed{false};
    std::atomic<int> outcome{static_cast<int>(sweep_outcome::done)};

private:
    int complete_id_;
};

// Locks m without holding the GIL, so a thread that holds m and waits for
// the GIL cannot be blocked by one that holds the GIL and waits for m.
inline std::unique_lock<std::mutex> lock_without_gil(std::mutex& m)
{
    py::gil_scoped_release release;
    return std::unique_lock<std::mutex>(m);
}

// Runs a function on a thread of its own, keeping the texts of the boxes it
// shows. The caller waits without the GIL, waking every 50 ms to let Python
// handle signals.
class captured_thread {
public:
    template <class Function>
    explicit captured_thread(Function function)
        : thread_([this, function] {
              message_capture capture;
              function();
              std::lock_guard l(m_);
              messages_ = capture.text();
              finished_ = true;
              cv_.notify_all();
          })
    {
    }
    ~captured_thread()
    {
        if (thread_.joinable())
            join();
    }
    captured_thread(const captured_thread&) = delete;
    captured_thread& operator=(const captured_thread&) = delete;

    // Until the function has ended: false when a signal handler raised (its
    // exception pending), the function perhaps still running.
    bool wait()
    {
        for (;;) {
            {
                py::gil_scoped_release release;
                std::unique_lock l(m_);
                if (cv_.wait_for(l, std::chrono::milliseconds(50), [&] { return finished_; }))
                    return true;
            }
            if (PyErr_CheckSignals() != 0)
                return false;
        }
    }
    // Waits for the end without the GIL; the texts of the boxes shown.
    std::string join()
    {
        py::gil_scoped_release release;
        thread_.join();
        return messages_;
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool finished_ = false;
    std::string messages_;
    std::thread thread_; // last: it starts once the rest is there
};

// Runs work, which uses link, on a thread of its own while the caller waits
// for signals. Ctrl-C makes the link's reads return at once, waits for work
// to end and leaves the instrument idle (the reset byte) before the
// KeyboardInterrupt goes on. Returns the texts of the boxes work showed; an
// exception of work is thrown here.
template <class Work> std::string run_interruptible(s_link& link, Work work)
{
    std::atomic<bool> cancel{false};
    link_cancel_scope scope(link, cancel);
    std::exception_ptr failed;
    captured_thread thread([&] {
        try {
            work();
        } catch (...) {
            failed = std::current_exception();
        }
    });
    const bool completed = thread.wait();
    cancel = true;
    const std::string messages = thread.join();
    if (!completed) {
        py::gil_scoped_release release;
        link.cancel = nullptr;
        link_open(link); // opening sends the reset byte
        link_close(link);
    }
    if (!completed)
        throw py::error_already_set();
    if (failed)
        std::rethrow_exception(failed);
    return messages;
}

// Raises the exception of an unfinished sweep.
[[noreturn]] void raise_outcome(int outcome, const std::string& messages);

template <class Context, class Worker, class Cancel>
void run_sweep(std::mutex& busy, Context& ctx, int complete_id, Worker worker, Cancel cancel)
{
    auto lock = lock_without_gil(busy);
    sweep_notice notice(complete_id);
    ctx.notify = ctx.owner = &notice;
    ctx.request = 1;
    ctx.cancel = 0;
    ctx.incomplete = 0;
    ctx.received = 0;
    captured_thread thread([&] { worker(ctx); });
    const bool interrupted = !thread.wait();
    if (interrupted)
        cancel(ctx);
    const std::string messages = thread.join();
    if (interrupted)
        throw py::error_already_set();
    if (!notice.completed)
        raise_outcome(notice.outcome, messages);
}

} // namespace tarvelo_py
