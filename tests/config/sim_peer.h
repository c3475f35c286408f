#pragma once
// The bundled simulator in-process on an ephemeral loopback port, and the
// commands the link sent as the comms log recorded them.

#include "link/link.h"
#include "sim/server.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct sim_peer {
    explicit sim_peer(sim::sim_options options);
    ~sim_peer();
    sim_peer(const sim_peer&) = delete;
    sim_peer& operator=(const sim_peer&) = delete;

    // A LAN link record pointing at the simulator.
    s_link lan_link() const;
    // What the instrument now holds for "config,<id>?".
    std::string raw(int id);

    std::unique_ptr<sim::sim_server> server;
};

sim::sim_options sim_options_for(sim::sim_model model);

// Logs every exchange into a fresh folder while it lives.
class comms_capture {
public:
    comms_capture();
    ~comms_capture();
    comms_capture(const comms_capture&) = delete;
    comms_capture& operator=(const comms_capture&) = delete;

    std::string text() const;
    // Every text sent, without its "\n"; the reset byte reads "\024".
    std::vector<std::string> sent() const;

private:
    std::filesystem::path dir_;
};
