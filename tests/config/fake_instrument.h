#pragma once
// A scripted instrument on an ephemeral loopback TCP port: it records every
// command the link sends (the reset byte as "\x14") and answers through a
// responder function. Connections are served one after another, as the link
// opens and closes for each operation.

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class fake_instrument {
public:
    using responder = std::function<std::optional<std::string>(const std::string& command)>;

    explicit fake_instrument(responder answer);
    ~fake_instrument();
    fake_instrument(const fake_instrument&) = delete;
    fake_instrument& operator=(const fake_instrument&) = delete;

    int port() const { return port_; }
    std::vector<std::string> traffic() const;
    // Commands received, without the reset bytes.
    std::vector<std::string> commands() const;
    void clear();
    // Waits (up to 5 s) until `command` has arrived: a command that gets no
    // reply may still be on its way when the sender returns.
    bool wait_for(const std::string& command) const;

private:
    void serve();
    void serve_connection(int fd);

    responder answer_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> traffic_;
    std::thread thread_;
};
