#include "link/discovery.h"

#include <mutex>

namespace {

struct s_settings {
    std::mutex mutex;
    std::string target = "255.255.255.255";
    s_discovery_ports ports[2] = {{65534, 65535}, {30718, 30718}};
};

s_settings& settings()
{
    static s_settings s;
    return s;
}

} // namespace

void discovery_set_target(const std::string& broadcast_address)
{
    std::lock_guard lock(settings().mutex);
    settings().target = broadcast_address;
}

std::string discovery_target()
{
    std::lock_guard lock(settings().mutex);
    return settings().target;
}

void discovery_set_ports(discovery_method method, s_discovery_ports ports)
{
    std::lock_guard lock(settings().mutex);
    settings().ports[method] = ports;
}

s_discovery_ports discovery_ports(discovery_method method)
{
    std::lock_guard lock(settings().mutex);
    return settings().ports[method];
}
