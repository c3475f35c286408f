#include "base/profile_file.h"
#include "link/discovery.h"

#include <cstdio>
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

// "local,remote", each 0..65535, the remote one not 0.
bool parse_ports(const std::string& text, s_discovery_ports& ports)
{
    unsigned local = 0;
    unsigned remote = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%u,%u%c", &local, &remote, &end) != 2 || local > 65535 ||
        remote == 0 || remote > 65535)
        return false;
    ports = {static_cast<uint16_t>(local), static_cast<uint16_t>(remote)};
    return true;
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

void discovery_read_ports(const std::string& settings_file)
{
    const char* const keys[] = {"DiscoveryPortsA", "DiscoveryPortsB"};
    for (const discovery_method method : {DISCOVERY_A, DISCOVERY_B}) {
        s_discovery_ports ports{};
        if (parse_ports(profile_read(settings_file, "Connect", keys[method], ""), ports))
            discovery_set_ports(method, ports);
    }
}
