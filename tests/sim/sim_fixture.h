#pragma once

#include "sim/server.h"

#include <memory>

// Runs the simulator in-process on an ephemeral loopback port, with sweeps
// that take no simulated time unless the test says otherwise.
inline std::unique_ptr<sim::sim_server> start_sim(sim::sim_options options = {})
{
    options.tcp_host = "127.0.0.1";
    options.tcp_port = 0;
    options.instrument.time_scale = 0;
    auto server = std::make_unique<sim::sim_server>(std::move(options));
    server->start();
    return server;
}

inline sim::sim_options with_fault(const char* description)
{
    sim::sim_options options;
    std::string error;
    sim::add_fault(options.faults, description, error);
    return options;
}
