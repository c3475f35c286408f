#include "sim/server.h"

#include "sim/identity.h"

#include <stdexcept>

namespace sim {

sim_server::sim_server(sim_options options)
    : options_(std::move(options)), instrument_(options_.instrument)
{
}

sim_server::~sim_server()
{
    stop();
}

std::vector<std::string> sim_server::start()
{
    std::vector<std::string> lines;
    if (!options_.log_path.empty() && !log_.open(options_.log_path)) {
        throw std::runtime_error("cannot create the transcript " + options_.log_path);
    }
    open_listeners(lines);
    if (tcp_) {
        threads_.emplace_back([this] { tcp_->serve(instrument_, options_.faults, log_, stop_); });
    }
    if (pty_) {
        threads_.emplace_back(
            [this] { pty_->serve(instrument_, options_.faults, log_, stop_, options_.baud); });
    }
    if (discovery_) {
        threads_.emplace_back([this] { discovery_->serve(log_, stop_); });
    }
    return lines;
}

void sim_server::open_listeners(std::vector<std::string>& lines)
{
    if (options_.tcp) {
        tcp_ = std::make_unique<tcp_server>(options_.tcp_host, options_.tcp_port);
        lines.push_back("listening tcp " + tcp_->address());
    }
    if (!options_.pty_path.empty()) {
        pty_ = std::make_unique<pty_server>(options_.pty_path);
        lines.push_back("listening pty " + pty_->link_path() + " -> " + pty_->device_path());
    }
    if (!options_.discovery_address.empty()) {
        discovery_identity id;
        id.model = identity_model(instrument_.identity());
        id.serial = identity_field(instrument_.identity(), 2);
        id.address = options_.discovery_address;
        id.tcp_port = tcp_ ? tcp_->port() : options_.tcp_port;
        discovery_ = std::make_unique<discovery_responder>(id, options_.discovery_port_a,
                                                           options_.discovery_port_b);
        lines.push_back("listening discovery " + options_.discovery_address);
    }
}

void sim_server::stop()
{
    stop_.request();
    for (auto& t : threads_) {
        t.join();
    }
    threads_.clear();
}

} // namespace sim
