#include "tests/config/sim_peer.h"

#include "link/comms_log.h"

#include <fstream>
#include <sstream>
#include <unistd.h>

sim::sim_options sim_options_for(sim::sim_model model)
{
    sim::sim_options o;
    o.instrument.model = model;
    o.tcp_host = "127.0.0.1";
    o.tcp_port = 0;
    return o;
}

sim_peer::sim_peer(sim::sim_options options)
    : server(std::make_unique<sim::sim_server>(std::move(options)))
{
    server->start();
    link_set_tcp_port(server->tcp_port());
}

sim_peer::~sim_peer()
{
    server->stop();
}

s_link sim_peer::lan_link() const
{
    s_link link;
    link.interface = LINK_LAN;
    link.ip_address = "127.0.0.1";
    return link;
}

std::string sim_peer::raw(int id)
{
    const sim::sim_reply r = server->instrument().execute("config," + std::to_string(id) + "?");
    return r.lines.empty() ? "" : r.lines.front();
}

comms_capture::comms_capture()
{
    static int n = 0;
    dir_ = std::filesystem::temp_directory_path() /
           ("tarvelo_comms_" + std::to_string(::getpid()) + "_" + std::to_string(++n));
    std::filesystem::create_directories(dir_);
    comms_log_start(dir_.string());
}

comms_capture::~comms_capture()
{
    if (comms_log_enabled())
        comms_log_toggle();
    std::filesystem::remove_all(dir_);
}

std::string comms_capture::text() const
{
    std::ifstream in(dir_ / COMMS_LOG_FILE_NAME, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> comms_capture::sent() const
{
    std::vector<std::string> out;
    std::istringstream in(text());
    for (std::string line; std::getline(in, line);) {
        const size_t arrow = line.find(">>\t");
        if (arrow == std::string::npos)
            continue;
        std::string command = line.substr(arrow + 3);
        while (!command.empty() && (command.back() == '\r' || command.back() == '\n'))
            command.pop_back();
        out.push_back(command);
    }
    return out;
}
