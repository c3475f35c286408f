#include "base/timer_service.h"

#include "base/command_ids.h"

#include <chrono>
#include <cstdio>

namespace {

// The service's own clock: real time unless a journey speeds it up. A new
// speed takes over from where the clock stands, so it never jumps.
struct s_service_clock {
    std::mutex mutex;
    int speed = 1;
    int64_t real_at_change = 0;
    int64_t service_at_change = 0;
};

s_service_clock& service_clock_state()
{
    static s_service_clock state;
    return state;
}

int64_t service_clock()
{
    s_service_clock& c = service_clock_state();
    std::lock_guard lock(c.mutex);
    return c.service_at_change + (clock_ms() - c.real_at_change) * c.speed;
}

constexpr auto k_first_tick = std::chrono::milliseconds(10);
constexpr auto k_tick_period = std::chrono::milliseconds(100);
constexpr auto k_lock_wait = std::chrono::milliseconds(1);

void update_countdown(const s_timer& t, int64_t now)
{
    if (!t.countdown || !t.display)
        return;
    const int64_t end = t.start + static_cast<int64_t>(t.period);
    post_text(t.display, CMD_SET_TEXT,
              timer_countdown_text(t.count_down ? end - now : now - t.start));
}

// The process-wide list and the thread that ticks it.
class timer_thread {
public:
    timer_thread() : worker_([this] { run(); }) {}
    ~timer_thread()
    {
        {
            std::lock_guard lock(stop_mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        worker_.join();
    }
    timer_list& list() { return list_; }

private:
    void run()
    {
        auto next = std::chrono::steady_clock::now() + k_first_tick;
        std::unique_lock lock(stop_mutex_);
        while (!wake_.wait_until(lock, next, [this] { return stop_; })) {
            list_.tick(service_clock());
            next += k_tick_period;
        }
    }

    timer_list list_;
    std::mutex stop_mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread worker_;
};

timer_list& service()
{
    static timer_thread instance;
    return instance.list();
}

} // namespace

int64_t clock_ms()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string timer_countdown_text(int64_t ms)
{
    if (ms < 0)
        ms = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d\n", static_cast<int>(ms / 3600000 % 24),
                  static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60));
    return text;
}

int timer_list::add(double period_ms, command_target* target, int message, int64_t now)
{
    return append({target, message, period_ms, now, 0, false, nullptr, false, true});
}

int timer_list::add_countdown(double period_ms, command_target* target, int message,
                              command_target* display, bool count_down, int64_t now)
{
    const s_timer timer{target, message, period_ms, now, 0, true, display, count_down, true};
    update_countdown(timer, now);
    return append(timer);
}

int timer_list::append(s_timer timer)
{
    std::lock_guard lock(mutex_);
    timer.id = ++last_id_;
    timers_.push_back(timer);
    return timer.id;
}

bool timer_list::cancel(int id)
{
    std::lock_guard lock(mutex_);
    for (s_timer& t : timers_) {
        if (t.id == id) {
            t.active = false;
            return true;
        }
    }
    return false;
}

bool timer_list::tick(int64_t now)
{
    std::unique_lock lock(mutex_, std::defer_lock);
    if (!lock.try_lock_for(k_lock_wait))
        return false;
    walk(now);
    return true;
}

void timer_list::walk(int64_t now)
{
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (!it->active) {
            it = timers_.erase(it);
            continue;
        }
        update_countdown(*it, now);
        if (it->start + it->period <= static_cast<double>(now)) {
            post_command(it->target, it->message, 0);
            it->active = false;
        }
        ++it;
    }
}

size_t timer_list::size() const
{
    std::lock_guard lock(mutex_);
    return timers_.size();
}

int timer_add(double period_ms, command_target* target, int message)
{
    return service().add(period_ms, target, message, service_clock());
}

int timer_add_countdown(double period_ms, command_target* target, int message,
                        command_target* display, bool count_down)
{
    return service().add_countdown(period_ms, target, message, display, count_down,
                                   service_clock());
}

bool timer_cancel(int id)
{
    return service().cancel(id);
}

void timer_set_speed(int factor)
{
    s_service_clock& c = service_clock_state();
    std::lock_guard lock(c.mutex);
    const int64_t now = clock_ms();
    c.service_at_change += (now - c.real_at_change) * c.speed;
    c.real_at_change = now;
    c.speed = factor > 0 ? factor : 1;
}
