#pragma once

#include "sim/discovery.h"
#include "sim/instrument.h"
#include "sim/options.h"
#include "sim/pty_server.h"
#include "sim/stop_signal.h"
#include "sim/tcp_server.h"
#include "sim/transcript.h"

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace sim {

// The whole simulator: one instrument behind every listener the options
// ask for, each listener served on its own thread.
class sim_server {
public:
    explicit sim_server(sim_options options);
    ~sim_server();
    sim_server(const sim_server&) = delete;
    sim_server& operator=(const sim_server&) = delete;

    // Opens every listener and starts serving; returns one "listening ..."
    // line per listener. Throws std::runtime_error when one cannot be opened
    // (nothing is left running then).
    std::vector<std::string> start();

    // Stops every listener and connection and waits for their threads.
    void stop();

    int tcp_port() const { return tcp_ ? tcp_->port() : 0; }
    sim_instrument& instrument() { return instrument_; }

private:
    void open_listeners(std::vector<std::string>& lines);

    sim_options options_;
    sim_instrument instrument_;
    transcript log_;
    stop_signal stop_;
    std::unique_ptr<tcp_server> tcp_;
    std::unique_ptr<pty_server> pty_;
    std::unique_ptr<discovery_responder> discovery_;
    std::vector<std::thread> threads_;
};

} // namespace sim
