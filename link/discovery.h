#pragma once
// LAN discovery: two kinds of UDP broadcast probe that instruments on the
// local subnet answer, and the identification of each address found.
//
// The broadcast address and the ports are process-wide settings. Their
// defaults are the ones instruments listen on; tests and the demo point the
// broadcast address at the loopback network (127.255.255.255), and a test
// that runs its own responders points the ports at free loopback ports.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int DISCOVERY_CAPACITY = 256;
constexpr int DISCOVERY_ADDRESS_SIZE = 16;
constexpr int DISCOVERY_IDENTITY_SIZE = 128;

// One instrument found: an empty address ends the list.
struct s_discovered {
    char address[DISCOVERY_ADDRESS_SIZE];
    char identity[DISCOVERY_IDENTITY_SIZE];
};

enum discovery_method : int { DISCOVERY_A = 0, DISCOVERY_B = 1 };

struct s_discovery_ports {
    uint16_t local;
    uint16_t remote;
};

void discovery_set_target(const std::string& broadcast_address);
std::string discovery_target();
void discovery_set_ports(discovery_method method, s_discovery_ports ports);
s_discovery_ports discovery_ports(discovery_method method);
// Takes the ports from the settings file's "Connect" keys "DiscoveryPortsA"
// and "DiscoveryPortsB", each "local,remote" (local 0: any free port); a
// method whose key is missing or malformed keeps its ports.
void discovery_read_ports(const std::string& settings_file);

// Whether a datagram is an instrument's answer to the method's probe.
bool discovery_reply_ok(discovery_method method, const uint8_t* data, size_t size);

// Runs method A, then method B into the rest of the list; returns the number
// of distinct addresses found (at most capacity). Entries get an address and
// an empty identity; the entry after the last gets an empty address when
// there is room.
int discover_lan_instruments(s_discovered* list, int capacity);

// One row of the instrument chooser: the list entry and "address<TAB>text".
struct s_chooser_row {
    int entry;
    std::string text;
};

// Connects to each found address in turn and asks it to identify itself.
// An instrument with an accepted identification gets its reply stored in
// its entry; addresses that do not answer get a "Connection Failed" row, and
// addresses that answer as something else get no row.
std::vector<s_chooser_row> discovery_probe(s_discovered* list, int count);
