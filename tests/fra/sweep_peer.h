#pragma once
// A scripted instrument on an ephemeral loopback TCP port for the sweep
// tests: it records each command line and answers through a script that
// may also hang up, as a dropped connection would.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct peer_reply {
    std::string text;     // sent as is (the script adds the line ends)
    bool hang_up = false; // close the connection after sending text
};

class sweep_peer {
public:
    using script = std::function<peer_reply(const std::string& command)>;

    explicit sweep_peer(script answer);
    ~sweep_peer();
    sweep_peer(const sweep_peer&) = delete;
    sweep_peer& operator=(const sweep_peer&) = delete;

    int port() const { return port_; }
    std::vector<std::string> commands() const;
    int count(const std::string& command) const;

private:
    void serve();
    bool serve_connection(int fd);

    script answer_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> commands_;
    std::thread thread_;
};
