#include "base/command_seam.h"

#include <unordered_set>

namespace {

std::mutex& targets_mutex()
{
    static std::mutex m;
    return m;
}

std::unordered_set<const command_target*>& live_targets()
{
    static std::unordered_set<const command_target*> s;
    return s;
}

scripted_dispatcher& default_dispatcher()
{
    static scripted_dispatcher d;
    return d;
}

command_dispatcher* g_dispatcher = nullptr;

} // namespace

command_target::command_target()
{
    std::lock_guard lock(targets_mutex());
    live_targets().insert(this);
}

command_target::~command_target()
{
    std::lock_guard lock(targets_mutex());
    live_targets().erase(this);
}

bool command_target_alive(const command_target* target)
{
    std::lock_guard lock(targets_mutex());
    return live_targets().count(target) != 0;
}

void command_deliver(command_message& msg)
{
    if (!msg.target || !command_target_alive(msg.target))
        return;
    const intptr_t lparam = msg.has_text ? reinterpret_cast<intptr_t>(&msg.text) : msg.lparam;
    msg.target->on_command(msg.id, lparam);
}

void set_command_dispatcher(command_dispatcher* dispatcher)
{
    g_dispatcher = dispatcher;
}

command_dispatcher& current_command_dispatcher()
{
    return g_dispatcher ? *g_dispatcher : default_dispatcher();
}

void post_command(command_target* target, int id, intptr_t lparam)
{
    current_command_dispatcher().post({target, id, lparam, false, {}});
}

void send_command(command_target* target, int id, intptr_t lparam)
{
    current_command_dispatcher().send({target, id, lparam, false, {}});
}

void post_text(command_target* target, int id, std::string text)
{
    current_command_dispatcher().post({target, id, 0, true, std::move(text)});
}

void scripted_dispatcher::post(command_message msg)
{
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(msg));
}

void scripted_dispatcher::send(command_message msg)
{
    command_deliver(msg);
}

bool scripted_dispatcher::run_one()
{
    command_message msg;
    {
        std::lock_guard lock(mutex_);
        if (queue_.empty())
            return false;
        msg = std::move(queue_.front());
        queue_.pop_front();
    }
    command_deliver(msg);
    return true;
}

int scripted_dispatcher::run_pending()
{
    int n = 0;
    while (run_one())
        ++n;
    return n;
}

size_t scripted_dispatcher::pending() const
{
    std::lock_guard lock(mutex_);
    return queue_.size();
}
