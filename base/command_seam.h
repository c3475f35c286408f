#pragma once
// The command seam: how windows, workers and the timer service hand each
// other commands. A receiver implements command_target::on_command(id,
// lparam). post_command() queues the command and returns at once (safe from
// any thread); send_command() carries it out before returning. A command
// that carries text uses post_text(): the receiver gets a pointer to a
// std::string in lparam, valid for the duration of on_command.
//
// Which queue the commands go through is chosen once per process: the Qt
// build installs a dispatcher that delivers them on the window thread; tests
// and the command-line companion install a scripted_dispatcher and run its
// queue themselves.

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

class command_target {
public:
    command_target();
    command_target(const command_target&) = delete;
    command_target& operator=(const command_target&) = delete;
    virtual ~command_target();
    virtual void on_command(int id, intptr_t lparam) = 0;
};

// True while the target is alive; a dispatcher checks it before delivering,
// so a command posted to a window that has since closed is dropped.
bool command_target_alive(const command_target* target);

struct command_message {
    command_target* target = nullptr;
    int id = 0;
    intptr_t lparam = 0;
    bool has_text = false;
    std::string text;
};

// Delivers one message to its target if the target still lives.
void command_deliver(command_message& msg);

class command_dispatcher {
public:
    virtual ~command_dispatcher() = default;
    virtual void post(command_message msg) = 0;
    virtual void send(command_message msg) = 0;
};

// Installs the process-wide dispatcher (nullptr restores the scripted
// default). The caller keeps ownership.
void set_command_dispatcher(command_dispatcher* dispatcher);
command_dispatcher& current_command_dispatcher();

void post_command(command_target* target, int id, intptr_t lparam = 0);
void send_command(command_target* target, int id, intptr_t lparam = 0);
void post_text(command_target* target, int id, std::string text);

// A dispatcher with a plain queue: posts wait until run_pending() or
// run_one() is called on the thread that owns the targets.
class scripted_dispatcher : public command_dispatcher {
public:
    void post(command_message msg) override;
    void send(command_message msg) override;
    // Delivers queued messages, including those posted while delivering,
    // and returns how many were delivered.
    int run_pending();
    bool run_one();
    size_t pending() const;

private:
    mutable std::mutex mutex_;
    std::deque<command_message> queue_;
};
