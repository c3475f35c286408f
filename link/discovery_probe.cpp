// Identifies each address the LAN search found, for the instrument chooser.

#include "base/ui_seam.h"
#include "link/discovery.h"
#include "link/identify.h"
#include "link/link.h"

#include <cstring>
#include <memory>

namespace {

// The text of the entry's chooser row after its address; empty for no row.
std::string probe_entry(s_discovered& entry, s_link& link)
{
    link = s_link{};
    link.interface = LINK_LAN;
    link.ip_address = entry.address;
    link_set_timeout(link, IDENTIFY_TIMEOUT_MS);
    if (link_open(link) != 0)
        return "Connection Failed 1";
    link_send(link, "*IDN?\n");
    char reply[IDENTIFY_REPLY_SIZE] = {};
    const int n = link_read_line(link, reply, sizeof reply);
    link_close(link);
    if (n <= 0)
        return "Connection Failed 2";
    if (!identify_accepted(reply))
        return {};
    if (!std::strchr(reply, ','))
        return "Connection Failed 3";
    std::memset(entry.identity, 0, sizeof entry.identity);
    std::memcpy(entry.identity, reply, strnlen(reply, sizeof entry.identity - 1));
    return entry.identity;
}

} // namespace

std::vector<s_chooser_row> discovery_probe(s_discovered* list, int count)
{
    wait_cursor busy;
    auto link = std::make_unique<s_link>();
    std::vector<s_chooser_row> rows;
    for (int i = 0; i < count && list[i].address[0] != '\0'; ++i) {
        list[i].address[DISCOVERY_ADDRESS_SIZE - 1] = '\0';
        const std::string text = probe_entry(list[i], *link);
        if (!text.empty())
            rows.push_back({i, std::string(list[i].address) + "\t" + text});
    }
    return rows;
}
